#pragma once
// The window thread's long waits (a play to its end, a program's start) are
// not silent: they wait in slices and say they are still waiting after each,
// so whoever watches that thread's heartbeat (the service manager's watchdog)
// can tell a play from a hang.  Without a hook, a wait is one piece.
#include <chrono>
#include <functional>

namespace platform {

// `hook` runs on the waiting thread at least every `slice`.
void InstallLongWaitHook(std::function<void()> hook, std::chrono::milliseconds slice);
void UninstallLongWaitHook();

// The longest piece a wait may take before it calls StillWaiting; a very long
// one when no hook is installed.
std::chrono::milliseconds LongWaitSlice();
void StillWaiting();

}  // namespace platform
