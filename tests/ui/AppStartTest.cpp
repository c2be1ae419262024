#include <QMessageBox>
#include <QSignalSpy>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "AppTestFixture.h"
#include "CSingleDocTemplate.h"
#include "QtMessenger.h"
#include "ShellOpenChannel.h"

namespace {

class AppStartTest : public AppTest {
protected:
    std::string SettingsCopy(const char* name)
    {
        const std::string path = home / name;
        WriteSettings(path, [](GuardSettingsRecord&) {});
        return path;
    }
};

TEST_F(AppStartTest, StartWithoutAFileMakesOneFrameAndViewAndLoadsTheSettingsFile)
{
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& settings) { SetNoise(settings, 4, 30); });
    ASSERT_TRUE(Start());
    EXPECT_TRUE(frameWidget()->isVisible());
    EXPECT_EQ(PaneText(), kGreeting);
    EXPECT_EQ(GuardSettings.slots[4].intervalMinutes, 30);
    EXPECT_EQ(currentDocument, app->GetDocTemplate()->GetDocument());
    EXPECT_EQ(statusBar, &frame()->m_wndStatusBar);

    // New and Open reuse the same three objects.
    CFrameWnd* const firstFrame = frame();
    CView* const firstView = view();
    app->OnFileNew();
    app->OpenDocumentFile(SettingsCopy("again.hwt").c_str());
    EXPECT_EQ(frame(), firstFrame);
    EXPECT_EQ(view(), firstView);
}

TEST_F(AppStartTest, FileOnTheCommandLineIsOpenedThenTheSettingsFileReplacesIt)
{
    const std::string named = home / "named.hwt";
    WriteSettings(named, [](GuardSettingsRecord& settings) { settings.quietWindow = QuietWindow{3, 4}; });
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& settings) { settings.quietWindow = QuietWindow{22, 6}; });

    ASSERT_TRUE(Start({"--an-option", named.c_str()}));

    EXPECT_EQ(RecentFiles(), std::vector<std::string>{named});
    EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, 22);
    EXPECT_EQ(frameWidget()->windowTitle(), "Hauntwatch");
}

TEST_F(AppStartTest, FileOnTheCommandLineThatCannotBeOpenedEndsTheProgram)
{
    EXPECT_FALSE(Start({(home / "missing.hwt").c_str()}));
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(app->GetDocTemplate()->GetFrame(), nullptr);
    EXPECT_EQ(messenger.messages.size(), 1u);
}

TEST_F(AppStartTest, RecentFileListKeepsTheLastFourNewestFirstInTheUserSettings)
{
    ASSERT_TRUE(Start());
    std::vector<std::string> opened;
    for (const char* name : {"a.hwt", "b.hwt", "c.hwt", "d.hwt", "e.hwt"})
        opened.push_back(SettingsCopy(name));
    for (const std::string& path : opened)
        ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr);
    app->OpenDocumentFile(opened[2].c_str());
    // A file that does not open is not remembered.
    app->OpenDocumentFile((home / "missing.hwt").c_str());

    const std::vector<std::string> expected{opened[2], opened[4], opened[3], opened[1]};
    EXPECT_EQ(RecentFiles(), expected);
    CRecentFileList reread(4);
    reread.ReadList();
    EXPECT_EQ(Files(reread), expected);
}

TEST_F(AppStartTest, OnlyOneProgramPerHomeFolderClaimsTheChannel)
{
    ShellOpenChannel first(QString::fromStdString(home.path()));
    ShellOpenChannel second(QString::fromStdString(home.path()));
    TempFolder otherHome;
    ShellOpenChannel elsewhere(QString::fromStdString(otherHome.path()));

    EXPECT_TRUE(first.Claim());
    EXPECT_FALSE(second.Claim());
    EXPECT_TRUE(elsewhere.Claim());
    EXPECT_NE(first.SocketPath(), elsewhere.SocketPath());

    QSignalSpy requests(&first, &ShellOpenChannel::openRequested);
    ASSERT_TRUE(second.Forward("/some where/with\nnewline.hwt"));
    ASSERT_TRUE(second.Forward(QString()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return requests.size() >= 2; }, 5000));
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0][0].toString(), "/some where/with\nnewline.hwt");
    EXPECT_EQ(requests[1][0].toString(), QString());

    // A socket others may write to, or a lock of another owner, is not
    // used: such a start runs on its own and hands nothing over.
    ASSERT_EQ(::chmod(QFile::encodeName(first.SocketPath()).constData(), 0777), 0);
    EXPECT_TRUE(ShellOpenChannel(QString::fromStdString(home.path())).Claim());
    if (::geteuid() == 0 && ::chown(QFile::encodeName(elsewhere.SocketPath().replace(".socket", ".lock")).constData(), 65534, 65534) == 0) {
        EXPECT_TRUE(ShellOpenChannel(QString::fromStdString(otherHome.path())).Claim());
    }
}

TEST_F(AppStartTest, ALaterStartHandsItsFileToTheRunningProgramWhichOpensIt)
{
    ASSERT_TRUE(Start());
    view()->OnTurnMeOn();
    const std::string handed = SettingsCopy("handed.hwt");

    ShellOpenChannel laterStart(QString::fromStdString(home.path()));
    ASSERT_FALSE(laterStart.Claim());
    ASSERT_TRUE(laterStart.Forward(QString::fromStdString(handed)));

    ASSERT_TRUE(QTest::qWaitFor([&] { return app->GetRecentFileList()->GetSize() == 1; }, 5000));
    EXPECT_EQ((*app->GetRecentFileList())[0], handed.c_str());
    EXPECT_EQ(guardOn, 0);
}

TEST_F(AppStartTest, MessengerShowsABoxCaptionedWithTheApplicationTitle)
{
    ASSERT_TRUE(Start());
    QString caption;
    QString text;
    OnNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        box->accept();
    });
    platform::QtMessenger().ShowMessage("The settings file is damaged.");
    EXPECT_EQ(caption, "qwendrik");
    EXPECT_EQ(text, "The settings file is damaged.");
}

}  // namespace
