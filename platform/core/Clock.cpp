#include "Clock.h"

#include <ctime>

namespace platform {
namespace {
SystemClock systemClock;
Clock* installedClock = &systemClock;
}

std::int64_t SystemClock::NowSeconds()
{
    return static_cast<std::int64_t>(std::time(nullptr));
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
