#pragma once
// The only ways the parts of the program beyond the guard (restart, diary,
// plan, sound check, remote control, screen, the rows' extras) act on it:
// the view's commands, a play of one noise, the problem log's append, the
// rows' extras as the person set them, and a look at the guard's state.
// Everything they learn comes to them as GuardEvents.  Beside the engine, so
// that none of them reaches up into the application to find it.
#include <string>

#include "GuardEvents.h"

class GuardAccess {
public:
    virtual ~GuardAccess() = default;
    // "Turn Me On", told where the start came from; nothing while on.
    virtual void TurnOn(GuardStartOrigin origin) = 0;
    // Stops the guard as a click on the mansion does; nothing while off.
    virtual void Stop() = 0;
    // Plays the library's noise of that name (the last entry of the name)
    // once, at once, as a schedule row plays it, whether the guard is on or
    // off and in the quiet hours too; told as a remote play.  False when the
    // library has no such noise.
    virtual bool PlayNoise(const std::string& name) = 0;
    // One more line in the problem report.
    virtual void AppendProblem(const std::string& line) = 0;
    virtual GuardSnapshot Snapshot() const = 0;
    // How many lines the problem report shows now.
    virtual int ProblemCount() const = 0;
    // The rows' hours, levels and excerpts and the place, as the person just
    // set them (and wrote them beside the settings file).
    virtual void SetScheduleExtras(const lifelike::ScheduleExtras& extras) = 0;
};
