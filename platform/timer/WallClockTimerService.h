#pragma once
// Window timers whose ticks never come before the wall-clock moment they were
// armed for.  Each arming is a timerfd on CLOCK_REALTIME with an absolute
// deadline, cancelled by the kernel when the clock is set, and watched by the
// Qt event loop; so ticks arrive on the window's thread, inside modal loops
// too, and after a suspend or a clock change at the moment that was asked for.
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "Timer.h"

class QSocketNotifier;

namespace platform {

class WallClockTimerService final : public TimerService {
public:
    WallClockTimerService();
    ~WallClockTimerService() override;
    WallClockTimerService(const WallClockTimerService&) = delete;
    WallClockTimerService& operator=(const WallClockTimerService&) = delete;

    bool Set(TimerWindow* window, UINT_PTR id, UINT delayMs) override;
    void Kill(TimerWindow* window, UINT_PTR id) override;

    // What a wake-up of the given arming does; public so a test can act as if
    // the kernel had woken it (early, late, or because the clock was set).
    void OnWake(TimerWindow* window, UINT_PTR id);

    static std::int64_t NowNanoseconds();

private:
    struct Arming;
    using Key = std::pair<TimerWindow*, UINT_PTR>;

    // Null when the system would not make one.
    Arming* ArmingFor(const Key& key);
    static bool ArmAt(const Arming& arming, std::int64_t deadline);
    void Remove(const Key& key);

    std::map<Key, std::unique_ptr<Arming>> armings_;
};

}  // namespace platform
