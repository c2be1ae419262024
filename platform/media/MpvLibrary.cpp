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
                          Resolve(library, "mpv_free_node_contents", mpv.free_node_contents) &&
                          Resolve(library, "mpv_wait_event", mpv.wait_event) &&
                          Resolve(library, "mpv_request_log_messages", mpv.request_log_messages) &&
                          Resolve(library, "mpv_set_wakeup_callback", mpv.set_wakeup_callback) &&
                          Resolve(library, "mpv_terminate_destroy", mpv.terminate_destroy);
    if (!complete) {
        std::fprintf(stderr, "hauntwatch: this libmpv lacks a function the program needs; nothing can be played\n");
        return std::nullopt;
    }
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
