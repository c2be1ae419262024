#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <vector>

#include "Clock.h"
#include "WallClockTimerService.h"

namespace {

using platform::WallClockTimerService;

struct Tick {
    UINT_PTR id;
    std::int64_t at;
};

class RecordingWindow : public platform::TimerWindow {
public:
    void OnTimer(UINT_PTR id) override
    {
        ticks.push_back({id, WallClockTimerService::NowNanoseconds()});
        if (onTick)
            onTick(id);
    }
    std::vector<Tick> ticks;
    std::function<void(UINT_PTR)> onTick;
};

// Runs the event loop until `done` or a generous bound; the bound is no assertion.
void RunUntil(const std::function<bool()>& done, int boundMs = 5000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < boundMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

void RunFor(int ms)
{
    RunUntil([] { return false; }, ms);
}

constexpr std::int64_t kMs = 1000000;

TEST(WallClockTimerServiceTest, TicksNeverComeBeforeTheirDeadlineAndRepeat)
{
    WallClockTimerService timers;
    RecordingWindow window;
    const std::int64_t armedAt = WallClockTimerService::NowNanoseconds();
    timers.Set(&window, 1, 30);
    RunUntil([&] { return window.ticks.size() >= 4; });
    ASSERT_GE(window.ticks.size(), 4u);
    for (size_t i = 0; i < window.ticks.size(); ++i)
        EXPECT_GE(window.ticks[i].at, armedAt + static_cast<std::int64_t>(i + 1) * 30 * kMs) << i;
}

TEST(WallClockTimerServiceTest, ReArmingReplacesTheDelayAndKillStopsTicks)
{
    WallClockTimerService timers;
    RecordingWindow window;
    timers.Set(&window, 1, 40);
    const std::int64_t rearmedAt = WallClockTimerService::NowNanoseconds();
    timers.Set(&window, 1, 300);
    RunUntil([&] { return !window.ticks.empty(); });
    ASSERT_EQ(window.ticks.size(), 1u);
    EXPECT_GE(window.ticks[0].at, rearmedAt + 300 * kMs) << "the 40 ms arming never fired";
    timers.Kill(&window, 1);
    RunFor(400);
    EXPECT_EQ(window.ticks.size(), 1u);
}

TEST(WallClockTimerServiceTest, ZeroDelayTicksFromTheLoopNotFromSet)
{
    WallClockTimerService timers;
    RecordingWindow window;
    window.onTick = [&](UINT_PTR) { timers.Kill(&window, 1); };
    timers.Set(&window, 1, 0);
    EXPECT_TRUE(window.ticks.empty());
    RunUntil([&] { return !window.ticks.empty(); });
    EXPECT_EQ(window.ticks.size(), 1u);
}

TEST(WallClockTimerServiceTest, TheTickMayReArmOrKillItsOwnTimer)
{
    WallClockTimerService timers;
    RecordingWindow window;
    window.onTick = [&](UINT_PTR) {
        if (window.ticks.size() < 3)
            timers.Set(&window, 1, 10);
        else
            timers.Kill(&window, 1);
    };
    timers.Set(&window, 1, 10);
    RunUntil([&] { return window.ticks.size() >= 3; });
    RunFor(100);
    EXPECT_EQ(window.ticks.size(), 3u);
}

TEST(WallClockTimerServiceTest, IdsAndWindowsAreIndependent)
{
    WallClockTimerService timers;
    RecordingWindow first, second;
    timers.Set(&first, 1, 20);
    timers.Set(&first, 2, 20);
    timers.Set(&second, 1, 20);
    timers.Kill(&first, 1);
    RunUntil([&] { return !first.ticks.empty() && !second.ticks.empty(); });
    timers.Kill(&first, 2);
    timers.Kill(&second, 1);
    ASSERT_FALSE(first.ticks.empty());
    for (const Tick& tick : first.ticks)
        EXPECT_EQ(tick.id, 2u);
    EXPECT_FALSE(second.ticks.empty());
}

TEST(WallClockTimerServiceTest, TicksArriveInsideANestedEventLoop)
{
    WallClockTimerService timers;
    RecordingWindow window;
    QEventLoop modal;
    window.onTick = [&](UINT_PTR) { modal.quit(); };
    timers.Set(&window, 1, 20);
    QTimer::singleShot(5000, &modal, &QEventLoop::quit);
    modal.exec();
    EXPECT_EQ(window.ticks.size(), 1u);
    timers.Kill(&window, 1);
}

TEST(WallClockTimerServiceTest, AnEarlyWakeUpIsNotDeliveredButReArmed)
{
    // As after the wall clock was set back: the kernel wakes the arming, but
    // the requested moment has not come yet.
    WallClockTimerService timers;
    RecordingWindow window;
    const std::int64_t armedAt = WallClockTimerService::NowNanoseconds();
    timers.Set(&window, 1, 200);
    timers.OnWake(&window, 1);
    EXPECT_TRUE(window.ticks.empty());
    RunUntil([&] { return !window.ticks.empty(); });
    ASSERT_EQ(window.ticks.size(), 1u);
    EXPECT_GE(window.ticks[0].at, armedAt + 200 * kMs);
    timers.Kill(&window, 1);
    timers.OnWake(&window, 1);
    EXPECT_EQ(window.ticks.size(), 1u) << "a killed timer stays quiet";
}

}  // namespace

namespace {

// The guard's pass reads "now" in whole seconds from the installed clock and
// arms the timer for a due time counted from it; at the tick it reads again
// and finds the slot due only if that second has come.  Both readings must
// be the timer's own clock: one that lags it (the coarse clock, up to a
// kernel tick behind, so in the first milliseconds of a second it still says
// the second before) lets a tick delivered on time find its slot not yet due.
TEST(WallClockTimerServiceTest, ThePassReadsTheSecondTheTimerKeepsAtTheArmingAndAtTheTick)
{
    WallClockTimerService timers;
    platform::Clock& clock = platform::InstalledClock();
    const auto timerSecond = [] { return WallClockTimerService::NowNanoseconds() / 1000000000; };
    int armings = 0;
    int misses = 0;
    for (int trial = 0; trial < 10; ++trial) {
        // A fraction of a millisecond after a whole second.
        while (WallClockTimerService::NowNanoseconds() % 1000000000 >= 300000) {
        }
        const std::int64_t before = timerSecond();
        const std::int64_t passSecond = clock.NowSeconds();
        RecordingWindow window;
        std::int64_t tickSecond = -1;
        std::int64_t tickTimerSecond = -1;
        window.onTick = [&](UINT_PTR) {
            tickTimerSecond = timerSecond();
            tickSecond = clock.NowSeconds();
        };
        ASSERT_TRUE(timers.Set(&window, 1, 1000));
        ++armings;
        RunUntil([&] { return tickSecond >= 0; });
        timers.Kill(&window, 1);
        ASSERT_GE(tickSecond, 0) << "no tick";
        if (passSecond < before || tickSecond < tickTimerSecond || tickSecond < passSecond + 1)
            ++misses;
    }
    EXPECT_EQ(armings, 10);
    EXPECT_EQ(misses, 0) << "armings whose pass or tick read a second the timer had left";
}

}  // namespace
