#include "GuardEvents.h"

#include "GuardRealism.h"
#include "GuardScheduler.h"
#include "Random.h"

namespace {
GuardEvents nobody;
GuardEvents* listener = &nobody;
GuardStartOrigin nextOrigin = GuardStartOrigin::Person;
}  // namespace

void InstallGuardEvents(GuardEvents* events)
{
    listener = events ? events : &nobody;
}

GuardEvents& InstalledGuardEvents()
{
    return *listener;
}

void SetNextGuardStartOrigin(GuardStartOrigin origin)
{
    nextOrigin = origin;
}

GuardStartOrigin TakeGuardStartOrigin()
{
    const GuardStartOrigin origin = nextOrigin;
    nextOrigin = GuardStartOrigin::Person;
    return origin;
}

GuardSnapshot TakeGuardSnapshot()
{
    GuardSnapshot snapshot;
    snapshot.on = guardOn != 0;
    for (int s = 0; s < kSlotCount; ++s)
        snapshot.slots[s] = GuardSettings.slots[s];
    snapshot.quietWindow = GuardSettings.quietWindow;
    snapshot.randomState = win::RandomState();
    snapshot.armedWakeUp = ArmedWakeUp();
    snapshot.library = GuardSettings.library;
    snapshot.extras = GuardRealism.extras;
    snapshot.place = GuardRealism.place;
    snapshot.extrasProblems = GuardRealism.problems;
    return snapshot;
}
