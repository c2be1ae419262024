// What the guard tells its listener, as a diary or a remote control would
// hear it, and the snapshot those who may only look are given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CTime.h"
#include "EngineState.h"
#include "FakeClock.h"
#include "FakeMovieCommands.h"
#include "FakeProgramStarter.h"
#include "FakeSound.h"
#include "FakeTimer.h"
#include "GuardEvents.h"
#include "NoisePlayer.h"
#include "TimeZoneGuard.h"

namespace {

class Window : public platform::TimerWindow {
public:
    void OnTimer(UINT_PTR) override { RunGuardPass(*this); }
};

// Writes each event as one line, the way a diary would.
class Recorder final : public GuardEvents {
public:
    Recorder() { InstallGuardEvents(this); }
    ~Recorder() override { InstallGuardEvents(nullptr); }
    void GuardStarted(CTime at, GuardStartOrigin origin) override
    {
        const char* how[] = {"person", "resumed", "remote"};
        lines.push_back(T(at) + " on " + how[static_cast<int>(origin)]);
    }
    void GuardStopped(CTime at) override { lines.push_back(T(at) + " off"); }
    void PassWillPlay(CTime at, bool soundOrMovie) override
    {
        lines.push_back(T(at) + (soundOrMovie ? " will play" : " will start"));
    }
    void Played(const PlayReport& r) override
    {
        const char* outcome[] = {"played", "started", "failed"};
        lines.push_back(T(r.at) + " " + outcome[static_cast<int>(r.outcome)] + " " + r.path.str() + " " +
                        std::to_string(static_cast<int>(r.failure)));
    }
    void QuietHold(CTime until, CTime at) override { lines.push_back(T(at) + " quiet until " + T(until)); }
    void WakeUpArmed(CTime wake) override { lines.push_back("wake " + T(wake)); }
    void TimerFailed(CTime at) override { lines.push_back(T(at) + " timer failed"); }

    static std::string T(CTime t) { return t.Format("%d %H:%M").str(); }
    std::vector<std::string> lines;
};

class GuardEventsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (NoiseSlot& slot : GuardSettings.slots)
            slot = NoiseSlot{kNothing, kNone, 0, kModeExact, 1, CTime()};
    }
    void Start(GuardStartOrigin origin = GuardStartOrigin::Person)
    {
        SetNextGuardStartOrigin(origin);
        guardOn = 1;
        PrepareGuardStart();
        RunGuardPass(window);
    }
    void Tick()
    {
        clock.Advance(timer.Delay(&window) / 1000);
        timer.Fire(&window);
    }

    TimeZoneGuard zone{"UTC0"};
    platform::FakeClock clock{CTime(2026, 12, 6, 21, 50, 0).GetTime()};
    platform::FakeTimer timer;
    platform::FakeSound sound;
    platform::FakeMovieCommands movies;
    platform::FakeProgramStarter starter;
    Window window;
    Recorder heard;
};

TEST_F(GuardEventsTest, EachPlayAndStartIsToldWithItsOutcomeAndReasonAndEveryHoldAndWakeUp)
{
    GuardSettings.quietWindow = {22, 6};
    GuardSettings.slots[0] = NoiseSlot{"dog", "/n/dog.wav", 10, kModeExact, 2, CTime()};
    GuardSettings.slots[1] = NoiseSlot{"tv", "/n/tv.avi", 10, kModeExact, 1, CTime()};
    GuardSettings.slots[3] = NoiseSlot{"radio", "/n/radio.txt", 10, kModeExact, 1, CTime()};
    sound.decide = [](const std::string&) { return false; };
    sound.failure = platform::PlayFailure::NoSoundOutput;
    movies.playResult = platform::kMovieNoDisplay;
    starter.result = 31;
    clock.Set(CTime(2026, 12, 6, 21, 40, 0).GetTime());
    Start(GuardStartOrigin::Resumed);
    Tick();  // 21:50; the next, 22:00, is quiet: the wake-up moves to 06:00
    const std::string noOutput = std::to_string(static_cast<int>(platform::PlayFailure::NoSoundOutput));
    const std::string noDisplay = std::to_string(static_cast<int>(platform::PlayFailure::NoDisplay));
    const std::string starterFailed = std::to_string(static_cast<int>(platform::PlayFailure::StarterFailed));
    EXPECT_EQ(heard.lines, (std::vector<std::string>{
                               "06 21:40 on resumed",
                               "wake 06 21:50",
                               "06 21:50 will play",
                               "06 21:50 failed /n/dog.wav " + noOutput,
                               "06 21:50 failed /n/dog.wav " + noOutput,  // one per repeat
                               "06 21:50 failed /n/tv.avi " + noDisplay,
                               "06 21:50 failed /n/radio.txt " + starterFailed,
                               "06 21:50 quiet until 07 06:00",
                               "wake 07 06:00",
                           }));
    EXPECT_EQ(ProblemLog.problemCount, 5) << "four failures and the quiet line, in the report's own words";
}

TEST_F(GuardEventsTest, SuccessesAndAHoldInsideADayAreToldTooButPreviewIsNot)
{
    GuardSettings.quietWindow = {9, 17};
    clock.Set(CTime(2026, 12, 6, 8, 55, 0).GetTime());
    GuardSettings.slots[2] = NoiseSlot{"door", "/n/door.txt", 10, kModeExact, 1, CTime()};
    GuardSettings.slots[4] = NoiseSlot{"dog", "/n/dog.wav", 5, kModeExact, 1, CTime()};
    Start();
    EXPECT_EQ(heard.lines, (std::vector<std::string>{"06 08:55 on person", "06 08:55 quiet until 06 17:00",
                                                     "wake 06 17:00"}))
        << "a hold inside one day writes no problem line, but is told";
    EXPECT_EQ(ProblemLog.problemCount, 0);
    Tick();
    EXPECT_EQ(heard.lines[3], "06 17:00 will play");
    EXPECT_EQ(heard.lines[4], "06 17:00 started /n/door.txt 0");
    EXPECT_EQ(heard.lines[5], "06 17:00 played /n/dog.wav 0");

    heard.lines.clear();
    PlayNoise("/n/preview.wav", 1);  // as the schedule dialog's Preview does
    EXPECT_TRUE(heard.lines.empty());
    ReportGuardStopped();
    EXPECT_EQ(heard.lines, std::vector<std::string>{"06 17:00 off"});
}

TEST_F(GuardEventsTest, ATimerTheSystemRefusesIsAFailureThePersonCanSee)
{
    GuardSettings.slots[0] = NoiseSlot{"dog", "/n/dog.wav", 10, kModeExact, 1, CTime()};
    timer.refuse = true;
    guardOn = 1;
    PrepareGuardStart();
    EXPECT_FALSE(RunGuardPass(window));
    EXPECT_EQ(heard.lines.back(), "06 21:50 timer failed");
    ASSERT_EQ(ProblemLog.problemCount, 1);
    EXPECT_EQ(ProblemLog.problemLines[0].str(),
              "At 21:50 couldn't set the guard's timer: nothing plays until the guard is started again");
    EXPECT_FALSE(ArmedWakeUp().has_value());
}

// A copy of the snapshot's slots and random state, run on, gives the very due
// times the live guard then gives: what a plan relies on.
TEST_F(GuardEventsTest, TheSnapshotHoldsWhatTheGuardWillDoNext)
{
    GuardSettings.slots[0] = NoiseSlot{"dog", "/n/dog.wav", 60, kModeRandom, 1, CTime()};
    GuardSettings.slots[1] = NoiseSlot{"cat", "/n/cat.wav", 45, kModeRandom, 1, CTime()};
    EXPECT_FALSE(TakeGuardSnapshot().on);
    Start();
    const GuardSnapshot snapshot = TakeGuardSnapshot();
    EXPECT_TRUE(snapshot.on);
    ASSERT_TRUE(snapshot.armedWakeUp.has_value());
    EXPECT_EQ(*snapshot.armedWakeUp, std::min(snapshot.slots[0].nextDue, snapshot.slots[1].nextDue));

    // Draws the live guard makes next, then the same from the snapshot's state.
    std::vector<int> live, copied;
    for (int i = 0; i < 5; ++i)
        live.push_back(win::rand());
    win::SetRandomState(snapshot.randomState);
    for (int i = 0; i < 5; ++i)
        copied.push_back(win::rand());
    EXPECT_EQ(live, copied);

    StopGuard(window);
    EXPECT_FALSE(TakeGuardSnapshot().armedWakeUp.has_value());
}

}  // namespace
