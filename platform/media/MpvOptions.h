#pragma once
// What every libmpv handle of the program is given, whatever the machine's
// mpv set-up says, and the checks on a path before mpv sees it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct mpv_handle;
struct mpv_render_context;

namespace platform {

struct MpvOption {
    std::string name;
    std::string value;
};

// The sound server's name for the program: what the mixer lists, and what
// it remembers mute and volume by, so that they are Hauntwatch's own and not
// those of every other libmpv program.  The client name doubles as the icon's.
inline constexpr char kAudioApplicationName[] = "Hauntwatch";
inline constexpr char kAudioClientName[] = "hauntwatch";

// libmpv gives its one client name to the application and to the icon, and
// icons go by lower-case names; the name a person reads reaches the sound
// server's client library only through the environment, which this sets
// (before any thread: the environment has no lock).  Programs the guard
// starts get the environment as it was.
void AnnounceAudioIdentity();

// No user configuration, scripts, network, neighbouring files, keys of mpv's
// own, and no silent null audio output.  False when mpv refuses one of them:
// such a handle is not to be used rather than half hardened.
bool SetHardenedOptions(mpv_handle* handle);
// The audio device plays go to, asked each time a player makes a handle or
// starts a play: a libmpv audio-device value ("pulse/<sink>"), or empty for
// the outputs' own defaults.  Installed by whoever knows the sound server;
// without one every play takes the default.  Asked on the window thread,
// where every play starts.
using AudioDeviceChooser = std::function<std::string()>;
void InstallAudioDeviceChooser(AudioDeviceChooser chooser);
std::string ChosenAudioDevice();

// What a play's own stream was set to at the sound server while it ran (the
// mixer's entry for the program): a guard that plays into a muted stream is
// heard by nobody, whatever the output says.
struct StreamLevel {
    bool muted = false;
    // In hundredths of normal volume, as last asked.
    int volumePercent = 100;
};
// Told after each play whose stream ran long enough to be asked, on the
// window thread.  Installed by whoever judges whether Mervo is heard.
using StreamLevelListener = std::function<void(const StreamLevel&)>;
void InstallStreamLevelListener(StreamLevelListener listener);
void TellStreamLevel(const StreamLevel& level);

// HAUNTWATCH_AO; else the device's own output for a chosen device, which
// plays only there (mpv's other outputs would ignore the device and take
// their default); else only real audio devices.
bool SetAudioOutput(mpv_handle* handle, const std::string& device);
// HAUNTWATCH_VO when set; otherwise the real video outputs that work on any
// desktop (see kRealVideoOutputs).
bool SetVideoOutput(mpv_handle* handle);
bool SetOptions(mpv_handle* handle, const std::vector<MpvOption>& options);

// The canonical absolute path of an existing regular file, else empty; only
// such a path is handed to mpv, so it is never taken for a URL or an option.
std::string CanonicalRegularFile(const std::string& path);

// Replaces what the handle plays with the file; the file's playlist entry,
// which its events carry, or -1 when mpv would not take the command.
std::int64_t LoadFile(mpv_handle* handle, const std::string& path);

// Makes a handle with numbers read the C way, which libmpv insists on;
// nullptr when libmpv cannot be had.
mpv_handle* CreateMpvHandle();

// Destroys a handle on a thread of its own: one stuck inside its audio
// output (a sound server that stopped answering) would hold the caller, the
// window's thread, until the server comes back.  Switch its wake-ups off
// first.
// A render context of the handle goes first, on that thread too.
void DestroyElsewhere(mpv_handle* handle, mpv_render_context* render = nullptr);
// Handles given to DestroyElsewhere that are not gone yet.
int HandlesBeingDestroyed();

}  // namespace platform
