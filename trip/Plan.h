#pragma once
// The plan: what the guard will do, worked out by the guard's own code.
//
// ComputePlan runs the engine's passes (PrepareGuardStart, RunGuardPass)
// against a simulated clock, a timer that only notes the delay it is armed
// with, and players that only move the simulated clock on by each file's
// length.  What the passes play is learnt from the engine's events.  Nothing
// here knows when a slot is due, how a random interval is drawn or how the
// quiet window moves a wake-up: those rules exist once, in the engine.
//
// The engine works on process-wide state; everything it touches is put
// aside for the computation and put back afterwards, so a plan may be worked
// out beside a live guard.  No events may be processed meanwhile (the plan
// is computed in one call on the guard's thread).
#include <string>
#include <vector>

#include "CString.h"
#include "CTime.h"
#include "GuardEvents.h"

namespace trip {

class MediaLengthSource;

struct PlanEvent {
    enum class Kind { Play, QuietHold };
    Kind kind = Kind::Play;
    CTime at;
    // Play: the slot's noise, the file its first play plays (a folder's
    // take), what it is and how many times in a row, and the part of a long
    // recording it plays ("from 1:12:40 for 30:00"; empty when whole).
    CString noiseName;
    CString path;
    std::string excerpt;
    PlayKind playKind = PlayKind::Sound;
    int repeatCount = 0;
    // An interval of 0 plays at every pass: shown once, at its first play.
    bool continuously = false;
    // QuietHold: the wake-up moved out of the quiet window.
    CTime until;
};

// From a snapshot of a guard that is on, the plan goes on from its state:
// the due times, the random source and the armed wake-up.  From one that is
// off, it is what a start at `now` would do: the guard-on sound, then the
// first pass, with the snapshot's slots, quiet window and random state.
// Events from `now` to `now + span`, in the order the engine reports them.
std::vector<PlanEvent> ComputePlan(const GuardSnapshot& from, CTime now, CTimeSpan span,
                                   MediaLengthSource& lengths);

}  // namespace trip
