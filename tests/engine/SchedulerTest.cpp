#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CTime.h"
#include "EngineState.h"
#include "FakeClock.h"
#include "FakeProgramStarter.h"
#include "FakeSound.h"
#include "FakeTimer.h"
#include "TimeZoneGuard.h"

namespace {

// Stands for the view: the window that owns the guard timer.
class GuardWindow : public platform::TimerWindow {
public:
    void OnTimer(UINT_PTR) override { RunGuardPass(*this); }
};

class SchedulerTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (NoiseSlot& slot : GuardSettings.slots) {
            slot.noiseName = kNothing;
            slot.filePath = kNone;
        }
    }

    void SetSlot(int s, const char* path, int interval, int mode, int repeats = 1)
    {
        GuardSettings.slots[s] = NoiseSlot{"noise", path, interval, mode, repeats, CTime()};
    }

    void At(int year, int month, int day, int hour, int minute, int second = 0)
    {
        clock.Set(CTime(year, month, day, hour, minute, second).GetTime());
    }

    void StartGuard()
    {
        guardOn = 1;
        PrepareGuardStart();
        RunGuardPass(window);
    }

    // Moves the clock to the armed wake-up and delivers the tick.
    void Tick()
    {
        clock.Advance(timer.Delay(&window) / 1000);
        timer.Fire(&window);
    }

    CString Local(CTime t) const { return t.Format("%m/%d %H:%M:%S"); }
    UINT DelaySeconds() const { return timer.Delay(const_cast<GuardWindow*>(&window)) / 1000; }

    TimeZoneGuard zone{"America/New_York"};
    platform::FakeClock clock;
    platform::FakeSound sound;
    platform::FakeProgramStarter starter;
    platform::FakeTimer timer;
    GuardWindow window;
};

TEST_F(SchedulerTest, GuardStartPlaysNothingAndSchedulesFromTheStart)
{
    ProblemLog.Append("old line");
    At(2026, 12, 6, 10, 0);
    SetSlot(2, "/n/a.wav", 15, kModeExact);
    StartGuard();
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(ProblemLog.problemCount, 0);
    EXPECT_EQ(Local(GuardSettings.slots[2].nextDue).str(), "12/06 10:15:00");
    EXPECT_EQ(timer.Delay(&window), 15u * 60 * 1000);
    Tick();
    EXPECT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(Local(GuardSettings.slots[2].nextDue).str(), "12/06 10:30:00");
    EXPECT_EQ(clock.Reads(), 5) << "one time read for the start, one per pass and one per play, and one for "
                                   "the wake-up after a pass that played";
}

TEST_F(SchedulerTest, SlotsThatKeptTheirDueTimeDoNotPullTheWakeUp)
{
    At(2026, 12, 6, 10, 0);
    SetSlot(0, "/n/a.wav", 10, kModeExact);
    SetSlot(1, "/n/b.wav", 15, kModeExact);
    StartGuard();
    EXPECT_EQ(DelaySeconds(), 600u);
    Tick();  // 10:10, A plays
    EXPECT_EQ(sound.played, (std::vector<std::string>{"/n/a.wav"}));
    EXPECT_EQ(DelaySeconds(), 600u) << "B's 10:15 does not shorten the wait";
    Tick();  // 10:20, A and B
    EXPECT_EQ(sound.played, (std::vector<std::string>{"/n/a.wav", "/n/a.wav", "/n/b.wav"}));
    EXPECT_EQ(Local(GuardSettings.slots[1].nextDue).str(), "12/06 10:35:00");
}

TEST_F(SchedulerTest, DueSlotsPlayInSlotOrderWithAllRepeatsAndShareOnePassTime)
{
    At(2026, 12, 6, 10, 0);
    SetSlot(3, "/n/late.wav", 5, kModeExact, 1);
    SetSlot(1, "/n/early.wav", 5, kModeExact, 3);
    sound.onPlay = [this](const std::string&) { clock.Advance(100); };
    StartGuard();
    Tick();
    EXPECT_EQ(sound.played,
              (std::vector<std::string>{"/n/early.wav", "/n/early.wav", "/n/early.wav", "/n/late.wav"}));
    EXPECT_EQ(GuardSettings.slots[1].nextDue, GuardSettings.slots[3].nextDue);
    EXPECT_EQ(Local(GuardSettings.slots[1].nextDue).str(), "12/06 10:10:00");
}

TEST_F(SchedulerTest, NothingRowsAreSkippedEvenWithAPathAndNoneIsPlayed)
{
    At(2026, 12, 6, 10, 0);
    GuardSettings.slots[0] = NoiseSlot{kNothing, "/n/a.wav", 1, kModeExact, 1, CTime()};
    GuardSettings.slots[1] = NoiseSlot{"ghost", kNone, 1, kModeExact, 1, CTime()};
    StartGuard();
    EXPECT_EQ(GuardSettings.slots[0].nextDue, unscheduledMark);
    Tick();
    EXPECT_EQ(starter.started, (std::vector<std::string>{"None"}));
    EXPECT_TRUE(sound.played.empty());
}

TEST_F(SchedulerTest, AllNothingArmsForADay)
{
    At(2026, 12, 6, 10, 0);
    StartGuard();
    EXPECT_EQ(timer.Delay(&window), 86400000u);
}

TEST_F(SchedulerTest, RowsNeverStoredByTheDialogAreInactiveLikeNothing)
{
    At(2026, 12, 6, 10, 0);
    GuardSettings = GuardSettingsRecord{};  // a fresh install: empty names, interval 0
    StartGuard();
    EXPECT_EQ(timer.Delay(&window), 86400000u) << "no spinning 0 ms timer";
    EXPECT_EQ(GuardSettings.slots[0].nextDue, unscheduledMark);
}

// An interval of 0 plays at every tick, but the ticks come a second apart at
// the soonest, so a noise that fails at once cannot keep a core busy.
TEST_F(SchedulerTest, ZeroIntervalPlaysAtEveryTickASecondApartAndNegativeNeverWraps)
{
    At(2026, 12, 6, 10, 0);
    SetSlot(0, "/n/a.wav", 0, kModeExact);
    StartGuard();
    EXPECT_EQ(timer.Delay(&window), kShortestPassDelayMs);
    Tick();
    Tick();
    EXPECT_EQ(sound.played.size(), 2u);
    EXPECT_EQ(timer.Delay(&window), kShortestPassDelayMs);

    SetSlot(0, "/n/a.wav", -30, kModeExact);
    StartGuard();
    EXPECT_EQ(timer.Delay(&window), kShortestPassDelayMs);
}

TEST_F(SchedulerTest, RandomDueTimesStayWithinTheirBounds)
{
    struct Bound { int interval, least, most; };
    const Bound bounds[] = {{1, 1, 1}, {2, 2, 3}, {3, 2, 4}, {10, 6, 15}, {30, 16, 45}, {60, 31, 90}, {120, 61, 180}};
    At(2026, 6, 1, 10, 0);
    for (const Bound& b : bounds) {
        SetSlot(0, "/n/a.wav", b.interval, kModeRandom);
        int least = 1 << 30, most = -1;
        for (int i = 0; i < 3000; ++i) {
            StartGuard();
            const auto minutes = (GuardSettings.slots[0].nextDue - CTime::GetCurrentTime()).GetTotalSeconds() / 60;
            least = std::min<int>(least, minutes);
            most = std::max<int>(most, minutes);
        }
        EXPECT_GE(least, b.least) << b.interval;
        EXPECT_LE(most, b.most) << b.interval;
        if (b.interval >= 10) {
            EXPECT_LE(least, b.least + 1) << b.interval;
            EXPECT_GE(most, b.most - 1) << b.interval;
        }
    }
}

TEST_F(SchedulerTest, TheOffsetFormulaTruncatesTowardZero)
{
    At(2026, 6, 1, 10, 0);
    SetSlot(0, "/n/a.wav", 3, kModeRandom);
    win::srand(1);
    const int r = win::rand();  // 41: (41-16383)/32767*3 = -1.496 -> -1
    ASSERT_EQ(r, 41);
    win::srand(1);
    StartGuard();
    EXPECT_EQ((GuardSettings.slots[0].nextDue - CTime::GetCurrentTime()).GetTotalSeconds(), 2 * 60);
}

struct QuietCase {
    int from, to;
    int hour, minute;
    const char* expectedWake;  // "" when unchanged
    bool logged;
};

class QuietWindowTest : public SchedulerTest, public ::testing::WithParamInterface<QuietCase> {};

TEST_P(QuietWindowTest, TheWakeUpMovesOutOfTheWindow)
{
    const QuietCase& c = GetParam();
    GuardSettings.quietWindow = {c.from, c.to};
    // A pass at 12/06 00:00 whose one exact slot is due at the wanted hour.
    At(2026, 12, 6, 0, 0);
    const CTime now = CTime::GetCurrentTime();
    const CTime wanted(2026, 12, 6, c.hour, c.minute, 0);
    SetSlot(0, "/n/a.wav", static_cast<int>((wanted - now).GetTotalSeconds() / 60), kModeExact);
    StartGuard();
    const CTime wake = now + CTimeSpan(DelaySeconds());
    EXPECT_EQ(wake.Format("%m/%d/%Y %H:%M").str(), *c.expectedWake ? c.expectedWake : wanted.Format("%m/%d/%Y %H:%M").str());
    EXPECT_EQ(ProblemLog.problemCount, c.logged ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Windows, QuietWindowTest, ::testing::Values(
    QuietCase{9, 17, 9, 0, "12/06/2026 17:00", false},
    QuietCase{9, 17, 16, 59, "12/06/2026 17:00", false},
    QuietCase{9, 17, 17, 0, "", false},
    QuietCase{9, 17, 8, 59, "", false},
    QuietCase{5, 5, 5, 30, "", false},
    QuietCase{22, 6, 23, 30, "12/07/2026 06:00", true},
    QuietCase{22, 6, 22, 0, "12/07/2026 06:00", true},
    QuietCase{22, 6, 2, 10, "12/06/2026 06:00", true},
    QuietCase{22, 6, 21, 59, "", false},
    QuietCase{22, 6, 6, 0, "", false},
    QuietCase{22, 24, 23, 10, "12/07/2026 00:00", false},
    QuietCase{24, 6, 23, 10, "", false},
    QuietCase{24, 6, 3, 0, "12/06/2026 06:00", true}));

TEST_F(SchedulerTest, TheQuietLineNamesTheNewWakeUpAndThePass)
{
    GuardSettings.quietWindow = {22, 6};
    At(2026, 12, 6, 23, 30);
    SetSlot(0, "/n/a.wav", 10, kModeExact);
    StartGuard();
    ASSERT_EQ(ProblemLog.problemCount, 1);
    EXPECT_EQ(ProblemLog.problemLines[0].str(), "\r\nQuiet until 12/07/2026 06:00 from   12/06/2026 23:30");
    EXPECT_EQ(GuardSettings.slots[0].nextDue.Format("%H:%M").str(), "23:40") << "slots are not moved";
}

// The lid closed at 22:00 and opened at 03:00, inside quiet hours 23 to 07:
// the wake-up comes late, to rows long overdue, and none of them plays
// until the window ends; then each plays once.
TEST_F(SchedulerTest, AWakeInsideTheQuietWindowAfterASuspendPlaysNothingUntilItEnds)
{
    GuardSettings.quietWindow = {23, 7};
    At(2026, 12, 6, 21, 0);
    SetSlot(0, "/n/a.wav", 30, kModeExact);
    SetSlot(1, "/n/b.wav", 60, kModeExact);
    StartGuard();
    Tick();  // 21:30, A
    At(2026, 12, 7, 3, 0);
    timer.Fire(&window);
    EXPECT_EQ(sound.played.size(), 1u) << "something played at 03:00";
    ASSERT_EQ(ProblemLog.problemCount, 1);
    EXPECT_EQ(ProblemLog.problemLines[0].str(), "\r\nQuiet until 12/07/2026 07:00 from   12/07/2026 03:00");
    Tick();
    EXPECT_EQ(sound.played, (std::vector<std::string>{"/n/a.wav", "/n/a.wav", "/n/b.wav"}));
    EXPECT_EQ(Local(GuardSettings.slots[1].nextDue).str(), "12/07 08:00:00");
}

TEST_F(SchedulerTest, AQuietNightRollsOverIntoTheNewYear)
{
    GuardSettings.quietWindow = {22, 6};
    At(2026, 12, 31, 23, 0);
    StartGuard();  // all NOTHING: wake-up 24 hours on, 01/01 23:00, inside the window
    const CTime wake = CTime::GetCurrentTime() + CTimeSpan(DelaySeconds());
    EXPECT_EQ(wake.Format("%m/%d/%Y %H:%M").str(), "01/02/2027 06:00");
    SetSlot(0, "/n/a.wav", 0, kModeExact);
    StartGuard();
    const CTime soon = CTime::GetCurrentTime() + CTimeSpan(DelaySeconds());
    EXPECT_EQ(soon.Format("%m/%d/%Y %H:%M").str(), "01/01/2027 06:00");
}

TEST_F(SchedulerTest, DaylightSavingChangesKeepWakeUpsOnTheLocalHour)
{
    GuardSettings.quietWindow = {1, 6};
    // 8 March 2026: New York's clocks jump from 02:00 to 03:00.
    At(2026, 3, 8, 0, 30);
    SetSlot(0, "/n/a.wav", 60, kModeExact);
    StartGuard();
    EXPECT_EQ(DelaySeconds(), 4u * 3600 + 1800) << "01:30 moves to 06:00, which is 4.5 real hours away";
    // 1 November 2026: 01:00-02:00 happens twice.
    At(2026, 11, 1, 0, 0);
    GuardSettings.quietWindow = {0, 0};
    SetSlot(0, "/n/a.wav", 180, kModeExact);
    StartGuard();
    EXPECT_EQ(Local(GuardSettings.slots[0].nextDue).str(), "11/01 02:00:00") << "180 real minutes";
}

TEST_F(SchedulerTest, StopGuardKillsOnlyTheTimer)
{
    At(2026, 12, 6, 10, 0);
    SetSlot(0, "/n/a.wav", 10, kModeExact);
    StartGuard();
    const CTime due = GuardSettings.slots[0].nextDue;
    StopGuard(window);
    EXPECT_FALSE(timer.IsArmed(&window));
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(GuardSettings.slots[0].nextDue, due);
}

}  // namespace
