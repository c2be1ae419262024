#include "SoundServerWatcher.h"

#include "MpvOptions.h"

#include <pulse/ext-stream-restore.h>
#include <pulse/glib-mainloop.h>
#include <pulse/pulseaudio.h>

#include <QAbstractEventDispatcher>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace sound {

namespace {

// Rounded as the desktop's volume controls and pactl show it: "2%" there is
// 1310/65536 here.
int PercentOfNormal(pa_volume_t volume)
{
    return static_cast<int>((std::uint64_t(volume) * 100 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM);
}

SoundOutput OutputOf(const pa_sink_info& info)
{
    SoundOutput output;
    output.name = info.name ? info.name : "";
    output.description = info.description && *info.description ? info.description : output.name;
    output.muted = info.mute != 0;
    output.volumePercent = PercentOfNormal(pa_cvolume_max(&info.volume));
    output.unplugged = info.active_port && info.active_port->available == PA_PORT_AVAILABLE_NO;
    return output;
}

// How the server files the mute and volume it restores to every Hauntwatch
// play: by application name, as the plays carry no media role.
std::string OwnEntryName()
{
    return std::string("sink-input-by-application-name:") + platform::kAudioApplicationName;
}

// libpulse's callbacks run where GLib dispatches its default context: Qt's
// window thread, when Qt runs on GLib (Debian's Qt does, unless QT_NO_GLIB
// is set).  A second loop of our own would need a thread and locks.
bool QtRunsOnGlib()
{
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib");
}

void SayOnceThatNothingIsAsked()
{
    static bool said = false;
    if (std::exchange(said, true))
        return;
    std::fputs("hauntwatch: Qt's event loop is not GLib's (QT_NO_GLIB?), so the sound server is not asked and "
               "nothing is said of whether Mervo can be heard\n",
               stderr);
}

}  // namespace

// libpulse calls plain functions; each finds its watcher, and ignores a
// context the watcher has already let go.
struct WatcherCallbacks {
    static SoundServerWatcher* Current(pa_context* context, void* self)
    {
        auto* watcher = static_cast<SoundServerWatcher*>(self);
        return watcher->context_ == context ? watcher : nullptr;
    }

    static void OnState(pa_context* context, void* self)
    {
        SoundServerWatcher* watcher = Current(context, self);
        if (!watcher)
            return;
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY: {
            pa_context_set_subscribe_callback(context, &OnEvent, watcher);
            const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER |
                                                                  PA_SUBSCRIPTION_MASK_CARD);
            if (pa_operation* operation = pa_context_subscribe(context, mask, nullptr, nullptr))
                pa_operation_unref(operation);
            // A server without the stream memory answers with an error,
            // which costs nothing.
            pa_ext_stream_restore_set_subscribe_cb(context, &OnMemoryChanged, watcher);
            if (pa_operation* operation = pa_ext_stream_restore_subscribe(context, 1, nullptr, nullptr))
                pa_operation_unref(operation);
            watcher->Refresh();
            break;
        }
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            watcher->GiveUp();
            break;
        default:
            break;
        }
    }

    // A port plugged or pulled shows as a change of its card and its sink;
    // one refresh covers any of them.
    static void OnEvent(pa_context* context, pa_subscription_event_type_t, std::uint32_t, void* self)
    {
        if (SoundServerWatcher* watcher = Current(context, self))
            watcher->Refresh();
    }

    static void OnMemoryChanged(pa_context* context, void* self)
    {
        if (SoundServerWatcher* watcher = Current(context, self))
            watcher->Refresh();
    }

    // An error here is a server that keeps no memory of streams: nothing to
    // know, not a server that stopped answering.
    static void OnMemoryEntry(pa_context* context, const pa_ext_stream_restore_info* info, int eol, void* self)
    {
        SoundServerWatcher* watcher = Current(context, self);
        if (!watcher)
            return;
        if (eol == 0 && info) {
            if (info->name && info->name == OwnEntryName()) {
                StreamMemory memory;
                memory.muted = info->mute != 0;
                if (info->volume.channels > 0)
                    memory.volumePercent = PercentOfNormal(pa_cvolume_max(&info->volume));
                watcher->incoming_.ownStream = memory;
                watcher->incomingOwnStreamDevice_ = info->device ? info->device : "";
            }
            return;
        }
        watcher->Answered();
    }

    static void OnMemoryWritten(pa_context* context, int success, void* self)
    {
        SoundServerWatcher* watcher = Current(context, self);
        if (!watcher || !success)
            return;
        // What a play heard before the entry was set right no longer holds,
        // even when the server repeats the entry it listed before (PipeWire
        // does until WirePlumber has stored the stream's mute).
        watcher->seenOwnStream_.reset();
        watcher->Refresh();
    }

    static void OnServer(pa_context* context, const pa_server_info* info, void* self)
    {
        SoundServerWatcher* watcher = Current(context, self);
        if (!watcher)
            return;
        if (!info) {
            watcher->Unanswered();
            return;
        }
        if (info->default_sink_name)
            watcher->incoming_.defaultOutput = info->default_sink_name;
        watcher->Answered();
    }

    static void OnSink(pa_context* context, const pa_sink_info* info, int eol, void* self)
    {
        SoundServerWatcher* watcher = Current(context, self);
        if (!watcher)
            return;
        if (eol < 0) {
            watcher->Unanswered();
            return;
        }
        if (eol == 0 && info) {
            watcher->incoming_.outputs.push_back(OutputOf(*info));
            return;
        }
        watcher->Answered();
    }
};

SoundServerWatcher::SoundServerWatcher(Timing timing, QObject* parent)
    : QObject(parent), timing_(timing), retryMs_(timing.firstRetryMs)
{
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &SoundServerWatcher::Connect);
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &SoundServerWatcher::GiveUp);
    // The first question leaves from the event loop, so making the watcher
    // costs the window's start nothing; until the answer it is Settling.
    if (!QtRunsOnGlib()) {
        SayOnceThatNothingIsAsked();
        return;
    }
    glib_ = true;
    view_.state = SoundServerView::State::Settling;
    retry_.start(0);
}

SoundServerWatcher::~SoundServerWatcher()
{
    Drop();
    if (mainloop_)
        pa_glib_mainloop_free(mainloop_);
}

void SoundServerWatcher::Connect()
{
    Drop();
    sinceAttempt_.start();
    // A loop of its own for each connection: one whose first step was still
    // waiting when a play held the window thread against a stalled server
    // never ran again (seen with libpulse 16.1), and every later connection on it hung.
    // Here no libpulse callback is running, and the old context is gone.
    if (mainloop_)
        pa_glib_mainloop_free(mainloop_);
    mainloop_ = pa_glib_mainloop_new(nullptr);
    context_ = pa_context_new(pa_glib_mainloop_get_api(mainloop_), "Hauntwatch");
    if (!context_) {
        GiveUp();
        return;
    }
    pa_context_set_state_callback(context_, &WatcherCallbacks::OnState, this);
    // Never starts a server: a desktop without one is left as it is.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        // Without a server libpulse fails inside the call, and its state
        // callback has already given up: once is enough for the back-off.
        if (context_)
            GiveUp();
        return;
    }
    settle_.start(timing_.settleMs);
    SetState(SoundServerView::State::Settling);
}

void SoundServerWatcher::Drop()
{
    settle_.stop();
    answersAwaited_ = 0;
    refreshAgain_ = false;
    if (!context_)
        return;
    pa_context* context = context_;
    context_ = nullptr;
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_set_subscribe_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
}

void SoundServerWatcher::GiveUp()
{
    Drop();
    serverOwnStream_.reset();
    ownStreamDevice_.clear();
    const SoundServerView none;
    const bool changed = !(view_ == none);
    view_ = none;
    retry_.start(retryMs_);
    retryMs_ = std::min(retryMs_ * 2, timing_.longestRetryMs);
    if (changed)
        Q_EMIT Changed();
}

void SoundServerWatcher::Nudge()
{
    if (!glib_ || view_.state != SoundServerView::State::NoServer || context_)
        return;
    if (sinceAttempt_.isValid() && sinceAttempt_.elapsed() < timing_.nudgeSpacingMs)
        return;
    retry_.start(0);
    SetState(SoundServerView::State::Settling);
}

void SoundServerWatcher::Refresh()
{
    if (!context_)
        return;
    if (answersAwaited_ > 0) {
        refreshAgain_ = true;
        return;
    }
    incoming_ = {};
    incomingOwnStreamDevice_.clear();
    pa_operation* server = pa_context_get_server_info(context_, &WatcherCallbacks::OnServer, this);
    pa_operation* sinks = pa_context_get_sink_info_list(context_, &WatcherCallbacks::OnSink, this);
    pa_operation* memory = pa_ext_stream_restore_read(context_, &WatcherCallbacks::OnMemoryEntry, this);
    answersAwaited_ = (server ? 1 : 0) + (sinks ? 1 : 0) + (memory ? 1 : 0);
    for (pa_operation* operation : {server, sinks, memory})
        if (operation)
            pa_operation_unref(operation);
    if (!server || !sinks) {
        GiveUp();
        return;
    }
    // A server that stalls after it was connected (stopped, swapping) is
    // caught here, long before libpulse's own thirty seconds.
    if (!settle_.isActive())
        settle_.start(timing_.settleMs);
}

// The back-off starts again only at an answer: a server that answers every
// question with an error is not asked anew every second.
void SoundServerWatcher::Unanswered()
{
    GiveUp();
}

void SoundServerWatcher::Answered()
{
    if (answersAwaited_ == 0 || --answersAwaited_ > 0)
        return;
    Commit();
    // Changes that came while asking: ask once more.
    if (refreshAgain_ && context_) {
        refreshAgain_ = false;
        Refresh();
    }
}

void SoundServerWatcher::Commit()
{
    settle_.stop();
    retryMs_ = timing_.firstRetryMs;
    incoming_.state = SoundServerView::State::Known;
    // The server repeats an entry it no longer keeps up to date (PipeWire):
    // what a play found since stands until the entry itself changes.
    const std::optional<StreamMemory> fromServer = incoming_.ownStream;
    if (fromServer != serverOwnStream_)
        seenOwnStream_.reset();
    else if (seenOwnStream_)
        incoming_.ownStream = seenOwnStream_;
    serverOwnStream_ = fromServer;
    ownStreamDevice_ = incomingOwnStreamDevice_;
    if (incoming_ == view_)
        return;
    view_ = incoming_;
    Q_EMIT Changed();
}

void SoundServerWatcher::NoteOwnStream(const StreamMemory& seen)
{
    // Kept for the server's first answer too: the program's first play may
    // well hold the window thread before it comes.
    seenOwnStream_ = seen;
    if (view_.state != SoundServerView::State::Known || view_.ownStream == seen)
        return;
    view_.ownStream = seen;
    Q_EMIT Changed();
}

bool SoundServerWatcher::SetOwnStreamRight()
{
    if (!context_ || pa_context_get_state(context_) != PA_CONTEXT_READY)
        return false;
    const std::string name = OwnEntryName();
    pa_ext_stream_restore_info entry{};
    entry.name = name.c_str();
    // One channel at full volume is full volume on any stream's channels.
    pa_channel_map_init_mono(&entry.channel_map);
    pa_cvolume_set(&entry.volume, 1, PA_VOLUME_NORM);
    entry.device = ownStreamDevice_.empty() ? nullptr : ownStreamDevice_.c_str();
    entry.mute = 0;
    pa_operation* operation = pa_ext_stream_restore_write(context_, PA_UPDATE_REPLACE, &entry, 1, 1,
                                                          &WatcherCallbacks::OnMemoryWritten, this);
    if (!operation)
        return false;
    pa_operation_unref(operation);
    return true;
}

void SoundServerWatcher::SetState(SoundServerView::State state)
{
    if (view_.state == state)
        return;
    view_.state = state;
    Q_EMIT Changed();
}

}  // namespace sound
