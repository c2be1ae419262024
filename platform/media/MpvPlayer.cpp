#include "MpvPlayer.h"

#include <mpv/client.h>
#include <sys/stat.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace platform {

namespace {

// Options every handle gets: no user configuration, scripts, network hooks or
// terminal output, whatever the machine's mpv setup says.
const MpvPlayer::Option kHardening[] = {
    {"config", "no"},          {"load-scripts", "no"},      {"osc", "no"},
    {"ytdl", "no"},            {"load-stats-overlay", "no"}, {"load-osd-console", "no"},
    {"terminal", "no"},        {"idle", "yes"},             {"audio-fallback-to-null", "no"},
    {"load-auto-profiles", "no"},
};

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string AbsolutePath(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

}  // namespace

std::string AudioOutputs()
{
    const std::string chosen = Env("HAUNTWATCH_AO");
    return chosen.empty() ? "pipewire,pulse,alsa,jack,oss,sndio" : chosen;
}

std::string VideoOutputs()
{
    return Env("HAUNTWATCH_VO");
}

MpvPlayer::MpvPlayer(std::vector<Option> options) : options_(std::move(options)) {}

MpvPlayer::~MpvPlayer()
{
    if (handle_)
        mpv_terminate_destroy(handle_);
}

bool MpvPlayer::EnsureHandle()
{
    if (handle_)
        return true;
    // libmpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    handle_ = mpv_create();
    if (!handle_)
        return false;
    for (const Option& option : kHardening)
        mpv_set_option_string(handle_, option.name.c_str(), option.value.c_str());
    for (const Option& option : options_)
        if (!option.value.empty() && mpv_set_option_string(handle_, option.name.c_str(), option.value.c_str()) < 0)
            std::fprintf(stderr, "hauntwatch: mpv does not take %s=%s\n", option.name.c_str(), option.value.c_str());
    if (mpv_initialize(handle_) < 0) {
        mpv_terminate_destroy(handle_);
        handle_ = nullptr;
        return false;
    }
    return true;
}

MpvPlayer::Result MpvPlayer::PlayToEnd(const std::string& path)
{
    const auto called = std::chrono::steady_clock::now();
    if (!IsRegularFile(path))
        return Result::NoFile;
    const std::string absolute = AbsolutePath(path);
    if (absolute.empty() || !EnsureHandle())
        return Result::Failed;

    const char* command[] = {"loadfile", absolute.c_str(), "replace", nullptr};
    if (mpv_command(handle_, command) < 0)
        return Result::Failed;
    hadAudioOutput_ = false;
    bool started = false;
    for (;;) {
        const mpv_event* event = mpv_wait_event(handle_, -1);
        if (event->event_id == MPV_EVENT_START_FILE) {
            started = true;
        } else if (event->event_id == MPV_EVENT_PLAYBACK_RESTART) {
            char* ao = mpv_get_property_string(handle_, "current-ao");
            hadAudioOutput_ = ao != nullptr;
            startLatency_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - called).count();
            mpv_free(ao);
        } else if (event->event_id == MPV_EVENT_END_FILE && started) {
            const auto* end = static_cast<const mpv_event_end_file*>(event->data);
            if (end->reason == MPV_END_FILE_REASON_ERROR)
                return Result::Failed;
            return Result::Played;
        } else if (event->event_id == MPV_EVENT_SHUTDOWN) {
            mpv_terminate_destroy(handle_);
            handle_ = nullptr;
            return Result::Failed;
        }
    }
}

}  // namespace platform
