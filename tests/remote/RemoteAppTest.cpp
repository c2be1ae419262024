// The remote control in the started program (frame, view, document) on the
// fake clock and timer, against a real Mosquitto: commands from the broker go
// through the view's own commands, and the status bar and the plays follow.
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QJsonDocument>
#include <QJsonObject>

#include "AppTestFixture.h"
#include "Broker.h"
#include "FakeProgramStarter.h"
#include "ViewGuardAccess.h"
#include "RemoteControl.h"
#include "RemoteDialog.h"

namespace {

using namespace remote;
using namespace broker_test;
using namespace std::chrono_literals;

class RemoteAppTest : public AppTest {
protected:
    void TearDown() override
    {
        InstallGuardEvents(nullptr);
        control.reset();
        AppTest::TearDown();
    }

    // The program with a one-minute slot that starts radio.txt, its remote
    // control connected to `broker`.
    void StartWithRemote(const Broker& broker)
    {
        WriteSettings(home / "noises.hwt", [&](GuardSettingsRecord& settings) {
            settings.library.noiseCount = 1;
            settings.library.noises[0] = Noise{"radio", radio.c_str()};
            settings.slots[0] = NoiseSlot{"radio", radio.c_str(), 1, kModeExact, 1, CTime()};
        });
        RemoteSettings remote;
        remote.broker = QString::fromStdString(broker.Url());
        ASSERT_TRUE(SaveRemoteSettings(remote));
        ASSERT_TRUE(Start());
        control = std::make_unique<RemoteControl>(access);
        InstallGuardEvents(control.get());
        control->Start();
        control->AttachTo(*frameWidget(), *frame()->PopupMenu(kSayWhutMenuPosition));
        ASSERT_TRUE(WaitFor([&] { return control->Status().state == LinkState::Connected; }, 15s))
            << control->StatusLine().toStdString();
    }

    const std::string radio = home / "radio.txt";
    platform::FakeProgramStarter starter;
    ViewGuardAccess access;
    std::unique_ptr<RemoteControl> control;
};

TEST_F(RemoteAppTest, OnFromTheBrokerIsTurnMeOnAndOffIsTheMansionClick)
{
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    StartWithRemote(broker);
    const Topics& topics = control->TopicNames();
    Listener listener(broker.port(), {topics.base + "/#"});
    ASSERT_TRUE(listener.WaitFor(topics.guard, "OFF")) << "the guard is not OFF on the broker at start";
    ModalSentry sentry;

    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
    ASSERT_TRUE(WaitFor([&] { return PaneText() == kOnDuty; }, 10s)) << "the status bar did not change";
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(sound.played.size(), 1u) << "the guard-on sound, as Turn Me On plays it";
    EXPECT_TRUE(listener.WaitFor(topics.guard, "ON"));
    const CTime started = CTime::GetCurrentTime();
    EXPECT_TRUE(listener.WaitFor(topics.next, IsoTime((started + CTimeSpan(60)).GetTime())))
        << "the next wake-up is not a minute on";

    // A minute later the slot plays.
    ASSERT_TRUE(timer.IsArmed(view()));
    EXPECT_EQ(timer.Delay(view()), 60000u);
    clock.Advance(60);
    timer.Fire(view());
    ASSERT_EQ(starter.started, std::vector<std::string>{radio});
    ASSERT_TRUE(WaitFor([&] { return listener.Latest(topics.lastPlay).has_value(); }, 10s)) << "no last play";
    const QJsonObject play = QJsonDocument::fromJson(QByteArray::fromStdString(*listener.Latest(topics.lastPlay))).object();
    EXPECT_EQ(play.value("result").toString(), "started");
    EXPECT_EQ(play.value("name").toString(), "radio");
    EXPECT_FALSE(play.contains("path")) << "paths are published only when asked for";
    EXPECT_EQ(play.value("time").toString().toStdString(), IsoTime((started + CTimeSpan(60)).GetTime()));
    EXPECT_TRUE(listener.WaitFor(topics.next, IsoTime((started + CTimeSpan(120)).GetTime())));

    ASSERT_TRUE(listener.Publish(topics.guardSet, "OFF"));
    ASSERT_TRUE(WaitFor([&] { return PaneText() == kGreeting; }, 10s)) << "the guard did not stop";
    EXPECT_EQ(guardOn, 0);
    EXPECT_FALSE(timer.IsArmed(view()));
    EXPECT_EQ(sound.played.size(), 2u) << "the guard-off sound, as the mansion click plays it";
    EXPECT_TRUE(listener.WaitFor(topics.guard, "OFF"));
    EXPECT_TRUE(listener.WaitFor(topics.next, "None"));
    EXPECT_TRUE(sentry.seen.isEmpty()) << "a remote start or stop showed " << sentry.seen.join(", ").toStdString();
}

TEST_F(RemoteAppTest, TheProblemCountFollowsTheReportAndAGuardStartEmptiesIt)
{
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    StartWithRemote(broker);
    const Topics& topics = control->TopicNames();
    Listener listener(broker.port(), {topics.problems});
    ASSERT_TRUE(listener.WaitFor(topics.problems, "0"));

    starter.result = 2;  // the starter found no such file
    view()->OnTurnMeOn();
    clock.Advance(60);
    timer.Fire(view());
    ASSERT_EQ(ProblemLog.problemCount, 1);
    EXPECT_TRUE(listener.WaitFor(topics.problems, "1")) << "the failed start's line was not counted";
    access.AppendProblem("At 10:01 a line from elsewhere");
    control->ProblemsMayHaveChanged();
    EXPECT_TRUE(listener.WaitFor(topics.problems, "2"));

    Click(100, 80);  // the mansion
    view()->OnTurnMeOn();
    EXPECT_TRUE(listener.WaitFor(topics.problems, "0")) << "a guard start empties the report";
}

TEST_F(RemoteAppTest, RemoteControlIsInSayWhutAndOpensItsDialogBesideTheWindow)
{
    ASSERT_TRUE(Start());
    control = std::make_unique<RemoteControl>(access);
    control->Start();
    control->AttachTo(*frameWidget(), *frame()->PopupMenu(kSayWhutMenuPosition));
    QStringList popup;
    for (QAction* action : frameWidget()->findChild<QMenuBar*>()->actions())
        if (action->text() == "&Say Whut?")
            for (QAction* item : action->menu()->actions())
                popup << item->text();
    EXPECT_EQ(popup.last(), QString::fromUtf8("Remote Control…"));

    MenuAction(QString::fromUtf8("Remote Control…"))->trigger();
    auto* dialog = frameWidget()->findChild<RemoteDialog*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(dialog, nullptr) << "no dialog, or not one of the main window's";
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the dialog holds up the window";
    EXPECT_EQ(dialog->stateLabel()->text(), "Off: no broker is set.");
    MenuAction(QString::fromUtf8("Remote Control…"))->trigger();
    EXPECT_EQ(frameWidget()->findChildren<RemoteDialog*>().size(), 1) << "a second dialog beside the first";
}

}  // namespace
