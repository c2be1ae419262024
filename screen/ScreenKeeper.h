#pragma once
// While Mervo is on duty with a movie on the schedule, the screen stays on:
// a movie behind a blank or locked screen is heard from outside but not
// seen.  A schedule of sounds lets the screen blank as it would.  What could
// not be held is said once on standard error and in the problem report at
// each guard start that wanted it.
#include <string>

#include "CTime.h"
#include "GuardAccess.h"
#include "GuardEvents.h"

namespace platform {
class ScreenInhibitor;
}

namespace screen {

class ScreenKeeper final : public GuardEvents {
public:
    ScreenKeeper(GuardAccess& guard, platform::ScreenInhibitor& inhibitor);

    void GuardStarted(CTime at, GuardStartOrigin origin) override;
    void GuardStopped(CTime at) override;
    void ScheduleChanged() override;
    void LibraryChanged() override;

    // For the inhibitor: it could not hold the screen on.
    void Refused(const std::string& why);

private:
    void Follow();

    GuardAccess& guard_;
    platform::ScreenInhibitor& inhibitor_;
};

}  // namespace screen
