#include "WallClockTimerService.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>

#include <QObject>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <ctime>

namespace platform {

namespace {
constexpr std::int64_t kNanosPerMilli = 1000000;
constexpr std::int64_t kNanosPerSecond = 1000000000;
}

struct WallClockTimerService::Arming {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    std::int64_t period = 0;
    std::int64_t deadline = 0;
};

WallClockTimerService::WallClockTimerService() = default;

WallClockTimerService::~WallClockTimerService()
{
    while (!armings_.empty())
        Remove(armings_.begin()->first);
}

std::int64_t WallClockTimerService::NowNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * kNanosPerSecond + now.tv_nsec;
}

bool WallClockTimerService::ArmAt(const Arming& arming, std::int64_t deadline)
{
    itimerspec when {};
    // An all-zero value would disarm; a deadline in the past fires at once.
    deadline = std::max<std::int64_t>(deadline, 1);
    when.it_value.tv_sec = static_cast<time_t>(deadline / kNanosPerSecond);
    when.it_value.tv_nsec = static_cast<long>(deadline % kNanosPerSecond);
    if (timerfd_settime(arming.fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) != 0) {
        std::perror("hauntwatch: timerfd_settime");
        return false;
    }
    return true;
}

WallClockTimerService::Arming* WallClockTimerService::ArmingFor(const Key& key)
{
    auto found = armings_.find(key);
    if (found != armings_.end())
        return found->second.get();
    auto arming = std::make_unique<Arming>();
    arming->fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (arming->fd < 0) {
        std::perror("hauntwatch: timerfd_create");
        return nullptr;
    }
    arming->notifier = new QSocketNotifier(arming->fd, QSocketNotifier::Read);
    QObject::connect(arming->notifier, &QSocketNotifier::activated,
                     [this, key] { OnWake(key.first, key.second); });
    return armings_.emplace(key, std::move(arming)).first->second.get();
}

bool WallClockTimerService::Set(TimerWindow* window, UINT_PTR id, UINT delayMs)
{
    Arming* arming = ArmingFor({window, id});
    if (!arming)
        return false;
    arming->period = static_cast<std::int64_t>(delayMs) * kNanosPerMilli;
    arming->deadline = NowNanoseconds() + arming->period;
    if (ArmAt(*arming, arming->deadline))
        return true;
    Remove({window, id});
    return false;
}

void WallClockTimerService::Kill(TimerWindow* window, UINT_PTR id)
{
    Remove({window, id});
}

void WallClockTimerService::Remove(const Key& key)
{
    auto found = armings_.find(key);
    if (found == armings_.end())
        return;
    // The notifier may be the one whose signal is running right now: it goes
    // later, and its descriptor with it.
    QSocketNotifier* notifier = found->second->notifier;
    const int fd = found->second->fd;
    notifier->setEnabled(false);
    QObject::connect(notifier, &QObject::destroyed, [fd] { ::close(fd); });
    notifier->deleteLater();
    armings_.erase(found);
}

void WallClockTimerService::OnWake(TimerWindow* window, UINT_PTR id)
{
    auto found = armings_.find({window, id});
    if (found == armings_.end())
        return;
    Arming& arming = *found->second;
    std::uint64_t expirations = 0;
    // ECANCELED means the clock was set; EAGAIN a wake-up with nothing to read.
    // Either way the deadline below decides.
    [[maybe_unused]] const ssize_t got = ::read(arming.fd, &expirations, sizeof expirations);

    const std::int64_t now = NowNanoseconds();
    if (now < arming.deadline) {
        ArmAt(arming, arming.deadline);
        return;
    }
    // The next period counts from this deadline; after a long sleep no burst
    // of catch-up ticks follows, just one.
    arming.deadline += arming.period;
    if (arming.deadline <= now)
        arming.deadline = now + arming.period;
    ArmAt(arming, arming.deadline);
    window->OnTimer(id);
}

}  // namespace platform
