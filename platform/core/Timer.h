#pragma once
// Window timers: a periodic tick, re-armed by calling SetTimer again with the
// same id, delivered on the window's thread.  The ticks for one arming never
// come before the wall-clock moment they were asked for.
#include "WinTypes.h"

namespace platform {

// A window that receives timer ticks.
class TimerWindow {
public:
    virtual ~TimerWindow() = default;
    virtual void OnTimer(UINT_PTR id) = 0;
};

class TimerService {
public:
    virtual ~TimerService() = default;
    // False when the system would not create or arm the timer.
    virtual bool Set(TimerWindow* window, UINT_PTR id, UINT delayMs) = 0;
    virtual void Kill(TimerWindow* window, UINT_PTR id) = 0;
};

void InstallTimerService(TimerService* service);
TimerService* InstalledTimerService();

}  // namespace platform

namespace win {
using TIMERPROC = void (*)(void*, UINT, UINT_PTR, DWORD);
UINT_PTR SetTimer(platform::TimerWindow* window, UINT_PTR id, UINT delayMs, TIMERPROC proc);
BOOL KillTimer(platform::TimerWindow* window, UINT_PTR id);
}
