// The check at guard starts and passes, on the started program with a real
// server: the problem lines, the message at a start by the person, the
// diary's notes, and nothing at all where no server answers.
#include "ViewGuardAccess.h"
#include "MpvOptions.h"
#include "SoundAppTest.h"

namespace {

class SoundCheckTest : public SoundAppTest {};

TEST_F(SoundCheckTest, MutedThenQuietThenAudibleAtAPersonsStarts)
{
    ASSERT_EQ(server.Pactl({"set-sink-mute", "a", "1"}), 0);
    MakeModule();
    ASSERT_TRUE(Output("a", [](const sound::SoundOutput& o) { return o.muted; }));
    ASSERT_TRUE(Start());

    view()->OnTurnMeOn();
    EXPECT_EQ(guardOn, 1) << "the guard goes on regardless";
    EXPECT_EQ(Problems(), std::vector<std::string>{"At 10:00 nobody can hear Mervo: the sound is muted (Living room)"});
    ASSERT_EQ(messenger.unwaited.size(), 1u);
    EXPECT_NE(messenger.unwaited[0].find("the sound is muted (Living room)"), std::string::npos);
    EXPECT_NE(messenger.unwaited[0].find("Unmute"), std::string::npos) << "and how to mend it";
    EXPECT_TRUE(messenger.messages.empty()) << "nothing that waits";
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].at, CTime(2026, 12, 7, 10, 0, 0));
    EXPECT_EQ(notes[0].reason, "the sound is muted");
    EXPECT_EQ(notes[0].output, "Living room");

    view()->OnStopGuard();
    ASSERT_EQ(server.Pactl({"set-sink-mute", "a", "0"}), 0);
    ASSERT_EQ(server.Pactl({"set-sink-volume", "a", "2%"}), 0);
    ASSERT_TRUE(Output("a", [](const sound::SoundOutput& o) { return !o.muted && o.volumePercent == 2; }));
    clock.Advance(60);
    view()->OnTurnMeOn();
    EXPECT_EQ(Problems(), std::vector<std::string>{"At 10:01 nobody can hear Mervo: the volume is at 2% (Living room)"});
    EXPECT_EQ(messenger.unwaited.size(), 2u);

    view()->OnStopGuard();
    ASSERT_EQ(server.Pactl({"set-sink-volume", "a", "100%"}), 0);
    ASSERT_TRUE(Output("a", [](const sound::SoundOutput& o) { return o.volumePercent == 100; }));
    view()->OnTurnMeOn();
    EXPECT_EQ(guardOn, 1);
    EXPECT_TRUE(Problems().empty()) << Problems().front();
    EXPECT_EQ(messenger.unwaited.size(), 2u) << "nothing to say";
    EXPECT_EQ(notes.size(), 2u);
}

TEST_F(SoundCheckTest, ResumedAndRemoteStartsGetTheLineButNoMessage)
{
    ASSERT_EQ(server.Pactl({"set-sink-mute", "a", "1"}), 0);
    MakeModule();
    ASSERT_TRUE(Output("a", [](const sound::SoundOutput& o) { return o.muted; }));
    ASSERT_TRUE(Start());
    for (const GuardStartOrigin origin : {GuardStartOrigin::Resumed, GuardStartOrigin::Remote}) {
        access.TurnOn(origin);
        EXPECT_EQ(guardOn, 1);
        EXPECT_EQ(Unheard(), 1);
        access.Stop();
    }
    EXPECT_TRUE(messenger.unwaited.empty()) << messenger.unwaited.front();
}

TEST_F(SoundCheckTest, EveryPassThatPlaysASoundOrAMovieIsCheckedOnce)
{
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& settings) {
        SetNoise(settings, 0, 2, "/noises/door.wav");
        SetNoise(settings, 1, 2, "/noises/clip.avi");
        SetNoise(settings, 2, 1, "/noises/lamp.sh");
    });
    ASSERT_EQ(server.Pactl({"set-sink-mute", "a", "1"}), 0);
    MakeModule();
    ASSERT_TRUE(Output("a", [](const sound::SoundOutput& o) { return o.muted; }));
    ASSERT_TRUE(Start());
    view()->OnTurnMeOn();
    ASSERT_EQ(Unheard(), 1);

    clock.Advance(60);
    timer.Fire(view());
    EXPECT_EQ(Unheard(), 1) << "a pass that only starts a program plays nothing to hear";
    clock.Advance(60);
    timer.Fire(view());
    EXPECT_EQ(Unheard(), 2) << "one line for a pass with a sound and a movie";
    EXPECT_EQ(UnheardLines().back(), "At 10:02 nobody can hear Mervo: the sound is muted (Living room)");
    EXPECT_EQ(messenger.unwaited.size(), 1u) << "a pass shows no message";
}

TEST_F(SoundCheckTest, TheChosenOutputIsTheOneCheckedAndOneThatIsGoneFallsBackToTheDefault)
{
    ChooseInSettings("b");
    ASSERT_EQ(server.Pactl({"set-sink-mute", "a", "1"}), 0);
    ASSERT_EQ(server.Pactl({"set-sink-volume", "b", "3%"}), 0);
    MakeModule();
    ASSERT_TRUE(Output("b", [](const sound::SoundOutput& o) { return o.volumePercent == 3; }));
    ASSERT_TRUE(Start());
    view()->OnTurnMeOn();
    EXPECT_EQ(Problems(), std::vector<std::string>{"At 10:00 nobody can hear Mervo: the volume is at 3% (Front door)"})
        << "the default's mute is none of the chosen output's business";
    view()->OnStopGuard();

    ASSERT_TRUE(server.UnloadSink("b"));
    ASSERT_TRUE(ServerKnown([](const SoundServerView& v) { return !v.Find("b"); }));
    view()->OnTurnMeOn();
    EXPECT_EQ(Problems(), (std::vector<std::string>{"At 10:00 the chosen output is gone: playing through Living room",
                                                    "At 10:00 nobody can hear Mervo: the sound is muted (Living room)"}))
        << "the default plays, and the default is checked";
    ASSERT_EQ(messenger.unwaited.size(), 2u);
    EXPECT_NE(messenger.unwaited[1].find("plays through Living room"), std::string::npos) << messenger.unwaited[1];
}

TEST_F(SoundCheckTest, AStartBeforeTheServerAnsweredIsCheckedWhenTheAnswerComes)
{
    ASSERT_EQ(server.Pactl({"set-sink-mute", "a", "1"}), 0);
    ASSERT_TRUE(Start());
    MakeModule();
    ASSERT_EQ(module->Watcher().View().state, State::Settling);
    view()->OnTurnMeOn();
    EXPECT_EQ(guardOn, 1) << "the start does not wait for the server";
    EXPECT_EQ(Unheard(), 0);
    ASSERT_TRUE(WaitFor([&] { return Unheard() == 1; }));
    EXPECT_EQ(Problems(), std::vector<std::string>{"At 10:00 nobody can hear Mervo: the sound is muted (Living room)"});
    EXPECT_EQ(messenger.unwaited.size(), 1u) << "the person still hears why";
}

TEST_F(SoundCheckTest, AStartThatStoppedBeforeTheAnswerCameIsNotReported)
{
    ASSERT_EQ(server.Pactl({"set-sink-mute", "a", "1"}), 0);
    ASSERT_TRUE(Start());
    MakeModule();
    view()->OnTurnMeOn();
    view()->OnStopGuard();
    ASSERT_TRUE(ServerKnown());
    QCoreApplication::processEvents();
    EXPECT_EQ(Unheard(), 0);
    EXPECT_TRUE(messenger.unwaited.empty());
}

TEST_F(SoundCheckTest, AServerThatCameBackIsAskedAtTheNextStart)
{
    server.Stop();
    // Retries a minute apart: only the guard start asks in time.
    MakeModule({60000, 60000, 3000, 0});
    ASSERT_TRUE(WaitFor([&] { return module->Watcher().View().state == State::NoServer; }));
    ASSERT_TRUE(server.Start()) << server.Log();
    ASSERT_EQ(server.Pactl({"set-sink-mute", "a", "1"}), 0);
    ASSERT_TRUE(Start());
    view()->OnTurnMeOn();
    EXPECT_TRUE(WaitFor([&] { return Unheard() == 1; }));
    EXPECT_EQ(messenger.unwaited.size(), 1u);
}

// Without any server: nothing is claimed, and the guard starts as it always has.
class SoundCheckWithoutServerTest : public AppTest {
protected:
    void TearDown() override
    {
        InstallGuardEvents(nullptr);
        module.reset();
        AppTest::TearDown();
    }

    PulseServer nobody{{}};  // never started: its socket is not there
    ViewGuardAccess access;
    std::unique_ptr<sound::SoundModule> module;
};

TEST_F(SoundCheckWithoutServerTest, NoLineNoMessageAndTheGuardOn)
{
    QSettings settings = UserSettings();
    settings.setValue("Sound/Output", "b");
    ASSERT_TRUE(Start());
    module = std::make_unique<sound::SoundModule>(access, sound::SoundServerWatcher::Timing{50, 400, 3000, 200});
    InstallGuardEvents(&module->Listener());
    view()->OnTurnMeOn();
    EXPECT_EQ(guardOn, 1);
    EXPECT_TRUE(timer.IsArmed(view()));
    EXPECT_EQ(PaneText(), kOnDuty);
    ASSERT_TRUE(WaitFor([&] { return module->Watcher().View().state == State::NoServer; }));
    view()->OnStopGuard();
    view()->OnTurnMeOn();
    QCoreApplication::processEvents();
    EXPECT_EQ(ProblemLog.problemCount, 0);
    EXPECT_TRUE(messenger.unwaited.empty());
    EXPECT_EQ(platform::ChosenAudioDevice(), "") << "no server: the machine's own default plays";
}

}  // namespace
