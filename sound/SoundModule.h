#pragma once
// Everything the sound check and the choice of output need, made once by the
// composition root: the server watcher, the person's choice (which every
// libmpv play then asks for its output), the guard's check, and the
// "Play Through..." item.
#include <QObject>
#include <QPointer>

#include "OutputChoice.h"
#include "SoundCheck.h"
#include "SoundServerWatcher.h"

class QMenu;
class QWidget;

namespace sound {

class PlayThroughDialog;

class SoundModule final : public QObject {
    Q_OBJECT
public:
    explicit SoundModule(GuardAccess& guard, SoundServerWatcher::Timing timing = {});
    ~SoundModule() override;

    // The listener to add to the guard's events.
    GuardEvents& Listener() { return check_; }
    // Where `unheard` notes go (the diary); none by default.
    void SetUnheardSink(UnheardSink sink) { check_.SetUnheardSink(std::move(sink)); }
    // Whether the last check found that nobody can hear Mervo (the remote control shows it).
    void SetFindingSink(std::function<void(bool unheard)> sink) { check_.SetFindingSink(std::move(sink)); }

    // Adds "Play Through..." to `menu` of the main window.
    void AttachTo(QWidget& window, QMenu& menu);
    // Opens the dialog (or raises the one open).
    PlayThroughDialog* ShowPlayThrough(QWidget* parent);

    SoundServerWatcher& Watcher() { return watcher_; }
    OutputChoice& Choice() { return choice_; }

private:
    SoundServerWatcher watcher_;
    OutputChoice choice_;
    SoundCheck check_;
    QPointer<PlayThroughDialog> dialog_;
};

}  // namespace sound
