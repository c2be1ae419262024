#pragma once
// Keeps what the sound server says of its outputs (which is the default,
// each one's description, mute, volume and plugged state) current, through
// libpulse on the window thread's event loop (GLib's, under Qt).  It
// subscribes to the server's changes, asks again when the server comes back,
// and never waits for an answer: where no server answers, or an answer does
// not come in time, it knows nothing and tries again at growing intervals.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <string>

#include "SoundServerView.h"

struct pa_context;
struct pa_glib_mainloop;

namespace sound {

// How soon the watcher asks again where no server answered (doubling from
// the first to the longest wait), and how long it waits for an answer.
struct WatcherTiming {
    int firstRetryMs = 1000;
    int longestRetryMs = 60000;
    // A server that takes longer to answer (a connection, or every answer to
    // one round of questions) counts as none.
    int settleMs = 3000;
    // A nudge asks again only this long after the last attempt: a guard
    // passing every second without a server costs one attempt in ten seconds.
    int nudgeSpacingMs = 10000;
};

class SoundServerWatcher final : public QObject {
    Q_OBJECT
public:
    using Timing = WatcherTiming;

    explicit SoundServerWatcher(Timing timing = {}, QObject* parent = nullptr);
    ~SoundServerWatcher() override;

    const SoundServerView& View() const { return view_; }

    // Where no server answers: asks again soon, from the event loop, rather
    // than at the next retry (unless it asked a moment ago); the view is then
    // Settling until the answer.
    void Nudge();

    // What a play found of Hauntwatch's own stream: it counts until the
    // server's memory of the stream changes.  (PipeWire's memory of it is
    // not told to clients, only what they wrote.)
    void NoteOwnStream(const StreamMemory& seen);
    // Unmutes Hauntwatch's own entry at full volume, at once and for every
    // later play; false when no server answers.  The view follows.
    bool SetOwnStreamRight();

Q_SIGNALS:
    // The state or the outputs changed.
    void Changed();

private:
    void Connect();
    void Drop();
    void GiveUp();
    void Refresh();
    void Commit();
    void SetState(SoundServerView::State state);

    void Answered();
    // A question the server did not answer (it failed, or libpulse gave up
    // waiting): what was known may be stale, so nothing is claimed until
    // a new connection answers.
    void Unanswered();

    friend struct WatcherCallbacks;

    Timing timing_;
    // False where Qt's event loop is not GLib's: then nothing is ever asked.
    bool glib_ = false;
    pa_glib_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    SoundServerView view_;
    // Answers of the refresh under way, committed together.
    SoundServerView incoming_;
    // The server's own word on the entry, as last committed, and the output
    // the entry sends Hauntwatch to (kept when it is set right).
    std::optional<StreamMemory> serverOwnStream_;
    // What the last play found, until the server's entry changes.
    std::optional<StreamMemory> seenOwnStream_;
    std::string ownStreamDevice_;
    std::string incomingOwnStreamDevice_;
    int answersAwaited_ = 0;
    bool refreshAgain_ = false;
    int retryMs_;
    QTimer retry_;
    QTimer settle_;
    QElapsedTimer sinceAttempt_;
};

}  // namespace sound
