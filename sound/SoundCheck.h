#pragma once
// At each guard start and each pass that plays a sound or a movie: can
// anybody hear it?  One problem line per pass when nobody can (and one when
// the chosen output is gone), an `unheard` note for the diary, and at a start
// by the person a message that does not wait.  The guard goes on regardless.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "CTime.h"
#include "GuardAccess.h"
#include "GuardEvents.h"
#include "SoundServerView.h"

namespace sound {

struct Audibility;
class OutputChoice;
class SoundServerWatcher;

// What the diary writes as an `unheard` line.
struct UnheardNote {
    CTime at;
    std::string reason;  // "the sound is muted", "the volume is at 2%", ...
    std::string output;  // the output's description; empty when there is none
};
using UnheardSink = std::function<void(const UnheardNote&)>;

class SoundCheck final : public QObject, public GuardEvents {
    Q_OBJECT
public:
    SoundCheck(SoundServerWatcher& watcher, const OutputChoice& choice, GuardAccess& guard);

    void SetUnheardSink(UnheardSink sink) { unheardSink_ = std::move(sink); }
    // Told after every check whether it found that nobody can hear Mervo.
    void SetFindingSink(std::function<void(bool unheard)> sink) { findingSink_ = std::move(sink); }

    void GuardStarted(CTime at, GuardStartOrigin origin) override;
    void GuardStopped(CTime at) override;
    void PassWillPlay(CTime at, bool soundOrMovie) override;

    // A play's own stream, as the player found it while it ran: a muted or
    // quiet Hauntwatch in the mixer is told as the output's faults are, once
    // a pass, while the guard is on.
    void StreamHeard(const StreamMemory& seen);

private:
    struct Check {
        CTime at;
        bool byPerson;
    };

    void Ask(Check check);
    void Run(const Check& check);
    void Report(const Check& check, const Audibility& audibility);
    void OnServerChanged();

    SoundServerWatcher& watcher_;
    const OutputChoice& choice_;
    GuardAccess& guard_;
    UnheardSink unheardSink_;
    std::function<void(bool)> findingSink_;
    // Checks of this guard waiting for the server's first answer; the start
    // itself never waits for it.
    std::vector<Check> waiting_;
    // Whether this pass (or start) has said that nobody can hear Mervo.
    bool unheardTold_ = false;
};

}  // namespace sound
