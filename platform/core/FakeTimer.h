#pragma once
#include <map>
#include <utility>

#include "Timer.h"

namespace platform {

// Remembers the armed delay of each (window, id); a test fires ticks by hand.
class FakeTimer final : public TimerService {
public:
    FakeTimer() { InstallTimerService(this); }
    ~FakeTimer() override { InstallTimerService(nullptr); }
    FakeTimer(const FakeTimer&) = delete;
    FakeTimer& operator=(const FakeTimer&) = delete;

    bool Set(TimerWindow* window, UINT_PTR id, UINT delayMs) override
    {
        ++sets;
        if (refuse)
            return false;
        armed[{window, id}] = delayMs;
        return true;
    }
    void Kill(TimerWindow* window, UINT_PTR id) override
    {
        armed.erase({window, id});
        ++kills;
    }

    bool IsArmed(TimerWindow* window, UINT_PTR id = 1) const { return armed.count({window, id}) != 0; }
    UINT Delay(TimerWindow* window, UINT_PTR id = 1) const { return armed.at({window, id}); }
    void Fire(TimerWindow* window, UINT_PTR id = 1) { window->OnTimer(id); }

    std::map<std::pair<TimerWindow*, UINT_PTR>, UINT> armed;
    int sets = 0;
    bool refuse = false;  // as a system out of timers would
    int kills = 0;
};

}  // namespace platform
