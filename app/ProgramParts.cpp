#include "ProgramParts.h"

#include <QMenu>

#include "CFrameWnd.h"
#include "CWinApp.h"
#include "Diary.h"
#include "DiaryWords.h"
#include "ViewGuardAccess.h"
#include "GuardEventsFanout.h"
#include "LifelikeModule.h"
#include "MenuResources.h"
#include "RemoteControl.h"
#include "ScreenInhibitor.h"
#include "ScreenKeeper.h"
#include "SoundModule.h"
#include "TripModule.h"

struct ProgramParts::Parts {
    explicit Parts(const ProgramOptions& options)
        : trip(access, options.resume),
          sound(access),
          remote(access),
          screenInhibitor([this](const std::string& why) { screen.Refused(why); }),
          screen(access, screenInhibitor),
          lifelike(access)
    {
    }

    GuardEventsFanout listeners;
    ViewGuardAccess access;
    trip::TripModule trip;
    sound::SoundModule sound;
    remote::RemoteControl remote;
    platform::SessionScreenInhibitor screenInhibitor;
    screen::ScreenKeeper screen;
    lifelike::LifelikeModule lifelike;
    bool resume = false;
    std::function<void()> whenUp;
    std::function<void(bool)> unattended;
};

ProgramParts::ProgramParts(const ProgramOptions& options, std::function<void()> whenUp)
    : parts_(std::make_unique<Parts>(options))
{
    Parts& p = *parts_;
    p.resume = options.resume;
    p.whenUp = std::move(whenUp);
    InstallGuardEvents(&p.listeners);
    p.listeners.Add(&p.trip.Events());
    p.listeners.Add(&p.sound.Listener());
    p.listeners.Add(&p.remote);
    p.listeners.Add(&p.screen);
    p.sound.SetUnheardSink([](const sound::UnheardNote& note) {
        trip::Diary::Append(note.at, trip::words::kUnheard, {note.reason, note.output});
    });
    p.remote.SetDiary([](const std::string& line) { trip::Diary::Append(trip::words::kRemote, {line}); });
    p.sound.SetFindingSink([&p](bool unheard) { p.remote.SetUnheard(unheard); });
    p.trip.SetAwayListener([&p](const std::optional<trip::AwaySpan>& span) {
        p.remote.SetAway(span ? std::optional(std::pair(span->from.GetTime(), span->until.GetTime())) : std::nullopt);
    });
}

ProgramParts::~ProgramParts()
{
    InstallGuardEvents(nullptr);
}

void ProgramParts::SetUnattendedUntilUp(std::function<void(bool)> unattended)
{
    parts_->unattended = std::move(unattended);
    if (parts_->unattended)
        parts_->unattended(parts_->resume);
}

void ProgramParts::WriteLastLines()
{
    parts_->remote.Leave();
}

void ProgramParts::JoinTo(CWinApp& app)
{
    Parts& p = *parts_;
    // "&Say Whut?" lists the trip's items, then Play Through, then Remote
    // Control; then the guard goes back on duty after a restart.  Only the
    // program that runs connects: a second start for the same home folder
    // hands its file over and ends before any frame, and under the same
    // client id it would push the running program off the broker.
    app.WhenMainWindowUp([&p](CFrameWnd& frame) {
        QWidget& window = *frame.GetSafeHwnd();
        QMenu& sayWhut = *frame.PopupMenu(kSayWhutMenuPosition);
        p.trip.AttachTo(window, sayWhut);
        p.sound.AttachTo(window, sayWhut);
        p.lifelike.AttachTo(window, sayWhut);
        p.remote.AttachTo(window, sayWhut);
        // Up before the resume below, whose guard-on sound may take minutes
        // against a stalled sound server: the service manager's start
        // timeout would end the program over and over.
        if (p.whenUp)
            p.whenUp();
        p.remote.Start();
        p.trip.AfterStartUp();
        if (p.unattended)
            p.unattended(false);
    });
    // A start with --resume that finds this home folder's program running
    // (the autostart entry a moment after a start by hand, or the unit's
    // start while the program runs unsupervised) hands the resume over.
    if (p.resume)
        app.SetOptionsToHandOver({QStringLiteral("--resume")});
    app.SetHandedOverOptionHandler([&p](const QString& option) {
        if (option == QStringLiteral("--resume"))
            p.trip.ResumeHandedOver();
    });
}
