#pragma once
// What the guard does, told to one installed listener: the diary, the sound
// check and the remote control learn it here.  They act back on the guard
// only through the view's commands, the problem log and TakeGuardSnapshot.
// Without a listener nothing is told and nothing changes.
#include <optional>
#include <string>
#include <vector>

#include "CString.h"
#include "ExtrasFile.h"
#include "CTime.h"
#include "GuardSettings.h"
#include "PlayFailure.h"

// Who asked for a guard start: the person (a click, the menu, a key), a
// restart that found the guard on duty, the remote control, or the person's
// leaving time ("Away from ... until ...").  Whoever starts the guard other
// than by hand says so just before.
enum class GuardStartOrigin { Person, Resumed, Remote, Away };

enum class PlayKind { Sound, Movie, Program };
enum class PlayOutcome { Played, Started, Failed };
// A guard pass's play, or one a person asked for through the remote control.
enum class PlayOrigin { Guard, Remote };

// One play, or one program start, of a guard pass (one per repeat).
struct PlayReport {
    CTime at;  // when the player was called: the time its problem line shows
    CString path;  // the file played: a take, for a folder noise (the folder when it had none)
    PlayKind kind;
    PlayOutcome outcome;
    platform::PlayFailure failure;  // None unless it failed
    PlayOrigin origin = PlayOrigin::Guard;
    CString noiseName{};    // the library's name of the noise
    int row = -1;           // the schedule row (0 to 4); -1 for a press from elsewhere
    std::string excerpt{};  // "from 1:12:40 for 30:00"; empty for a whole play
    std::string reason{};   // a failure's own words, where it has them ("no takes in ...")
};

class GuardEvents {
public:
    virtual ~GuardEvents() = default;
    virtual void GuardStarted(CTime /*at*/, GuardStartOrigin /*origin*/) {}
    virtual void GuardStopped(CTime /*at*/) {}
    // A pass found slots due and is about to play them.
    virtual void PassWillPlay(CTime /*at*/, bool /*soundOrMovie*/) {}
    virtual void Played(const PlayReport& /*report*/) {}
    // The wake-up was moved out of the quiet window, to `until`; `at` is
    // when it was armed, after the pass's plays.
    virtual void QuietHold(CTime /*until*/, CTime /*at*/) {}
    // The pass armed the timer for this moment.
    virtual void WakeUpArmed(CTime /*wake*/) {}
    // The system would not set the guard's timer: nothing will play.
    virtual void TimerFailed(CTime /*at*/) {}
    // The noise library may hold other noises now (one added or deleted,
    // another settings file opened).
    virtual void LibraryChanged() {}
    // The schedule dialog closed: the rows may play other noises now.
    virtual void ScheduleChanged() {}
    // The row extras file was read with the settings file; what of it was
    // ignored, in the person's words (none when all was well).
    virtual void ExtrasRead(const std::vector<std::string>& /*problems*/) {}
};

// nullptr: nobody listens.
void InstallGuardEvents(GuardEvents* listener);
GuardEvents& InstalledGuardEvents();

// The origin the next guard start reports; it goes back to Person after it.
void SetNextGuardStartOrigin(GuardStartOrigin origin);
GuardStartOrigin TakeGuardStartOrigin();

// The guard as it stands, for those who may only look.
struct GuardSnapshot {
    bool on = false;
    NoiseSlot slots[kSlotCount];
    QuietWindow quietWindow;
    unsigned int randomState = 0;
    std::optional<CTime> armedWakeUp;  // none while the guard is off
    NoiseLibrary library;
    // The row extras file as read (or last set), where sun times are worked
    // out, and what of the file was ignored.
    lifelike::ScheduleExtras extras;
    std::optional<lifelike::Place> place;
    std::vector<std::string> extrasProblems;
};
GuardSnapshot TakeGuardSnapshot();
