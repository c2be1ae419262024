#include "ScreenKeeper.h"

#include <cstdio>
#include <utility>

#include "GuardScheduler.h"
#include "ScreenInhibitor.h"

namespace screen {

ScreenKeeper::ScreenKeeper(GuardAccess& guard, platform::ScreenInhibitor& inhibitor)
    : guard_(guard), inhibitor_(inhibitor)
{
}

void ScreenKeeper::GuardStarted(CTime /*at*/, GuardStartOrigin /*origin*/)
{
    Follow();
}

void ScreenKeeper::GuardStopped(CTime /*at*/)
{
    inhibitor_.Release();
}

void ScreenKeeper::ScheduleChanged()
{
    Follow();
}

void ScreenKeeper::LibraryChanged()
{
    Follow();
}

void ScreenKeeper::Follow()
{
    const GuardSnapshot guard = guard_.Snapshot();
    if (guard.on && ScheduleShowsMovies(guard.slots))
        inhibitor_.Hold();
    else
        inhibitor_.Release();
}

// The answer comes after the start, so the report's line is the start's
// last; a guard gone off meanwhile has nothing left to tell.
void ScreenKeeper::Refused(const std::string& why)
{
    static bool said = false;
    if (!std::exchange(said, true))
        std::fprintf(stderr, "hauntwatch: cannot keep the screen on while movies are on the schedule (%s)\n",
                     why.c_str());
    if (!guard_.Snapshot().on)
        return;
    guard_.AppendProblem(CTime::GetCurrentTime().Format("At %H:%M").str() +
                         " the screen may blank or lock, so movies are heard but not seen: " + why);
}

}  // namespace screen
