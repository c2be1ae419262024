#include "MpvLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <optional>

namespace platform {

namespace {

template <class Function>
bool Resolve(void* library, const char* name, Function& function)
{
    void* symbol = ::dlsym(library, name);
    std::memcpy(&function, &symbol, sizeof function);
    return symbol != nullptr;
}

void DropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// mpv's log already tells why an output failed, and a play that fails says so
// in the diary and the problem report.  Left alone, ALSA and PipeWire print
// two dozen lines on the person's terminal at every play without a sound
// server.  Both are libraries under libmpv, so they are reached through it;
// a libmpv built without either simply has nothing to quiet.
void QuietAudioLibraries(void* library)
{
    using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    int (*setAlsaHandler)(AlsaHandler) = nullptr;
    if (Resolve(library, "snd_lib_error_set_handler", setAlsaHandler))
        setAlsaHandler(&DropAlsaMessage);
    // PipeWire reads its level once, at its first initialisation; taking that
    // first turn here leaves it at none for mpv's later ones.
    void (*pipewireInit)(int*, char***) = nullptr;
    void (*pipewireLogLevel)(int) = nullptr;
    if (Resolve(library, "pw_init", pipewireInit) && Resolve(library, "pw_log_set_level", pipewireLogLevel)) {
        pipewireInit(nullptr, nullptr);
        pipewireLogLevel(0);
    }
}

std::optional<MpvLibrary> Load()
{
    void* library = nullptr;
    for (const char* name : {"libmpv.so.2", "libmpv.so.1", "libmpv.so"})
        if ((library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL)) != nullptr)
            break;
    if (!library) {
        std::fprintf(stderr, "hauntwatch: libmpv cannot be loaded, so nothing can be played: %s\n", ::dlerror());
        return std::nullopt;
    }
    MpvLibrary mpv{};
    const bool complete = Resolve(library, "mpv_create", mpv.create) &&
                          Resolve(library, "mpv_initialize", mpv.initialize) &&
                          Resolve(library, "mpv_set_option_string", mpv.set_option_string) &&
                          Resolve(library, "mpv_command", mpv.command) &&
                          Resolve(library, "mpv_command_ret", mpv.command_ret) &&
                          Resolve(library, "mpv_get_property", mpv.get_property) &&
                          Resolve(library, "mpv_get_property_async", mpv.get_property_async) &&
                          Resolve(library, "mpv_free_node_contents", mpv.free_node_contents) &&
                          Resolve(library, "mpv_wait_event", mpv.wait_event) &&
                          Resolve(library, "mpv_request_log_messages", mpv.request_log_messages) &&
                          Resolve(library, "mpv_set_wakeup_callback", mpv.set_wakeup_callback) &&
                          Resolve(library, "mpv_terminate_destroy", mpv.terminate_destroy);
    if (!complete) {
        std::fprintf(stderr, "hauntwatch: this libmpv lacks a function the program needs; nothing can be played\n");
        return std::nullopt;
    }
    const bool renders = Resolve(library, "mpv_render_context_create", mpv.render_context_create) &&
                         Resolve(library, "mpv_render_context_set_update_callback", mpv.render_context_set_update_callback) &&
                         Resolve(library, "mpv_render_context_update", mpv.render_context_update) &&
                         Resolve(library, "mpv_render_context_render", mpv.render_context_render) &&
                         Resolve(library, "mpv_render_context_free", mpv.render_context_free);
    if (!renders)
        mpv.render_context_create = nullptr;
    QuietAudioLibraries(library);
    // Never unloaded: mpv's threads may outlive any one handle's owner.
    return mpv;
}

}  // namespace

const MpvLibrary* Mpv()
{
    static const std::optional<MpvLibrary> library = Load();
    return library ? &*library : nullptr;
}

}  // namespace platform
