#include "MpvPlayer.h"

#include <mpv/client.h>
#include <sys/stat.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace platform {

namespace {

// Every handle gets these, whatever the machine's mpv set-up says: no user
// configuration, scripts, profiles, network helpers, resume files, neighbouring
// files, terminal, keys of mpv's own, and no silent null audio output.
const MpvPlayer::Option kHardening[] = {
    {"config", "no"},
    {"load-scripts", "no"},
    {"osc", "no"},
    {"ytdl", "no"},
    {"load-stats-overlay", "no"},
    {"load-osd-console", "no"},
    {"load-auto-profiles", "no"},
    {"terminal", "no"},
    {"input-terminal", "no"},
    {"input-ipc-server", ""},
    {"input-default-bindings", "no"},
    {"input-builtin-bindings", "no"},
    {"input-media-keys", "no"},
    {"resume-playback", "no"},
    {"save-position-on-quit", "no"},
    {"autoload-files", "no"},
    {"sub-auto", "no"},
    {"audio-file-auto", "no"},
    {"cover-art-auto", "no"},
    // Playlists, cue sheets, EDL lists and references inside files would make
    // mpv open other files or URLs named in the file.
    {"access-references", "no"},
    {"ordered-chapters", "no"},
    {"load-unsafe-playlists", "no"},
    {"demuxer-lavf-o", "protocol_whitelist=file"},
    {"audio-fallback-to-null", "no"},
    // A clip whose picture or sound cannot be shown stops at once instead of
    // playing on half-way, and its end reports why.
    {"stop-playback-on-init-failure", "yes"},
    {"idle", "yes"},
    {"keep-open", "no"},
    {"force-window", "no"},
    {"sid", "no"},
};

const MpvPlayer::Option kSoundOnly[] = {{"vid", "no"}, {"audio-display", "no"}};

const MpvPlayer::Option kMovieOnly[] = {
    {"fullscreen", "yes"},
    {"input-vo-keyboard", "yes"},
    {"cursor-autohide", "always"},
    {"title", "Hauntwatch"},
};

// Real devices only, so a machine that cannot make a sound fails its plays.
// OpenAL is left out: its software fallback renders into nothing.
constexpr const char* kRealAudioOutputs = "pipewire,pulse,alsa,jack,sndio,sdl";

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string CanonicalRegularFile(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool SetAll(mpv_handle* handle, const MpvPlayer::Option* begin, const MpvPlayer::Option* end)
{
    for (const MpvPlayer::Option* option = begin; option != end; ++option)
        if (mpv_set_option_string(handle, option->name.c_str(), option->value.c_str()) < 0)
            return false;
    return true;
}

template <std::size_t N>
bool SetAll(mpv_handle* handle, const MpvPlayer::Option (&options)[N])
{
    return SetAll(handle, options, options + N);
}

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

MpvPlayer::MpvPlayer(Kind kind, std::vector<Option> tuning) : kind_(kind), tuning_(std::move(tuning)) {}

MpvPlayer::~MpvPlayer() { DestroyHandle(); }

void MpvPlayer::DestroyHandle()
{
    if (handle_)
        mpv_terminate_destroy(handle_);
    handle_ = nullptr;
}

bool MpvPlayer::EnsureHandle()
{
    if (handle_)
        return true;
    // libmpv refuses to start unless numbers are read and written the C way;
    // Qt sets the user's locale when the application object is made.
    std::setlocale(LC_NUMERIC, "C");
    handle_ = mpv_create();
    if (handle_ && Configure() && mpv_initialize(handle_) >= 0 && SetUpAfterStart())
        return true;
    DestroyHandle();
    return false;
}

// Any option mpv does not take makes the handle unusable rather than half
// hardened.
bool MpvPlayer::Configure()
{
    if (!SetAll(handle_, kHardening))
        return false;
    if (kind_ == Kind::Sound ? !SetAll(handle_, kSoundOnly) : !SetAll(handle_, kMovieOnly))
        return false;
    const std::string audio = Environment("HAUNTWATCH_AO");
    if (mpv_set_option_string(handle_, "ao", audio.empty() ? kRealAudioOutputs : audio.c_str()) < 0)
        return false;
    // Without a choice mpv tries its own list of real video outputs, which
    // never falls back to the null one.
    const std::string video = Environment("HAUNTWATCH_VO");
    if (kind_ == Kind::Movie && !video.empty() && mpv_set_option_string(handle_, "vo", video.c_str()) < 0)
        return false;
    return SetAll(handle_, tuning_.data(), tuning_.data() + tuning_.size());
}

bool MpvPlayer::SetUpAfterStart()
{
    if (kind_ == Kind::Sound)
        return true;
    if (mpv_request_log_messages(handle_, "error") < 0)
        return false;
    // "stop" rather than mpv's "quit", which would end the handle itself.
    for (const char* key : {"ESC", "q", "Q", "CLOSE_WIN"}) {
        const char* command[] = {"keybind", key, "stop", nullptr};
        if (mpv_command(handle_, command) < 0)
            return false;
    }
    return true;
}

MpvPlayer::Outcome MpvPlayer::PlayToEnd(const std::string& path)
{
    Play play{-1, CanonicalRegularFile(path), std::chrono::steady_clock::now()};
    startLatency_ = -1;
    if (play.path.empty())
        return Outcome::NotAFile;
    if (!EnsureHandle())
        return Outcome::NoPlayer;
    play.awaitedEntry = Load(play.path);
    if (play.awaitedEntry < 0)
        return Outcome::CannotPlay;
    return AwaitEnd(play);
}

// The playlist entry of the file, or -1 when mpv would not take the command.
std::int64_t MpvPlayer::Load(const std::string& path)
{
    const char* command[] = {"loadfile", path.c_str(), "replace", nullptr};
    mpv_node result{};
    if (mpv_command_ret(handle_, command, &result) < 0)
        return -1;
    std::int64_t entry = -1;
    if (result.format == MPV_FORMAT_NODE_MAP)
        for (int i = 0; i < result.u.list->num; ++i)
            if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0 &&
                result.u.list->values[i].format == MPV_FORMAT_INT64)
                entry = result.u.list->values[i].u.int64;
    mpv_free_node_contents(&result);
    return entry;
}

MpvPlayer::Outcome MpvPlayer::AwaitEnd(Play& play)
{
    for (;;) {
        const mpv_event* event = mpv_wait_event(handle_, -1);
        switch (event->event_id) {
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
            const auto& end = *static_cast<const mpv_event_end_file*>(event->data);
            if (end.playlist_entry_id != play.awaitedEntry)
                break;
            // access-references=no keeps mpv from reading playlists; should
            // one get through all the same, its entries are not played.
            if (end.reason == MPV_END_FILE_REASON_REDIRECT)
                Stop();
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

void MpvPlayer::Stop()
{
    const char* command[] = {"stop", nullptr};
    mpv_command(handle_, command);
}

void MpvPlayer::OnPlaybackRestart(const Play& play)
{
    if (play.started && startLatency_ < 0)
        startLatency_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - play.called).count();
}

}  // namespace platform
