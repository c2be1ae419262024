// "Mervo's Diary" on the fourteenth day of a trip: a diary of 20,000 lines
// (a play every minute or so, failures among them, a restart), opened (made,
// read, planned, shown and painted) and then refreshed, each beside the same
// with an empty diary, in one run.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Diary.h"
#include "DiaryFormat.h"
#include "DiaryWindow.h"
#include "GuardAccess.h"
#include "StandInGuard.h"
#include "TempFolder.h"

namespace {

struct Figures {
    double open;
    double refresh;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Figures Measure(StandInGuard& guard)
{
    std::vector<double> opens, refreshes;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer clock;
        clock.start();
        trip::DiaryWindow window(guard);
        window.Refresh();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            std::fprintf(stderr, "the diary window was never shown\n");
            std::exit(1);
        }
        opens.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        window.Refresh();
        QCoreApplication::processEvents();
        refreshes.push_back(clock.nsecsElapsed() / 1e6);
    }
    return {Median(opens), Median(refreshes)};
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TempFolder home;
    ::setenv("HAUNTWATCH_HOME", home.path().c_str(), 1);
    StandInGuard guard;
    for (NoiseSlot& slot : guard.snapshot.slots)
        slot = NoiseSlot{kNothing, kNone, 0, kModeExact, 1, CTime()};
    const Figures empty = Measure(guard);

    const CTime now = CTime::GetCurrentTime();
    CTime at = now + CTimeSpan(-14 * 86400);
    trip::Diary::Append(at, "guard on");
    for (int line = 1; line < 20000; ++line) {
        at = at + CTimeSpan(60);
        if (line == 12000)
            trip::Diary::Append(at, "guard resumed", {trip::IsoLocalTime(now + CTimeSpan(-14 * 86400))});
        else if (line % 7 == 0)
            trip::Diary::Append(at, "failed", {"/media/usb/old-clock.wav", "file missing"});
        else
            trip::Diary::Append(at, "played", {"/usr/share/hauntwatch/noises/dog-barking.wav"});
    }
    const Figures full = Measure(guard);
    std::printf("Mervo's Diary, median of 5 (ms):\n");
    std::printf("  %-44s %8.1f   reference, empty diary: %8.1f   ratio %.1f\n", "open: made, read, planned, shown, painted",
                full.open, empty.open, full.open / empty.open);
    std::printf("  %-44s %8.1f   reference, empty diary: %8.1f   ratio %.1f\n", "refresh", full.refresh, empty.refresh,
                full.refresh / empty.refresh);
    return 0;
}
