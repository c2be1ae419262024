// Lateness of a tick against the wall-clock moment it was asked for, for the
// guard's timer and for a plain QTimer with Qt's default (coarse) type, over
// the same 20 delays in the same run.  Negative lateness is an early tick.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "WallClockTimerService.h"

namespace {

using platform::WallClockTimerService;

struct OneShot : platform::TimerWindow {
    std::function<void()> fired;
    void OnTimer(UINT_PTR) override { fired(); }
};

double Measure(const std::function<void(int delayMs, std::function<void()> done)>& arm, int delayMs)
{
    QEventLoop loop;
    std::int64_t firedAt = 0;
    const std::int64_t asked = WallClockTimerService::NowNanoseconds() + std::int64_t{delayMs} * 1000000;
    arm(delayMs, [&] {
        firedAt = WallClockTimerService::NowNanoseconds();
        loop.quit();
    });
    loop.exec();
    return static_cast<double>(firedAt - asked) / 1e6;
}

void Report(const char* name, std::vector<double> lateness)
{
    std::sort(lateness.begin(), lateness.end());
    const long early = std::count_if(lateness.begin(), lateness.end(), [](double ms) { return ms < 0; });
    std::printf("  %-28s min %8.3f ms   median %8.3f ms   max %8.3f ms   early %ld of %zu\n", name,
                lateness.front(), lateness[lateness.size() / 2], lateness.back(), early, lateness.size());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    WallClockTimerService service;
    OneShot window;
    std::vector<double> guardTimer, qtTimer;
    for (int i = 0; i < 20; ++i) {
        const int delay = 50 + i * 23;
        guardTimer.push_back(Measure(
            [&](int ms, std::function<void()> done) {
                window.fired = [&, done] { service.Kill(&window, 1); done(); };
                service.Set(&window, 1, static_cast<UINT>(ms));
            },
            delay));
        // A QTimer object keeps Qt's default type; QTimer::singleShot would pick a precise one.
        QTimer plain;
        plain.setSingleShot(true);
        qtTimer.push_back(Measure(
            [&](int ms, std::function<void()> done) {
                QObject::connect(&plain, &QTimer::timeout, done);
                plain.start(ms);
            },
            delay));
    }
    std::printf("timer lateness against the requested wall-clock moment, 20 delays of 50..487 ms\n");
    Report("guard timer (timerfd)", guardTimer);
    Report("QTimer, default coarse type", qtTimer);
    return 0;
}
