#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <QExposeEvent>
#include <QMessageBox>
#include <QKeyEvent>
#include <QPointer>
#include <QToolTip>
#include <QAbstractItemView>
#include <QTest>
#include <QTimer>
#include <functional>

#include "CNameEventDlg.h"
#include "CNoisesDlg.h"
#include "CScheduleDlg.h"
#include "DialogControls.h"
#include "DialogTestSteps.h"
#include "DialogResources.h"
#include "FakeClock.h"
#include "FakeMessenger.h"
#include "FakeSound.h"
#include "FilePicker.h"
#include "GuardSettings.h"
#include "ProblemLog.h"

namespace {

QLineEdit* Edit(CDialog& dlg, int id) { return qobject_cast<QLineEdit*>(dlg.GetDlgItem(id)); }
SortedComboBox* List(CDialog& dlg, int row) { return qobject_cast<SortedComboBox*>(dlg.GetDlgItem(kScheduleRows[row].noiseList)); }
QSlider* Slider(CDialog& dlg, int row) { return qobject_cast<QSlider*>(dlg.GetDlgItem(kScheduleRows[row].slider)); }

class ScheduleDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuardSettings = GuardSettingsRecord{};
        ProblemLog = ProblemLogRecord{};
        for (NoiseSlot& slot : GuardSettings.slots)
            slot = NoiseSlot{kNothing, kNone, 60, kModeExact, 1, CTime()};
        GuardSettings.quietWindow = {22, 7};
    }
    void AddNoise(const char* name, const char* path)
    {
        GuardSettings.library.noises[GuardSettings.library.noiseCount++] = Noise{name, path};
    }
    platform::FakeMessenger messenger;
    platform::FakeSound sound;
};

TEST_F(ScheduleDialogTest, OpeningRepairsStoredValuesAndOkStoresThem)
{
    GuardSettings.slots[0].intervalMinutes = 3;
    GuardSettings.slots[1].intervalMinutes = 150;
    GuardSettings.slots[2].intervalMinutes = 600;
    GuardSettings.slots[3].repeatCount = 0;
    GuardSettings.slots[4].repeatCount = 12;
    CScheduleDlg dlg;
    int slider0 = -1, slider2 = -1;
    const int result = RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        slider0 = Slider(d, 0)->value();
        slider2 = Slider(d, 2)->value();
        EXPECT_EQ(Edit(d, kScheduleRows[0].hours)->text(), "1");
        EXPECT_EQ(Edit(d, kScheduleRows[0].minutes)->text(), "0");
        EXPECT_EQ(Edit(d, kScheduleRows[1].hours)->text(), "2");
        EXPECT_EQ(Edit(d, kScheduleRows[1].minutes)->text(), "30");
        EXPECT_EQ(Edit(d, kScheduleRows[2].hours)->text(), "10");
        EXPECT_EQ(Edit(d, kScheduleRows[3].repeat)->text(), "1");
        EXPECT_EQ(Edit(d, kScheduleRows[4].repeat)->text(), "1");
        EXPECT_EQ(Edit(d, IDC_QUIET_FROM)->text(), "10");
        EXPECT_EQ(Edit(d, IDC_QUIET_TO)->text(), "7");
        Edit(d, kScheduleRows[4].hours)->setText("24");
        Edit(d, kScheduleRows[4].minutes)->setText("59");
        Edit(d, IDC_QUIET_TO)->setText("12");
        qobject_cast<QRadioButton*>(d.GetDlgItem(IDC_QUIET_TO_PM))->click();
        d.OnOK();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(slider0, 60);
    EXPECT_EQ(slider2, 240);
    EXPECT_EQ(GuardSettings.slots[0].intervalMinutes, 60);
    EXPECT_EQ(GuardSettings.slots[4].intervalMinutes, 1499);
    EXPECT_EQ(GuardSettings.slots[3].repeatCount, 1);
    EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, 22);
    EXPECT_EQ(GuardSettings.quietWindow.quietToHour, 24);
    EXPECT_EQ(GuardSettings.slots[0].nextDue, unscheduledMark);
}

TEST_F(ScheduleDialogTest, TheFirstBadFieldStopsOkWithItsPromptAndFocusAndWritesNothing)
{
    CScheduleDlg dlg;
    RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        Edit(d, kScheduleRows[2].repeat)->setText("10");
        Edit(d, kScheduleRows[3].repeat)->setText("x");
        d.OnOK();
        ASSERT_EQ(messenger.messages.size(), 1u);
        EXPECT_EQ(messenger.messages[0], "Please enter a whole number between 1 and 9.");
        EXPECT_EQ(QApplication::focusWidget(), Edit(d, kScheduleRows[2].repeat));
        EXPECT_EQ(Edit(d, kScheduleRows[2].repeat)->selectedText(), "10");
        EXPECT_TRUE(d.Window()->isVisible());
    });
    EXPECT_EQ(GuardSettings.slots[2].repeatCount, 1);
    EXPECT_EQ(GuardSettings.slots[0].nextDue, CTime()) << "nothing stored";
}

TEST_F(ScheduleDialogTest, WhatIsNoWholeNumberAsksForOneAndAFixedFieldLetsOkThrough)
{
    CScheduleDlg dlg;
    std::vector<std::string> prompts;
    const int result = RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        for (const char* typed : {"two", "", "1.5", "99999999999"}) {
            Edit(d, kScheduleRows[0].minutes)->setText(typed);
            d.OnOK();
            EXPECT_EQ(QApplication::focusWidget(), Edit(d, kScheduleRows[0].minutes)) << typed;
        }
        prompts = messenger.messages;
        Edit(d, kScheduleRows[0].minutes)->setText("59");
        d.OnOK();
    });
    EXPECT_EQ(prompts, std::vector<std::string>(4, "Please enter a whole number."));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(GuardSettings.slots[0].intervalMinutes, 60 + 59);
}

TEST_F(ScheduleDialogTest, NeverEditedQuietHoursRefuseEveryPullAtTheToHour)
{
    GuardSettings.quietWindow = {0, 0};
    CScheduleDlg dlg;
    RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        d.OnOK();
        ASSERT_EQ(messenger.messages.size(), 1u);
        EXPECT_EQ(messenger.messages[0], "Please enter a whole number between 1 and 12.");
        EXPECT_EQ(QApplication::focusWidget(), Edit(d, IDC_QUIET_TO));
    });
}

QRect SliderHandle(QSlider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.pageStep = slider->pageStep();
    option.singleStep = slider->singleStep();
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

void Wheel(QSlider* slider, int delta)
{
    const QPoint at = slider->rect().center();
    QWheelEvent wheel(at, slider->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
}

// The old slider told its dialog about every key, click and wheel turn,
// whether the handle moved or not, and each told the dialog to push.
TEST_F(ScheduleDialogTest, EverySliderNotificationPushesThePendingValuesMovedOrNot)
{
    GuardSettings.slots[0].intervalMinutes = 600;  // the handle starts at its right end
    const struct {
        const char* what;
        std::function<void(QSlider*)> touch;
    } touches[] = {
        {"End with the handle at the end", [](QSlider* s) { QTest::keyClick(s, Qt::Key_End); }},
        {"Home", [](QSlider* s) { QTest::keyClick(s, Qt::Key_Home); }},
        {"left arrow", [](QSlider* s) { QTest::keyClick(s, Qt::Key_Left); }},
        {"Page Down", [](QSlider* s) { QTest::keyClick(s, Qt::Key_PageDown); }},
        {"Page Up at the end", [](QSlider* s) { QTest::keyClick(s, Qt::Key_PageUp); }},
        {"press and release on the handle",
         [](QSlider* s) {
             const QPoint handle = SliderHandle(s).center();
             QTest::mousePress(s, Qt::LeftButton, Qt::NoModifier, handle);
             QTest::mouseRelease(s, Qt::LeftButton, Qt::NoModifier, handle);
         }},
        {"a click in the channel", [](QSlider* s) { QTest::mouseClick(s, Qt::LeftButton, Qt::NoModifier, QPoint(2, s->height() / 2)); }},
        {"a wheel turn at the stop", [](QSlider* s) { Wheel(s, 120); }},
        {"a wheel turn down", [](QSlider* s) { Wheel(s, -120); }},
    };
    for (const auto& t : touches) {
        SCOPED_TRACE(t.what);
        CScheduleDlg dlg;
        RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
            Edit(d, kScheduleRows[1].repeat)->setText("5");
            Edit(d, kScheduleRows[0].minutes)->setText("7");
            t.touch(Slider(d, 0));
            const int at = Slider(d, 0)->value();
            EXPECT_EQ(Edit(d, kScheduleRows[1].repeat)->text(), "1") << "typed but never pulled";
            EXPECT_EQ(Edit(d, kScheduleRows[0].hours)->text(), QString::number(at / 60));
            EXPECT_EQ(Edit(d, kScheduleRows[0].minutes)->text(), QString::number(at % 60));
        });
    }
}

TEST_F(ScheduleDialogTest, SettingTheSliderFromTheProgramIsNoNotification)
{
    CScheduleDlg dlg;
    RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        Edit(d, kScheduleRows[1].repeat)->setText("5");
        Slider(d, 0)->setValue(59);
        EXPECT_EQ(Edit(d, kScheduleRows[1].repeat)->text(), "5");
    });
}

// Lets every paint and posted event run, as the window system would between inputs.
void Settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void Expose(CDialog& d, const QRegion& local)
{
    QExposeEvent exposure(local);
    QCoreApplication::sendEvent(d.Window()->windowHandle(), &exposure);
}

QRegion LocalArea(CDialog& d, const QWidget* window)
{
    return QRegion(window->frameGeometry()).translated(-d.Window()->mapToGlobal(QPoint(0, 0)));
}

class RefillTest : public ScheduleDialogTest {
protected:
    void SetUp() override
    {
        ScheduleDialogTest::SetUp();
        AddNoise("Dog", "/dog.wav");
        AddNoise("Television", "/tv.wav");
        GuardSettings.slots[0].noiseName = "Dog";
    }
    // Row 1 moved off the stored noise, as a person does it: keys on the list.
    static void PickTelevision(CScheduleDlg& d)
    {
        List(d, 0)->setFocus();
        QTest::keyClick(List(d, 0), Qt::Key_End);
        ASSERT_EQ(List(d, 0)->currentText(), "Television");
    }
};

// The mouse passing over buttons, presses, focus moving, typing, the dialog's
// own drop-downs, tooltips and prompts: none of it is the dialog painted anew.
TEST_F(RefillTest, APickedNoiseSurvivesWhatTheDialogsOwnControlsAndWindowsDo)
{
    CScheduleDlg dlg;
    RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        PickTelevision(d);
        QPushButton* ok = ButtonOf(d.Window(), "OK");
        QTest::mouseMove(ButtonOf(d.Window(), "Preview"));
        QTest::mouseMove(ok);
        QTest::mousePress(ButtonOf(d.Window(), "Edit Noises"), Qt::LeftButton);
        QTest::keyClicks(Edit(d, kScheduleRows[2].minutes), "5");
        for (QWidget* child : d.Window()->findChildren<QWidget*>())
            child->repaint();
        Settle();
        EXPECT_EQ(List(d, 0)->currentText(), "Television") << "after the controls repainted";

        List(d, 1)->showPopup();
        Settle();
        QWidget* popup = List(d, 1)->view()->window();
        List(d, 1)->hidePopup();
        Settle();
        Expose(d, LocalArea(d, popup));
        QToolTip::showText(ok->mapToGlobal(QPoint(2, 2)), "a tip", ok);
        Settle();
        QWidget* tip = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowType() == Qt::ToolTip && top->isVisible())
                tip = top;
        ASSERT_NE(tip, nullptr);
        const QRegion tipArea = LocalArea(d, tip);
        QToolTip::hideText();
        const QPointer<QWidget> fading(tip);  // tooltips fade, then go
        ASSERT_TRUE(QTest::qWaitFor([fading] { return !fading || !fading->isVisible(); }));
        Expose(d, tipArea);
        QMessageBox prompt(QMessageBox::Warning, "qwendrik", "Please enter a whole number.", QMessageBox::Ok, d.Window());
        prompt.show();
        Settle();
        const QRegion promptArea = LocalArea(d, &prompt);
        prompt.hide();
        Settle();
        Expose(d, promptArea);
        EXPECT_EQ(List(d, 0)->currentText(), "Television") << "after its own windows closed";
        QTest::mouseRelease(ButtonOf(d.Window(), "Edit Noises"), Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
        Edit(d, kScheduleRows[2].minutes)->setText("0");
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(GuardSettings.slots[0].noiseName.str(), "Television");
    EXPECT_EQ(GuardSettings.slots[0].filePath.str(), "/tv.wav");
}

// Another program's window, or being minimised, covered the dialog: the lists
// show the stored names again, as the old dialog did when it was painted.
TEST_F(RefillTest, UncoveredByAnotherWindowOrRestoredTheListsShowWhatIsStored)
{
    CScheduleDlg dlg;
    RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        PickTelevision(d);
        Expose(d, QRegion(10, 10, 40, 40));
        EXPECT_EQ(List(d, 0)->currentText(), "Dog");

        PickTelevision(d);
        d.Window()->setWindowState(Qt::WindowMinimized);
        Settle();
        d.Window()->setWindowState(Qt::WindowNoState);
        Settle();
        EXPECT_EQ(List(d, 0)->currentText(), "Dog");

        // An own popup's area is given back once; the next exposure there is another window's.
        PickTelevision(d);
        List(d, 1)->showPopup();
        Settle();
        QWidget* popup = List(d, 1)->view()->window();
        List(d, 1)->hidePopup();
        Settle();
        const QRegion area = LocalArea(d, popup);
        Expose(d, area);
        EXPECT_EQ(List(d, 0)->currentText(), "Television");
        Expose(d, area);
        EXPECT_EQ(List(d, 0)->currentText(), "Dog");
    });
}

TEST_F(ScheduleDialogTest, NamesMatchCaseBlindInTheListButStoreTheLibrarySpelling)
{
    AddNoise("Dog", "/n/dog-a.wav");
    AddNoise("Dog", "/n/dog-b.wav");
    AddNoise("Television", "/n/tv.wav");
    GuardSettings.slots[0].noiseName = "television";
    GuardSettings.slots[1].noiseName = "Dog";
    GuardSettings.slots[2].noiseName = "Gone";
    CScheduleDlg dlg;
    RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        EXPECT_EQ(List(d, 0)->currentText(), "Television");
        EXPECT_EQ(List(d, 2)->currentText(), "NOTHING");
        EXPECT_EQ(List(d, 2)->count(), 4) << "both Dogs and NOTHING";
        d.OnOK();
    });
    EXPECT_EQ(GuardSettings.slots[0].noiseName.str(), "Television");
    EXPECT_EQ(GuardSettings.slots[0].filePath.str(), "/n/tv.wav");
    EXPECT_EQ(GuardSettings.slots[1].filePath.str(), "/n/dog-b.wav") << "the later entry of a name wins";
    EXPECT_EQ(GuardSettings.slots[2].noiseName.str(), "NOTHING");
    EXPECT_EQ(GuardSettings.slots[2].filePath.str(), "None");
}

TEST_F(ScheduleDialogTest, PreviewPlaysConfiguredRowsInOrderAndKeepsThemAfterEsc)
{
    AddNoise("Door", "/n/door.wav");
    AddNoise("Bark", "/n/bark.wav");
    GuardSettings.slots[1].noiseName = "Door";
    GuardSettings.slots[3].noiseName = "Bark";
    GuardSettings.slots[3].repeatCount = 2;
    CScheduleDlg dlg;
    const int result = RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        Edit(d, IDC_QUIET_FROM)->setText("3");
        d.OnPreview();
        QTest::keyClick(d.Window(), Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(sound.played, (std::vector<std::string>{"/n/door.wav", "/n/bark.wav", "/n/bark.wav"}));
    EXPECT_EQ(GuardSettings.slots[1].filePath.str(), "/n/door.wav");
    EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, 22) << "Preview leaves the quiet window alone";
}

TEST_F(ScheduleDialogTest, EnterInAFieldDoesNothing)
{
    CScheduleDlg dlg;
    bool stillOpen = false;
    RunWith<CScheduleDlg>(dlg, [&](CScheduleDlg& d) {
        Edit(d, kScheduleRows[0].repeat)->setFocus();
        QTest::keyClick(Edit(d, kScheduleRows[0].repeat), Qt::Key_Return);
        stillOpen = d.Window()->isVisible();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(GuardSettings.slots[0].nextDue, CTime());
}

class NoisesDialogTest : public ScheduleDialogTest {
protected:
    void TearDown() override { FilePicker::ReplaceForTests({}); }
    static QStringList Lines(CDialog& d)
    {
        QStringList lines;
        auto* list = qobject_cast<SortedListBox*>(d.GetDlgItem(IDC_NOISE_LIST));
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
};

TEST_F(NoisesDialogTest, LinesAreNameTabPathSortedAndDeleteTakesTheLaterEntryOfAName)
{
    AddNoise("Zebra", "/z.wav");
    AddNoise("dog", "/a.wav");
    AddNoise("", "/hidden.wav");
    AddNoise("dog", "/b.wav");
    CNoisesDlg dlg;
    RunWith<CNoisesDlg>(dlg, [&](CNoisesDlg& d) {
        EXPECT_EQ(Lines(d), (QStringList{"dog\t/a.wav", "dog\t/b.wav", "Zebra\t/z.wav"}));
        d.OnDeleteNoise();
        EXPECT_EQ(GuardSettings.library.noiseCount, 4) << "nothing selected, nothing deleted";
        auto* list = qobject_cast<SortedListBox*>(d.GetDlgItem(IDC_NOISE_LIST));
        list->setCurrentRow(0);
        d.OnDeleteNoise();
        EXPECT_EQ(Lines(d), (QStringList{"dog\t/b.wav", "Zebra\t/z.wav"}));
    });
    ASSERT_EQ(GuardSettings.library.noiseCount, 3);
    EXPECT_EQ(GuardSettings.library.noises[1].path.str(), "/a.wav") << "the later dog went";
    EXPECT_EQ(GuardSettings.library.noises[2].path.str(), "/hidden.wav");
    EXPECT_TRUE(GuardSettings.library.noises[3].path.IsEmpty());
}

TEST_F(NoisesDialogTest, AddingTakesALongPathAndTheTypedNameAndAFullLibraryRefuses)
{
    const std::string longPath = "/home/someone/Music/Sounds for the house while we are away/" + std::string(60, 'x') + ".wav";
    QStringList filters;
    bool ownerless = false;
    FilePicker::ReplaceForTests([&](const FilePickerRequest& request) {
        filters = request.nameFilters;
        ownerless = request.owner == nullptr;
        return std::optional<QString>(QString::fromStdString(longPath));
    });
    CNoisesDlg dlg;
    RunWith<CNoisesDlg>(dlg, [&](CNoisesDlg& d) {
        QTimer::singleShot(20, [] {
            auto* name = QApplication::activeModalWidget()->findChildren<QLineEdit*>().last();
            QTest::keyClicks(name, " Dog ");
            for (auto* button : QApplication::activeModalWidget()->findChildren<QPushButton*>())
                if (button->text() == "OK")
                    button->click();
        });
        d.OnAddNoise();
    });
    ASSERT_EQ(GuardSettings.library.noiseCount, 1);
    EXPECT_EQ(GuardSettings.library.noises[0].name.str(), " Dog ");
    EXPECT_EQ(GuardSettings.library.noises[0].path.str(), longPath);
    EXPECT_EQ(filters, QStringList{"Sounds and Movies(*.avi,*.wav) (*.wav *.avi)"}) << "one filter";
    EXPECT_TRUE(ownerless);

    GuardSettings.library.noiseCount = kMaxNoises;
    int picks = 0;
    FilePicker::ReplaceForTests([&](const FilePickerRequest&) { ++picks; return std::optional<QString>(); });
    CNoisesDlg full;
    RunWith<CNoisesDlg>(full, [&](CNoisesDlg& d) { d.OnAddNoise(); });
    EXPECT_EQ(picks, 0);
    EXPECT_EQ(GuardSettings.library.noiseCount, kMaxNoises);
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_NE(messenger.messages[0].find("full"), std::string::npos);
}

TEST_F(NoisesDialogTest, NameTheEventShowsTheFileNameTakesTypingAtOnceAndEnterConfirms)
{
    CNameEventDlg dlg;
    const std::string path = "/usr/share/hauntwatch/noises/long folder names go on and on/dog.wav";
    dlg.m_fileName = path.c_str();
    bool pathTakesTab = true;
    QString tip;
    int shownEnd = 0, shownStart = 0, length = 0;
    RunWith<CNameEventDlg>(dlg, [&](CNameEventDlg& d) {
        pathTakesTab = d.GetDlgItem(IDC_FILE_NAME)->focusPolicy() & Qt::TabFocus;
        auto* field = qobject_cast<QLineEdit*>(d.GetDlgItem(IDC_FILE_NAME));
        tip = field->toolTip();
        // The end of the path, where the file's name is, is what shows.
        const QRect shows = field->contentsRect();
        shownStart = field->cursorPositionAt(QPoint(shows.left() + 2, shows.center().y()));
        shownEnd = field->cursorPositionAt(QPoint(shows.right() - 2, shows.center().y()));
        length = static_cast<int>(field->text().size());
        // No click first: what a person types goes where the focus starts.
        QTest::keyClicks(QApplication::focusWidget(), "Dog");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_FALSE(pathTakesTab);
    EXPECT_EQ(tip.toStdString(), path) << "the whole path in the tooltip";
    EXPECT_GE(shownEnd, length - 1) << "the end of the path is in view";
    EXPECT_GT(shownStart, 0) << "too long to show whole, so its start is what is cut";
    EXPECT_EQ(dlg.m_eventName.str(), "Dog");
    EXPECT_EQ(dlg.m_fileName.str(), path) << "the field's text is the path as it came";
}

// Twenty characters as a person counts them, whatever their encoded length.
TEST_F(NoisesDialogTest, TheEventNameHoldsTwentyCharactersOfAnyScript)
{
    const struct {
        QString typed;
        QString kept;
    } names[] = {
        {"The dog in the cellar barks", "The dog in the cella"},
        {QString(22, QChar(0xE9)), QString(20, QChar(0xE9))},                      // two bytes each
        {QString::fromUcs4(std::u32string(21, U'\U0001F47B').data(), 21),
         QString::fromUcs4(std::u32string(20, U'\U0001F47B').data(), 20)},         // four bytes each
    };
    for (const auto& n : names) {
        CNameEventDlg dlg;
        RunWith<CNameEventDlg>(dlg, [&](CNameEventDlg& d) {
            auto* name = qobject_cast<QLineEdit*>(d.GetDlgItem(IDC_EVENT_NAME));
            // One key per character, as a keyboard (or an input method) sends them.
            for (const uint codePoint : n.typed.toUcs4()) {
                const QString text = QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
                QApplication::sendEvent(name, &press);
            }
            ButtonOf(d.Window(), "OK")->click();
        });
        EXPECT_EQ(QString::fromUtf8(dlg.m_eventName.str().c_str()), n.kept);
        EXPECT_TRUE(messenger.messages.empty()) << "a name the field took is never refused";
    }
}

TEST_F(NoisesDialogTest, AfterADeleteNothingIsSelectedSoASecondPressDeletesNothing)
{
    AddNoise("Cat", "/c.wav");
    AddNoise("Dog", "/d.wav");
    AddNoise("Eel", "/e.wav");
    CNoisesDlg dlg;
    RunWith<CNoisesDlg>(dlg, [&](CNoisesDlg& d) {
        auto* list = qobject_cast<SortedListBox*>(d.GetDlgItem(IDC_NOISE_LIST));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
        ButtonOf(d.Window(), "Delete This Noise")->click();
        EXPECT_EQ(list->selectedItems().size(), 0);
        ButtonOf(d.Window(), "Delete This Noise")->click();
        EXPECT_EQ(Lines(d), (QStringList{"Cat\t/c.wav", "Eel\t/e.wav"}));
    });
    EXPECT_EQ(GuardSettings.library.noiseCount, 2);
}

// Bytes the locale cannot decode (a name saved on another system) go
// through the lists and back unchanged, and still find their noise.
TEST_F(NoisesDialogTest, NamesThatAreNotTextInTheLocaleSurviveBothDialogs)
{
    const CString latin1("Caf\xE9 noise");
    const CString other("Caf\xE8 noise");
    AddNoise(latin1, "/cafe.wav");
    AddNoise(other, "/other.wav");
    GuardSettings.slots[0].noiseName = latin1;
    GuardSettings.slots[1].noiseName = other;
    CScheduleDlg schedule;
    RunWith<CScheduleDlg>(schedule, [](CScheduleDlg& d) { d.OnOK(); });
    EXPECT_EQ(GuardSettings.slots[0].noiseName, latin1);
    EXPECT_EQ(GuardSettings.slots[0].filePath.str(), "/cafe.wav");
    EXPECT_EQ(GuardSettings.slots[1].noiseName, other);
    EXPECT_EQ(GuardSettings.slots[1].filePath.str(), "/other.wav");

    CNoisesDlg noises;
    RunWith<CNoisesDlg>(noises, [&](CNoisesDlg& d) {
        auto* list = qobject_cast<SortedListBox*>(d.GetDlgItem(IDC_NOISE_LIST));
        for (int row = 0; row < list->count(); ++row)
            if (list->BytesAt(row) == other + "\t/other.wav")
                list->setCurrentRow(row);
        d.OnDeleteNoise();
    });
    ASSERT_EQ(GuardSettings.library.noiseCount, 1);
    EXPECT_EQ(GuardSettings.library.noises[0].name, latin1);
}

}  // namespace
