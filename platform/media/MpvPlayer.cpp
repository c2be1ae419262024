#include "MpvPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>

#include "LongWait.h"
#include "MpvLibrary.h"
#include "MpvOptions.h"

namespace platform {

namespace {

constexpr int kMostStuckHandles = 2;

// A mute set in the mixer during a play is seen within this long.
constexpr auto kLevelSpacing = std::chrono::milliseconds(500);

// Answers to the level questions carry the play's entry, so that a late one
// never counts for the next play on the same handle.
std::uint64_t LevelQuestion(std::int64_t entry, bool mute)
{
    return (static_cast<std::uint64_t>(entry) << 1) | (mute ? 1u : 0u);
}

// A clip whose picture or sound cannot be shown stops at once instead of
// playing on half-way, and its end reports why.  Gapless audio keeps the
// previous file's output for the next one, which then started its sound
// almost half a second late; plays here are single files, never a run.
const std::vector<MpvOption> kGuardPlays = {{"stop-playback-on-init-failure", "yes"}, {"gapless-audio", "no"}};

const std::vector<MpvOption> kSoundOnly = {{"vid", "no"}, {"audio-display", "no"}};

const std::vector<MpvOption> kMovieOnly = {
    {"fullscreen", "yes"},
    {"input-vo-keyboard", "yes"},
    {"cursor-autohide", "always"},
    {"title", "Hauntwatch"},
    // The shell's name for the window: Hauntwatch's, not a stray "mpv".  X11's
    // class stays libmpv's own; the instance is what it lets us name.
    {"wayland-app-id", "hauntwatch"},
    {"x11-name", "hauntwatch"},
};

MpvPlayer::Outcome OutcomeOfEnd(const mpv_event_end_file& end, bool videoOutputFailed)
{
    switch (end.reason) {
    case MPV_END_FILE_REASON_EOF:
    case MPV_END_FILE_REASON_STOP:  // Esc or q: ended early, but it was played
    case MPV_END_FILE_REASON_QUIT:
        return MpvPlayer::Outcome::Played;
    case MPV_END_FILE_REASON_ERROR:
        if (end.error == MPV_ERROR_AO_INIT_FAILED)
            return MpvPlayer::Outcome::NoAudioOutput;
        if (end.error == MPV_ERROR_VO_INIT_FAILED || videoOutputFailed)
            return MpvPlayer::Outcome::NoVideoOutput;
        return MpvPlayer::Outcome::CannotPlay;
    case MPV_END_FILE_REASON_REDIRECT:  // a playlist, not a sound or a movie
        break;
    }
    return MpvPlayer::Outcome::CannotPlay;
}

// This mpv ends a file whose video output would not open with a generic
// error; only its log says why.  Should the wording change, such a play
// still fails, as "cannot play".
bool IsVideoOutputFailure(const mpv_event_log_message& message)
{
    return std::strcmp(message.prefix, "cplayer") == 0 && std::strstr(message.text, "video_out") != nullptr;
}

}  // namespace

MpvPlayer::MpvPlayer(Kind kind, std::vector<Option> tuning, Patience patience)
    : kind_(kind), tuning_(std::move(tuning)), patience_(patience)
{
}

MpvPlayer::~MpvPlayer() { DestroyHandle(); }

void MpvPlayer::DestroyHandle()
{
    if (handle_)
        Mpv()->terminate_destroy(handle_);
    handle_ = nullptr;
}

void MpvPlayer::AbandonHandle()
{
    DestroyElsewhere(std::exchange(handle_, nullptr));
}

bool MpvPlayer::EnsureHandle(const std::string& audioDevice)
{
    if (handle_ && handleAudioDevice_ == audioDevice)
        return true;
    DestroyHandle();
    handle_ = CreateMpvHandle();
    handleAudioDevice_ = audioDevice;
    if (handle_ && Configure(audioDevice) && Mpv()->initialize(handle_) >= 0 && SetUpAfterStart())
        return true;
    DestroyHandle();
    return false;
}

bool MpvPlayer::Configure(const std::string& audioDevice)
{
    // Without a choice of video output mpv tries its own list of real ones,
    // which never falls back to the null one.
    return SetHardenedOptions(handle_) && SetOptions(handle_, kGuardPlays) &&
           SetOptions(handle_, kind_ == Kind::Sound ? kSoundOnly : kMovieOnly) && SetAudioOutput(handle_, audioDevice) &&
           (kind_ == Kind::Sound || SetVideoOutput(handle_)) && SetOptions(handle_, tuning_);
}

bool MpvPlayer::SetUpAfterStart()
{
    if (kind_ == Kind::Sound)
        return true;
    if (Mpv()->request_log_messages(handle_, "error") < 0)
        return false;
    // "stop" rather than mpv's "quit", which would end the handle itself.
    for (const char* key : {"ESC", "q", "Q", "CLOSE_WIN"}) {
        const char* command[] = {"keybind", key, "stop", nullptr};
        if (Mpv()->command(handle_, command) < 0)
            return false;
    }
    return true;
}

MpvPlayer::Outcome MpvPlayer::PlayToEnd(const std::string& path)
{
    const auto called = std::chrono::steady_clock::now();
    Play play{-1, CanonicalRegularFile(path), called, called + patience_.unknownLength};
    play.shape = TakePlayShape();
    TellPlayedPart(std::nullopt);
    startLatency_ = -1;
    if (play.path.empty())
        return Outcome::NotAFile;
    // Handles that never ended still wait for their sound server: while more
    // than one does, a new one would only join them, so plays fail at once
    // until the server is back and they are gone.
    if (HandlesBeingDestroyed() >= kMostStuckHandles)
        return Outcome::TimedOut;
    if (!EnsureHandle(ChosenAudioDevice()))
        return Outcome::NoPlayer;
    if (!ApplyLevel(play.shape))
        return Outcome::NoPlayer;
    // An excerpt waits, paused, for the file's length, which places it.
    // (Not as loadfile's per-file option: libmpv 0.38 put an index before it.)
    if (play.shape.excerptSeconds && Mpv()->set_option_string(handle_, "pause", "yes") < 0)
        return Outcome::NoPlayer;
    play.awaitedEntry = LoadFile(handle_, play.path);
    if (play.awaitedEntry < 0)
        return Outcome::CannotPlay;
    const Outcome outcome = AwaitEnd(play);
    if (play.level)
        TellStreamLevel(*play.level);
    TellPlayedPart(play.part);
    return outcome;
}

MpvPlayer::Outcome MpvPlayer::AwaitEnd(Play& play)
{
    for (;;) {
        const auto left = play.giveUp - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            AbandonHandle();
            return Outcome::TimedOut;
        }
        // In slices, saying between them that the window thread is waiting
        // on a play, not stuck.
        auto slice = std::min<std::chrono::steady_clock::duration>(left, LongWaitSlice());
        if (play.streamRuns && play.levelAnswersAwaited == 0)
            slice = std::min<std::chrono::steady_clock::duration>(
                slice, std::max<std::chrono::steady_clock::duration>(
                           play.nextLevelQuestion - std::chrono::steady_clock::now(), {}));
        const mpv_event* event = Mpv()->wait_event(handle_, std::chrono::duration<double>(slice).count());
        StillWaiting();
        if (play.streamRuns && play.levelAnswersAwaited == 0 &&
            std::chrono::steady_clock::now() >= play.nextLevelQuestion)
            AskStreamLevel(play);
        switch (event->event_id) {
        case MPV_EVENT_GET_PROPERTY_REPLY:
            OnLevelAnswer(play, *event);
            break;
        case MPV_EVENT_FILE_LOADED:
            OnFileLoaded(play);
            break;
        case MPV_EVENT_START_FILE:
            if (static_cast<const mpv_event_start_file*>(event->data)->playlist_entry_id == play.awaitedEntry)
                play.started = true;
            break;
        case MPV_EVENT_PLAYBACK_RESTART:
            OnPlaybackRestart(play);
            break;
        case MPV_EVENT_LOG_MESSAGE:
            if (play.started && IsVideoOutputFailure(*static_cast<const mpv_event_log_message*>(event->data)))
                play.videoOutputFailed = true;
            break;
        case MPV_EVENT_END_FILE: {
            // A copy: the next wait frees the event.
            const mpv_event_end_file end = *static_cast<const mpv_event_end_file*>(event->data);
            if (end.playlist_entry_id != play.awaitedEntry)
                break;
            // access-references=no keeps mpv from reading playlists; should
            // one get through all the same, its entries are not played.
            if (end.reason == MPV_END_FILE_REASON_REDIRECT)
                Stop();
            if (end.reason == MPV_END_FILE_REASON_ERROR)
                ReadPendingLog(play);
            return OutcomeOfEnd(end, play.videoOutputFailed);
        }
        case MPV_EVENT_SHUTDOWN:
            DestroyHandle();
            return Outcome::NoPlayer;
        default:
            break;
        }
    }
}

// mpv hands out its log only when no other event is waiting, so the line
// that tells why a file ended can still be queued behind the end itself.
void MpvPlayer::ReadPendingLog(Play& play)
{
    for (;;) {
        const mpv_event* event = Mpv()->wait_event(handle_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        if (event->event_id == MPV_EVENT_LOG_MESSAGE &&
            IsVideoOutputFailure(*static_cast<const mpv_event_log_message*>(event->data)))
            play.videoOutputFailed = true;
    }
}

void MpvPlayer::Stop()
{
    const char* command[] = {"stop", nullptr};
    Mpv()->command(handle_, command);
}

// Now the file's length is known: the play may take that long (or its
// excerpt's) and the patience beyond it.
void MpvPlayer::OnFileLoaded(Play& play)
{
    if (!play.started)
        return;
    double seconds = 0;
    const bool known = Mpv()->get_property(handle_, "duration", MPV_FORMAT_DOUBLE, &seconds) >= 0 && seconds >= 0;
    if (play.shape.excerptSeconds)
        StartExcerpt(play, known ? seconds : 0);
    if (!known)
        return;
    if (play.part)
        seconds = static_cast<double>(play.part->length);
    play.giveUp = std::chrono::steady_clock::now() +
                  std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds)) +
                  patience_.afterLength;
}

// From the point the draw gives, for the excerpt's length, faded in and out
// over a second so that it does not start or stop mid-word; a file no longer
// than the excerpt plays whole.  The handle was loaded paused.
void MpvPlayer::StartExcerpt(Play& play, double mediaSeconds)
{
    play.part = PlaceExcerpt(play.shape, mediaSeconds);
    if (play.part) {
        const std::int64_t start = play.part->start, end = play.part->start + play.part->length;
        const std::string from = std::to_string(start), to = std::to_string(end);
        const char* seek[] = {"seek", from.c_str(), "absolute+exact", nullptr};
        const std::string fades = "lavfi=[afade=t=in:st=" + from + ":d=1,afade=t=out:st=" + std::to_string(end - 1) +
                                  ":d=1]";
        if (Mpv()->command(handle_, seek) < 0 || Mpv()->set_option_string(handle_, "end", to.c_str()) < 0 ||
            Mpv()->set_option_string(handle_, "af", fades.c_str()) < 0) {
            // Whole, then, and said so: not cut short at an end left set.
            Mpv()->set_option_string(handle_, "end", "none");
            play.part.reset();
        }
    }
    Mpv()->set_option_string(handle_, "pause", "no");
}

// mpv's volume is cubic: 100 times the cube root of the amplitude.  A handle
// kept from an earlier play forgets that play's level and excerpt here.
bool MpvPlayer::ApplyLevel(const PlayShape& shape)
{
    const double volume = shape.gainDb ? 100.0 * std::pow(10.0, *shape.gainDb / 60.0) : 100.0;
    return Mpv()->set_option_string(handle_, "volume", std::to_string(volume).c_str()) >= 0 &&
           Mpv()->set_option_string(handle_, "end", "none") >= 0 && Mpv()->set_option_string(handle_, "af", "") >= 0 &&
           Mpv()->set_option_string(handle_, "pause", "no") >= 0;
}

void MpvPlayer::OnPlaybackRestart(Play& play)
{
    if (!play.started)
        return;
    if (startLatency_ < 0)
        startLatency_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - play.called).count();
    if (!play.streamRuns) {
        play.streamRuns = true;
        AskStreamLevel(play);
    }
}

// Asked without waiting: the answer comes from the audio output, which a
// stalled sound server could hold for as long as it stalls.
void MpvPlayer::AskStreamLevel(Play& play)
{
    play.nextLevelQuestion = std::chrono::steady_clock::now() + kLevelSpacing;
    if (Mpv()->get_property_async(handle_, LevelQuestion(play.awaitedEntry, true), "ao-mute", MPV_FORMAT_FLAG) >= 0)
        ++play.levelAnswersAwaited;
    if (Mpv()->get_property_async(handle_, LevelQuestion(play.awaitedEntry, false), "ao-volume", MPV_FORMAT_DOUBLE) >= 0)
        ++play.levelAnswersAwaited;
}

// The last answer counts: the stream's first moments may be answered for a
// stream the server has not quite set up (a volume of 0 under load), and a
// mute set during the play is still there at its end.
void MpvPlayer::OnLevelAnswer(Play& play, const mpv_event& event)
{
    const bool mute = (event.reply_userdata & 1u) != 0;
    if (event.reply_userdata >> 1 != static_cast<std::uint64_t>(play.awaitedEntry))
        return;
    if (play.levelAnswersAwaited > 0)
        --play.levelAnswersAwaited;
    const auto* property = static_cast<const mpv_event_property*>(event.data);
    // Outputs that have no stream of their own (ALSA, the null one) cannot say.
    if (event.error < 0 || !property || !property->data)
        return;
    StreamLevel& level = play.level ? *play.level : play.level.emplace();
    if (mute && property->format == MPV_FORMAT_FLAG)
        level.muted = *static_cast<const int*>(property->data) != 0;
    else if (!mute && property->format == MPV_FORMAT_DOUBLE)
        level.volumePercent = static_cast<int>(*static_cast<const double*>(property->data) + 0.5);
}

}  // namespace platform
