#pragma once
// libmpv, loaded at the first play rather than with the program: linked in,
// it and the codec libraries under it made the window come up twice as
// slowly and take twice the memory, for plays that may be hours away.
#include <mpv/client.h>
#include <mpv/render.h>

namespace platform {

struct MpvLibrary {
    decltype(&mpv_create) create;
    decltype(&mpv_initialize) initialize;
    decltype(&mpv_set_option_string) set_option_string;
    decltype(&mpv_command) command;
    decltype(&mpv_command_ret) command_ret;
    decltype(&mpv_get_property) get_property;
    decltype(&mpv_get_property_async) get_property_async;
    decltype(&mpv_free_node_contents) free_node_contents;
    decltype(&mpv_wait_event) wait_event;
    decltype(&mpv_request_log_messages) request_log_messages;
    decltype(&mpv_set_wakeup_callback) set_wakeup_callback;
    decltype(&mpv_terminate_destroy) terminate_destroy;
    // The render API, for pictures drawn into the program's own widgets;
    // all null when this libmpv has none (movies then play their sound only).
    decltype(&mpv_render_context_create) render_context_create;
    decltype(&mpv_render_context_set_update_callback) render_context_set_update_callback;
    decltype(&mpv_render_context_update) render_context_update;
    decltype(&mpv_render_context_render) render_context_render;
    decltype(&mpv_render_context_free) render_context_free;
};

// Loads the library on the first call; nullptr, now and later, when it
// cannot be loaded or lacks a function, and every play then fails.
const MpvLibrary* Mpv();

}  // namespace platform
