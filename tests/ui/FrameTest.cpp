#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QUrl>
#include <fstream>

#include "AppTestFixture.h"
#include "GuardEvents.h"

namespace {

class FrameTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
    }

    // Ctrl+O, with the open dialog answered by choosing `path`.
    void OpenWithDialog(const std::string& path)
    {
        OnNextModal([this, path](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialogFilters = dialog->nameFilters();
            dialog->selectFile(QString::fromStdString(path));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        Key(Qt::Key_O, Qt::ControlModifier);
    }

    void Drop(const std::string& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        const QPoint at(200, 200);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frameWidget(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frameWidget(), &drop);
    }

    QStringList dialogFilters;
};

TEST_F(FrameTest, OpensAt460By395AsAResizableWindowCaptionedHauntwatch)
{
    // Frame included: the platform here draws a frame of its own.
    EXPECT_EQ(frameWidget()->frameGeometry().size(), QSize(460, 395));
    EXPECT_EQ(frameWidget()->windowTitle(), "Hauntwatch");
    EXPECT_TRUE(frameWidget()->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QSize opened = viewWidget()->size();
    frameWidget()->showMaximized();
    const QSize screen = frameWidget()->screen()->availableGeometry().size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frameWidget()->frameGeometry().size() == screen; }))
        << "the window fills the screen";
    EXPECT_GT(viewWidget()->width(), opened.width());
    EXPECT_GT(viewWidget()->height(), opened.height());
}

// The greeting is a sentence: cut off, it says nothing.
TEST_F(FrameTest, TheGreetingReadsWholeInTheOpeningWindowsStatusBar)
{
    QLabel* pane = nullptr;
    for (QLabel* label : frameWidget()->findChild<QStatusBar*>()->findChildren<QLabel*>())
        if (label->text() == kGreeting)
            pane = label;
    ASSERT_NE(pane, nullptr);
    const QFontMetrics metrics(pane->font());
    EXPECT_LE(metrics.horizontalAdvance(pane->text()), pane->contentsRect().width() - 2 * pane->margin());
    EXPECT_GE(pane->font().pointSizeF(), 6.0) << "still legible";
    view()->OnTurnMeOn();
    EXPECT_LE(QFontMetrics(pane->font()).horizontalAdvance(pane->text()), pane->contentsRect().width());
    EXPECT_EQ(pane->text(), kOnDuty);
}

TEST_F(FrameTest, MenuBarHoldsTheCommandsAndThePopupInOrder)
{
    QStringList bar;
    QStringList popup;
    for (QAction* action : frameWidget()->findChild<QMenuBar*>()->actions()) {
        bar << action->text();
        if (action->menu())
            for (QAction* item : action->menu()->actions())
                popup << item->text();
    }
    EXPECT_EQ(bar, QStringList({"&What Should I Do?", "&Turn Me On", "&Quit", "&Say Whut?"}));
    EXPECT_EQ(popup, QStringList({"What is this?", "&About Hauntwatch", "Any errors?"}));
}

TEST_F(FrameTest, StatusBarHasTheTextPaneAndThreeLockIndicatorsBlankWhileOff)
{
    LockKeyState locks;
    frame()->m_wndStatusBar.SetLockKeyReader([&] { return locks; });
    ASSERT_EQ(frame()->m_wndStatusBar.GetCount(), 4);
    ASSERT_EQ(frame()->GetDescendantWindow(ID_GUARD_STATUS_BAR), &frame()->m_wndStatusBar);

    locks.capsLock = true;
    Key(Qt::Key_CapsLock);
    EXPECT_EQ(PaneText(1), "CAP");
    EXPECT_EQ(PaneText(2), "");
    EXPECT_EQ(PaneText(3), "");

    // A lock changed in another window shows when this one is active again.
    locks = LockKeyState{false, true, true};
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(frameWidget(), &activate);
    EXPECT_EQ(PaneText(1), "");
    EXPECT_EQ(PaneText(2), "NUM");
    EXPECT_EQ(PaneText(3), "SCRL");
    EXPECT_EQ(PaneText(0), kGreeting);
}

TEST_F(FrameTest, MenuPromptsNeverReachTheTextPane)
{
    view()->OnTurnMeOn();
    QStatusTipEvent tip("Turns the guard on");
    QApplication::sendEvent(frameWidget(), &tip);
    EXPECT_EQ(PaneText(), kOnDuty);
    EXPECT_TRUE(frameWidget()->findChild<QStatusBar*>()->currentMessage().isEmpty());
    for (QAction* action : frameWidget()->findChildren<QAction*>())
        EXPECT_TRUE(action->statusTip().isEmpty()) << action->text().toStdString();
}

TEST_F(FrameTest, OpenUsesThePlomaxFilterKeepsTheCaptionAndLetsTheSettingsFileWin)
{
    const std::string other = home / "other.hwt";
    WriteSettings(other, [](GuardSettingsRecord& settings) { settings.quietWindow = QuietWindow{3, 4}; });
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& settings) { settings.quietWindow = QuietWindow{22, 6}; });
    view()->OnTurnMeOn();

    OpenWithDialog(other);

    EXPECT_EQ(dialogFilters, QStringList({"Plomax Files (*.hwt)"}));
    EXPECT_EQ(frameWidget()->windowTitle(), "Hauntwatch");
    EXPECT_EQ(guardOn, 0);
    EXPECT_EQ(PaneText(), kGreeting);
    EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, 22);
    EXPECT_EQ(RecentFiles(), std::vector<std::string>{other});
}

TEST_F(FrameTest, FailedOpenIsReportedAndGivesTheViewNoInitialUpdate)
{
    const std::string damaged = home / "damaged.hwt";
    std::ofstream(damaged) << "xy";
    view()->OnTurnMeOn();

    OpenWithDialog(damaged);

    EXPECT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(PaneText(), kOnDuty);
    EXPECT_TRUE(timer.IsArmed(view()));
    EXPECT_TRUE(RecentFiles().empty());
}

TEST_F(FrameTest, DroppedFileIsOpenedAsTheDocument)
{
    const std::string dropped = home / "dropped.hwt";
    WriteSettings(dropped, [](GuardSettingsRecord&) {});
    view()->OnTurnMeOn();

    Drop(dropped);
    EXPECT_TRUE(RecentFiles().empty()) << "opened only once the drop has returned";

    EXPECT_TRUE(QTest::qWaitFor([&] { return !RecentFiles().empty(); }));
    EXPECT_EQ(RecentFiles(), std::vector<std::string>{dropped});
    EXPECT_EQ(guardOn, 0);
    EXPECT_EQ(frameWidget()->windowTitle(), "Hauntwatch");
}

TEST_F(FrameTest, QuitClosesTheWindowWithoutAQuestion)
{
    view()->OnTurnMeOn();
    ASSERT_NE(MenuAction("&Quit"), nullptr);
    ModalSentry sentry;
    MenuAction("&Quit")->trigger();
    EXPECT_FALSE(frameWidget()->isVisible());
    EXPECT_TRUE(messenger.messages.empty());
    EXPECT_TRUE(sentry.seen.isEmpty()) << sentry.seen.join(", ").toStdString();
}

// The person ends the guard by quitting; a session that ends (its manager
// has the application close its windows) leaves the guard on duty, to be
// resumed after the restart.
class StopCounter final : public GuardEvents {
public:
    StopCounter() { InstallGuardEvents(this); }
    ~StopCounter() override { InstallGuardEvents(nullptr); }
    void GuardStopped(CTime) override { ++stops; }
    int stops = 0;
};

TEST_F(FrameTest, QuittingEndsTheGuardOnceButASessionEndingDoesNot)
{
    StopCounter counter;
    view()->OnTurnMeOn();
    QEvent sessionQuit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &sessionQuit);
    EXPECT_FALSE(frameWidget()->isVisible()) << "the windows were closed";
    EXPECT_EQ(counter.stops, 0);
}

TEST_F(FrameTest, QuitEndsTheGuardOnce)
{
    StopCounter counter;
    view()->OnTurnMeOn();
    MenuAction("&Quit")->trigger();
    // Quitting closes the windows once more; the guard ended only once.
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    EXPECT_EQ(counter.stops, 1);
}

}  // namespace
