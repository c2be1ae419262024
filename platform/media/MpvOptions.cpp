#include "MpvOptions.h"

#include <sys/stat.h>

#include <atomic>
#include <clocale>
#include <thread>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "MpvLibrary.h"
#include "OwnEnvironment.h"

namespace platform {

namespace {

const std::vector<MpvOption> kHardening = {
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
    {"idle", "yes"},
    {"keep-open", "no"},
    {"force-window", "no"},
    {"sid", "no"},
    // What the sound server lists the streams as (with the name below), the
    // icon they show, and the name their remembered volume goes by.
    {"audio-client-name", kAudioClientName},
};

// Real devices only, so a machine that cannot make a sound fails its plays.
// The sound server first, as the sound check asks it through libpulse (a
// PipeWire desktop answers there too), then PipeWire's own protocol, then
// ALSA for a machine without a server.  Left out: SDL, whose PulseAudio
// backend dereferences a null pointer when the server has no output and
// takes the whole program down; JACK, which is no device of its own and
// only prints to the terminal where no JACK server runs; OpenAL, whose
// software fallback renders into nothing.  HAUNTWATCH_AO can still name any.
constexpr const char* kRealAudioOutputs = "pulse,pipewire,alsa";

AudioDeviceChooser& InstalledChooser()
{
    static AudioDeviceChooser chooser;
    return chooser;
}

StreamLevelListener& InstalledLevelListener()
{
    static StreamLevelListener listener;
    return listener;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

void AnnounceAudioIdentity()
{
    std::string pulse = std::string("application.name='") + kAudioApplicationName + "' application.icon_name='" +
                        kAudioClientName + "'";
    // The person's own overrides stay, but for the name.
    if (const std::string own = Environment("PULSE_PROP_OVERRIDE"); !own.empty())
        pulse = own + " " + pulse;
    SetOwnVariable("PULSE_PROP_OVERRIDE", pulse);
    // PipeWire's own output (HAUNTWATCH_AO=pipewire) reads a whole set of
    // properties, which a person who set one keeps as it is.
    if (Environment("PIPEWIRE_PROPS").empty())
        SetOwnVariable("PIPEWIRE_PROPS", std::string("{ application.name = \"") + kAudioApplicationName +
                                             "\" application.icon-name = " + kAudioClientName + " }");
}

bool SetOptions(mpv_handle* handle, const std::vector<MpvOption>& options)
{
    for (const MpvOption& option : options)
        if (Mpv()->set_option_string(handle, option.name.c_str(), option.value.c_str()) < 0)
            return false;
    return true;
}

bool SetHardenedOptions(mpv_handle* handle)
{
    return SetOptions(handle, kHardening);
}

void InstallAudioDeviceChooser(AudioDeviceChooser chooser)
{
    InstalledChooser() = std::move(chooser);
}

std::string ChosenAudioDevice()
{
    return InstalledChooser() ? InstalledChooser()() : std::string();
}

void InstallStreamLevelListener(StreamLevelListener listener)
{
    InstalledLevelListener() = std::move(listener);
}

void TellStreamLevel(const StreamLevel& level)
{
    if (InstalledLevelListener())
        InstalledLevelListener()(level);
}

bool SetAudioOutput(mpv_handle* handle, const std::string& device)
{
    std::string audio = Environment("HAUNTWATCH_AO");
    if (audio.empty())
        audio = device.empty() ? kRealAudioOutputs : device.substr(0, device.find('/'));
    return Mpv()->set_option_string(handle, "ao", audio.c_str()) >= 0 &&
           (device.empty() || Mpv()->set_option_string(handle, "audio-device", device.c_str()) >= 0);
}

// Real video outputs only, those that draw in a window of their own on any
// desktop: the GPU's, then Wayland's and X11's plain ones.  Left out: SDL's,
// which mpv takes where the GPU output declines (software GL, as under Xvfb
// or on a machine without a graphics driver) and which then closed the
// program's own X connection, ending it; VDPAU's and VA-API's, which only
// print to the terminal where there is no such hardware.
constexpr const char* kRealVideoOutputs = "gpu,wlshm,xv,x11";

bool SetVideoOutput(mpv_handle* handle)
{
    std::string video = Environment("HAUNTWATCH_VO");
    if (video.empty())
        video = kRealVideoOutputs;
    return Mpv()->set_option_string(handle, "vo", video.c_str()) >= 0;
}

std::string CanonicalRegularFile(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

std::int64_t LoadFile(mpv_handle* handle, const std::string& path)
{
    const char* command[] = {"loadfile", path.c_str(), "replace", nullptr};
    mpv_node result{};
    if (Mpv()->command_ret(handle, command, &result) < 0)
        return -1;
    std::int64_t entry = -1;
    if (result.format == MPV_FORMAT_NODE_MAP)
        for (int i = 0; i < result.u.list->num; ++i)
            if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0 &&
                result.u.list->values[i].format == MPV_FORMAT_INT64)
                entry = result.u.list->values[i].u.int64;
    Mpv()->free_node_contents(&result);
    return entry;
}

mpv_handle* CreateMpvHandle()
{
    // Qt sets the user's locale when the application object is made.
    const MpvLibrary* mpv = Mpv();
    if (!mpv)
        return nullptr;
    std::setlocale(LC_NUMERIC, "C");
    return mpv->create();
}

namespace {
std::atomic<int> beingDestroyed{0};
}

void DestroyElsewhere(mpv_handle* handle, mpv_render_context* render)
{
    if (!handle)
        return;
    ++beingDestroyed;
    std::thread([handle, render] {
        // Freeing the renderer waits for the video to end, which waits for
        // the core: a stalled sound server may hold both.
        if (render)
            Mpv()->render_context_free(render);
        Mpv()->terminate_destroy(handle);
        --beingDestroyed;
    }).detach();
}

int HandlesBeingDestroyed()
{
    return beingDestroyed;
}

}  // namespace platform
