#pragma once
#include "CString.h"
#include "GuardEvents.h"

// Plays one noise repeatCount times in a row and returns when all plays are
// done: sounds ("wav"), movies ("avi") and anything else, which is started;
// a folder plays one of its takes each time.  `row` is the schedule row it
// plays for, whose level and excerpt shape each play; -1 plays it as
// recorded.  Every failed attempt appends one line to the ProblemLog.
void PlayNoise(const CString& path, int repeatCount, int row = -1, const CString& noiseName = CString());

// While one lives, PlayNoise's plays are the guard's and each is told to the
// listener, with the origin given; Preview's plays are not guard activity.
class GuardPlays {
public:
    explicit GuardPlays(PlayOrigin origin = PlayOrigin::Guard);
    ~GuardPlays();
    GuardPlays(const GuardPlays&) = delete;
    GuardPlays& operator=(const GuardPlays&) = delete;

private:
    PlayOrigin outer_;
};
