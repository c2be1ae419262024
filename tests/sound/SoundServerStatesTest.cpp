// Whatever the sound server does while Mervo is alone (never there, no
// output, its only output switched off between plays or during one, killed,
// stalled, restarted, an output put back), the program goes on, says what
// happened in the problem report and claims no more than the server said.
// The real libmpv player, a private PulseAudio, the guard's own passes.
#include <thread>

#include "SoundRoutingFixture.h"
#include "ToneFile.h"

namespace {

class SoundServerStatesTest : public SoundRoutingTest {
protected:
    void SetUp() override
    {
        SoundRoutingTest::SetUp();
        WriteTone(longTone, 3.0);
    }

    void TearDown() override
    {
        if (actor.joinable())
            actor.join();
        SoundRoutingTest::TearDown();
    }

    // The guard on duty with one noise every minute.
    void GuardOn(const std::string& noise)
    {
        WriteSettings(home / "noises.hwt", [&](GuardSettingsRecord& s) { SetNoise(s, 0, 1, noise.c_str()); });
        ASSERT_TRUE(Start());
        view()->OnTurnMeOn();
        ASSERT_EQ(guardOn, 1);
    }

    // The guard's next pass, a minute on: it plays the noise.
    void Pass()
    {
        clock.Advance(60);
        timer.Fire(view());
        if (actor.joinable())
            actor.join();
        // What the server said meanwhile reaches the check before the next pass.
        QCoreApplication::processEvents();
    }

    // `act` runs on a thread of its own once the server shows a stream
    // playing, while the window thread is inside the play.
    void WhileTheNextPlayPlays(std::function<void()> act)
    {
        actor = std::thread([this, act = std::move(act)] {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (std::chrono::steady_clock::now() < giveUp &&
                   server.PactlOutput({"list", "short", "sink-inputs"}).empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            streamSeen = !server.PactlOutput({"list", "short", "sink-inputs"}).empty();
            act();
        });
    }

    // The next pass, recorded at the default output: whether its noise was
    // heard there.
    bool NextPassIsHeard()
    {
        SinkRecording a("a", home / ("pass" + std::to_string(++recordings) + ".raw"));
        if (!a.Running())
            return false;
        Pass();
        return a.HeardSomething();
    }

    bool NoOutputs()
    {
        return ServerKnown([](const SoundServerView& v) { return v.outputs.empty(); });
    }

    static std::string CouldNotPlay(const char* at, const std::string& path) { return std::string(at) + " couldn't play wav" + path; }
    static std::string NobodyHears(const char* at) { return std::string(at) + " nobody can hear Mervo: there is no sound output"; }

    std::string longTone = home / "long.wav";
    std::thread actor;
    std::atomic<bool> streamSeen{false};
    int recordings = 0;
};

TEST_F(SoundServerStatesTest, NoServerAtAll)
{
    server.Stop();
    MakeModule();
    GuardOn(kTone);
    Pass();
    ASSERT_TRUE(WaitFor([&] { return module->Watcher().View().state == State::NoServer; }));
    Pass();
    EXPECT_EQ(player.LastFailure(), platform::PlayFailure::NoSoundOutput);
    EXPECT_EQ(Problems(), (std::vector<std::string>{CouldNotPlay("At 10:01", kTone), CouldNotPlay("At 10:02", kTone)}))
        << "each play fails, and nothing is claimed of a server nobody asked";
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(timer.IsArmed(view()));
}

TEST_F(SoundServerStatesTest, AServerWithNoOutput)
{
    ASSERT_TRUE(server.UnloadSink("a") && server.UnloadSink("b"));
    MakeModule();
    ASSERT_TRUE(NoOutputs());
    GuardOn(kTone);
    Pass();
    EXPECT_EQ(player.LastFailure(), platform::PlayFailure::NoSoundOutput);
    EXPECT_EQ(Problems(), (std::vector<std::string>{NobodyHears("At 10:00"), NobodyHears("At 10:01"),
                                                    CouldNotPlay("At 10:01", kTone)}));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].reason, "there is no sound output");
    EXPECT_EQ(messenger.unwaited.size(), 1u) << "the person who turned him on is told at once";
}

TEST_F(SoundServerStatesTest, TheOnlyOutputSwitchedOffBetweenPlaysAndPutBack)
{
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    GuardOn(kTone);
    EXPECT_TRUE(NextPassIsHeard());
    ASSERT_TRUE(server.UnloadSink("a") && server.UnloadSink("b"));
    ASSERT_TRUE(NoOutputs());
    Pass();
    EXPECT_EQ(Problems(), (std::vector<std::string>{NobodyHears("At 10:02"), CouldNotPlay("At 10:02", kTone)}));

    ASSERT_TRUE(server.LoadSink({"a", "Living room"}));
    ASSERT_TRUE(ServerKnown([](const SoundServerView& v) { return v.outputs.size() == 1; }));
    EXPECT_TRUE(NextPassIsHeard()) << "the next play reaches the output that came back";
    EXPECT_EQ(Problems().size(), 2u) << Problems().back();
}

TEST_F(SoundServerStatesTest, TheOnlyOutputSwitchedOffDuringAPlay)
{
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    GuardOn(longTone);
    WhileTheNextPlayPlays([this] { server.UnloadSink("a") && server.UnloadSink("b"); });
    Pass();
    ASSERT_TRUE(streamSeen);
    ASSERT_TRUE(NoOutputs());
    Pass();
    const std::vector<std::string> problems = Problems();
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(std::vector<std::string>(problems.end() - 2, problems.end()),
              (std::vector<std::string>{NobodyHears("At 10:02"), CouldNotPlay("At 10:02", longTone)}));
    EXPECT_TRUE(timer.IsArmed(view()));
}

TEST_F(SoundServerStatesTest, TheServerKilledDuringAPlayAndStartedAgain)
{
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    GuardOn(longTone);
    WhileTheNextPlayPlays([this] { server.Kill(); });
    Pass();
    ASSERT_TRUE(streamSeen);
    ASSERT_TRUE(WaitFor([&] { return module->Watcher().View().state == State::NoServer; }));
    Pass();
    EXPECT_EQ(Problems().back(), CouldNotPlay("At 10:02", longTone));
    EXPECT_EQ(Unheard(), 0) << "a server that is gone says nothing either way";

    ASSERT_TRUE(server.Start()) << server.Log();
    ASSERT_TRUE(ServerKnown([](const SoundServerView& v) { return v.outputs.size() == 2; }));
    const int before = ProblemLog.problemCount;
    EXPECT_TRUE(NextPassIsHeard()) << "the restarted server plays the next noise";
    EXPECT_EQ(ProblemLog.problemCount, before);
}

TEST_F(SoundServerStatesTest, TheServerStoppedDuringAPlay)
{
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    GuardOn(longTone);
    WhileTheNextPlayPlays([this] { server.Pause(); });
    Pass();
    ASSERT_TRUE(streamSeen);
    EXPECT_EQ(player.LastFailure(), platform::PlayFailure::TimedOut) << "given up a little past its end";
    EXPECT_EQ(Problems(), std::vector<std::string>{CouldNotPlay("At 10:01", longTone)});

    server.Resume();
    ASSERT_TRUE(ServerKnown([](const SoundServerView& v) { return v.outputs.size() == 2; }));
    ASSERT_TRUE(WaitFor([] { return platform::HandlesBeingDestroyed() == 0; }));
    EXPECT_TRUE(NextPassIsHeard());
    EXPECT_EQ(Unheard(), 0);
    EXPECT_EQ(Problems().size(), 1u) << Problems().back();
}

TEST_F(SoundServerStatesTest, TheServerStoppedWhileTheCheckAsks)
{
    // A stalled server while the program starts: the check that waits for
    // its answer claims nothing when none comes.
    server.Pause();
    MakeModule();
    EXPECT_EQ(module->Watcher().View().state, State::Settling);
    GuardOn(kTone);
    ASSERT_TRUE(WaitFor([&] { return module->Watcher().View().state == State::NoServer; }));
    EXPECT_EQ(Unheard(), 0);
    EXPECT_TRUE(messenger.unwaited.empty());

    server.Resume();
    ASSERT_TRUE(ServerKnown());
    ASSERT_TRUE(WaitFor([] { return platform::HandlesBeingDestroyed() == 0; }));
    EXPECT_TRUE(NextPassIsHeard());
    EXPECT_EQ(Unheard(), 0);
    EXPECT_TRUE(notes.empty());
}

// libpulse gives up on a question after thirty seconds and hands the
// callback no answer; that is no news of the outputs.  The server stalls
// with a question in flight, for longer than that, and comes back.
TEST_F(SoundServerStatesTest, AQuestionLeftUnansweredPastTheTimeoutClaimsNothing)
{
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    GuardOn(kTone);
    // A change the watcher hears of, and the server stalls before it can
    // answer the questions that follow: once another listener has the
    // news, the watcher's copy is in its socket too.
    QProcess listener;
    listener.start(QStringLiteral("pactl"), {QStringLiteral("--server=") + QString::fromStdString(server.Address()),
                                             QStringLiteral("subscribe")});
    ASSERT_TRUE(listener.waitForStarted());
    // pactl subscribes some time after it starts; a change made before then
    // reaches nobody, so the volume moves until the listener has heard one.
    QByteArray heard;
    int step = 0;
    ASSERT_TRUE(WaitFor([&] {
        if ((heard += listener.readAllStandardOutput()).contains("'change' on sink"))
            return true;
        server.Pactl({"set-sink-volume", "a", ++step % 2 ? "80%" : "81%"});
        return false;
    }));
    server.Pause();
    QTest::qWait(35000);
    server.Resume();
    listener.kill();
    listener.waitForFinished();

    ASSERT_TRUE(ServerKnown([](const SoundServerView& v) { return v.outputs.size() == 2; }));
    EXPECT_TRUE(NextPassIsHeard());
    EXPECT_EQ(Unheard(), 0) << UnheardLines().front();
    EXPECT_TRUE(notes.empty());
}

}  // namespace
