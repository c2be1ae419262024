#include "Clock.h"

#include <ctime>

namespace platform {
namespace {
SystemClock systemClock;
Clock* installedClock = &systemClock;
}

// The precise wall clock, the one the guard's timer keeps.  time() reads the
// coarse clock, up to a kernel tick behind: a tick delivered just after its
// due second could read the second before and find its slot not yet due.
std::int64_t SystemClock::NowSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec);
}

void InstallClock(Clock* clock)
{
    installedClock = clock ? clock : &systemClock;
}

Clock& InstalledClock()
{
    return *installedClock;
}

}  // namespace platform
