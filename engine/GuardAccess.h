#pragma once
// The only ways the parts of the program beyond the guard (restart, diary,
// plan, sound check, remote control) act on it: the view's commands, a play
// of one noise, the problem log's append and a look at the guard's state.  Everything they
// learn comes to them as GuardEvents.
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

// Through the main window's command route, as a menu item or key would.
class ViewGuardAccess final : public GuardAccess {
public:
    void TurnOn(GuardStartOrigin origin) override;
    void Stop() override;
    bool PlayNoise(const std::string& name) override;
    void AppendProblem(const std::string& line) override;
    GuardSnapshot Snapshot() const override;
    int ProblemCount() const override;
    void SetScheduleExtras(const lifelike::ScheduleExtras& extras) override;
};
