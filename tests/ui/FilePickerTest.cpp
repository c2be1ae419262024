#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CNoisesDlg.h"
#include "DialogTestSteps.h"
#include "FakeMessenger.h"
#include "FakePreviewPlayer.h"
#include "FilePickerPreviewPane.h"
#include "GuardSettings.h"
#include "TempFolder.h"
#include "UserSettings.h"

namespace {

class FilePickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuardSettings = GuardSettingsRecord{};
        std::filesystem::create_directories(data / "noises");
        std::filesystem::create_directories(farFolder);
        for (const std::string& copy : {data / "noises/bark.wav", data / "noises/door.wav", farFile})
            std::filesystem::copy_file(TEST_DATA_DIR "/tone.wav", copy);
        std::filesystem::copy_file(TEST_DATA_DIR "/clip.avi", data / "noises/ghost.AVI");
        std::ofstream(data / "noises/where these came from.txt") << "not a sound\n";
        ::setenv("HAUNTWATCH_DATA_DIR", data.path().c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(data / "config"));
    }
    void TearDown() override
    {
        ::unsetenv("HAUNTWATCH_DATA_DIR");
        GuardSettings = GuardSettingsRecord{};
    }

    // Clicks an entry of the folder the picker shows, once it is there.  The
    // click takes the keyboard from the name field, as a person's does, so
    // the picker puts a file's name there.
    static void Highlight(QFileDialog* picker, const QString& name)
    {
        auto* list = picker->findChild<QListView*>(QStringLiteral("listView"));
        QModelIndex entry;
        const bool found = QTest::qWaitFor([&] {
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()) && !entry.isValid(); ++row)
                if (list->model()->index(row, 0, list->rootIndex()).data().toString() == name)
                    entry = list->model()->index(row, 0, list->rootIndex());
            return entry.isValid();
        });
        ASSERT_TRUE(found) << name.toStdString();
        list->scrollTo(entry);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
        EXPECT_EQ(list->currentIndex(), entry) << name.toStdString();
    }
    static QStringList Shown(QFileDialog* picker)
    {
        auto* list = picker->findChild<QListView*>(QStringLiteral("listView"));
        QStringList names;
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
            names << list->model()->index(row, 0, list->rootIndex()).data().toString();
        names.sort();
        return names;
    }

    TempFolder data;
    const std::string farFolder = data / "a folder whose name is longer than the old fifty characters";
    const std::string farFile = farFolder + "/voices in another room.wav";
    platform::FakePreviewPlayers previews;
    platform::FakeMessenger messenger;
};

TEST_F(FilePickerTest, AFileChosenInTheRealPickerReachesNameTheEventAndTheLibraryWhateverItsLength)
{
    QString startedIn, secondStart, pathShown, title, filterShown, folderShown;
    QStringList firstFolder;
    bool ownerless = false;
    CNoisesDlg dlg;
    RunWith<CNoisesDlg>(dlg, [&](CNoisesDlg& d) {
        OnNextModal(d.Window(), [&](QWidget* window) {
            auto* picker = qobject_cast<QFileDialog*>(window);
            ASSERT_NE(picker, nullptr);
            ownerless = picker->parentWidget() == nullptr;
            startedIn = picker->directory().absolutePath();
            filterShown = picker->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
            Highlight(picker, "door.wav");
            firstFolder = Shown(picker);
            OnNextModal(picker, [&](QWidget* naming) {
                title = naming->windowTitle();
                ASSERT_EQ(naming->findChildren<QLineEdit*>().size(), 2) << title.toStdString();
                pathShown = naming->findChildren<QLineEdit*>().first()->text();
                QTest::keyClicks(naming->findChildren<QLineEdit*>().last(), "Voices");
                ButtonOf(naming, "OK")->click();
            });
            // Up a folder, into the far folder from the list, and the file
            // chosen there.  Up with the parent button, not ".." typed in the
            // name field: Qt leaves the ".." standing there at times, and
            // Open then goes up again.
            picker->findChild<QToolButton*>(QStringLiteral("toParentButton"))->click();
            Highlight(picker, QString::fromStdString(std::filesystem::path(farFolder).filename().string()));
            QTest::keyClick(picker->findChild<QListView*>(QStringLiteral("listView")), Qt::Key_Return);
            Highlight(picker, "voices in another room.wav");
            ButtonOf(picker, "&Open")->click();
        });
        d.OnAddNoise();
        // The folder shown taken whole: its sounds are the takes of one noise.
        OnNextModal(d.Window(), [&](QWidget* picker) {
            secondStart = qobject_cast<QFileDialog*>(picker)->directory().absolutePath();
            OnNextModal(picker, [&](QWidget* naming) {
                folderShown = naming->findChildren<QLineEdit*>().first()->text();
                QTest::keyClicks(naming->findChildren<QLineEdit*>().last(), "Radio");
                ButtonOf(naming, "OK")->click();
            });
            ButtonOf(picker, "Take the &Folder")->click();
        });
        d.OnAddNoise();
    });
    EXPECT_TRUE(ownerless);
    EXPECT_EQ(startedIn.toStdString(), data / "noises") << "the first time: the sample noises";
    EXPECT_EQ(filterShown, "Sounds and Movies(*.avi,*.wav)");
    EXPECT_EQ(firstFolder, (QStringList{"bark.wav", "door.wav", "ghost.AVI"})) << "sounds and movies in any case, nothing else";
    EXPECT_EQ(title, "Name the Event");
    EXPECT_EQ(pathShown.toStdString(), farFile);
    ASSERT_EQ(GuardSettings.library.noiseCount, 2);
    EXPECT_EQ(GuardSettings.library.noises[0].name.str(), "Voices");
    EXPECT_EQ(GuardSettings.library.noises[0].path.str(), farFile);
    EXPECT_EQ(GuardSettings.library.noises[1].path.str(), farFolder);
    EXPECT_EQ(folderShown.toStdString(), farFolder);
    EXPECT_EQ(secondStart.toStdString(), farFolder) << "then where the last file was picked";
    EXPECT_EQ(UserSettings().value("File Picker/Last Folder").toString().toStdString(), data.path())
        << "kept for the next run: where the folder taken lies";
    EXPECT_TRUE(messenger.messages.empty());
}

// The folder's sizes, types and dates show whole, not "223…KiB" and "WA".
TEST_F(FilePickerTest, TheSizeTypeAndDateColumnsShowTheirWholeText)
{
    std::vector<std::string> cut;
    int rowsSeen = 0;
    CNoisesDlg dlg;
    RunWith<CNoisesDlg>(dlg, [&](CNoisesDlg& d) {
        OnNextModal(d.Window(), [&](QWidget* window) {
            auto* details = window->findChild<QTreeView*>(QStringLiteral("treeView"));
            ASSERT_NE(details, nullptr);
            const QModelIndex root = details->rootIndex();
            const auto typesKnown = [&] {
                return details->model()->rowCount(root) >= 3 &&
                       !details->model()->index(0, 2, root).data().toString().isEmpty();
            };
            EXPECT_TRUE(QTest::qWaitFor(typesKnown));
            QTest::qWait(0);
            const QFontMetrics metrics(details->font());
            // The style's own margin on each side of an item's text.
            const int margins = 2 * (details->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, details) + 1);
            rowsSeen = details->model()->rowCount(root);
            for (int row = 0; row < rowsSeen; ++row)
                for (int column : {1, 2, 3}) {
                    const QModelIndex cell = details->model()->index(row, column, root);
                    const QString text = cell.data().toString();
                    if (details->visualRect(cell).width() < metrics.horizontalAdvance(text) + margins)
                        cut.push_back(text.toStdString() + " in " + std::to_string(details->visualRect(cell).width()));
                }
            QTest::keyClick(window, Qt::Key_Escape);
        });
        d.OnAddNoise();
    });
    EXPECT_GE(rowsSeen, 3);
    EXPECT_TRUE(cut.empty()) << cut.front();
}

TEST_F(FilePickerTest, ThePanePlaysTheHighlightedFileAndStopsWhenTheHighlightMovesOrThePickerCloses)
{
    bool playingAfterClick = false, playingAfterMove = false, folderPlayable = true;
    QString buttonWhilePlaying, noteAfterFailure;
    CNoisesDlg dlg;
    RunWith<CNoisesDlg>(dlg, [&](CNoisesDlg& d) {
        OnNextModal(d.Window(), [&](QWidget* window) {
            auto* picker = qobject_cast<QFileDialog*>(window);
            auto* pane = picker->findChild<FilePickerPreviewPane*>();
            ASSERT_NE(pane, nullptr);
            picker->setDirectory(QString::fromStdString(data / "noises"));
            Highlight(picker, "door.wav");
            pane->PlayButton()->click();
            playingAfterClick = pane->IsPlaying();
            buttonWhilePlaying = pane->PlayButton()->text();
            Highlight(picker, "bark.wav");
            playingAfterMove = pane->IsPlaying();
            pane->PlayButton()->click();
            previews.EndLastPlay(true);
            pane->PlayButton()->click();
            previews.EndLastPlay(false);
            noteAfterFailure = pane->findChild<QLabel*>(QStringLiteral("previewNote"))->text();
            Highlight(picker, "ghost.AVI");
            pane->PlayButton()->click();
            pane->PlayButton()->click();
            pane->PlayButton()->click();
            picker->setDirectory(QString::fromStdString(data.path()));
            Highlight(picker, "noises");
            folderPlayable = pane->PlayButton()->isEnabled();
            Highlight(picker, "noises");
            pane->SetHighlighted(QString::fromStdString(data / "noises/ghost.AVI"));
            pane->PlayButton()->click();
            QTest::keyClick(picker, Qt::Key_Escape);
        });
        d.OnAddNoise();
    });
    EXPECT_TRUE(playingAfterClick);
    EXPECT_EQ(buttonWhilePlaying, "Stop");
    EXPECT_FALSE(playingAfterMove) << "a new highlight stops the old one";
    EXPECT_EQ(noteAfterFailure, "This file cannot be played.");
    EXPECT_FALSE(folderPlayable) << "a folder is nothing to preview";
    const std::string noises = data / "noises/";
    EXPECT_EQ(previews.calls, (std::vector<std::string>{
                                  "play " + noises + "door.wav", "stop",                          // the highlight moved
                                  "play " + noises + "bark.wav", "play " + noises + "bark.wav",  // ended, then failed
                                  "play " + noises + "ghost.AVI", "stop",                         // Play, Stop
                                  "play " + noises + "ghost.AVI",                                 // Play again
                                  "stop",                                                         // the highlight moved
                                  "play " + noises + "ghost.AVI", "stop",                         // the picker closed
                              }));
    EXPECT_EQ(GuardSettings.library.noiseCount, 0);
}

}  // namespace
