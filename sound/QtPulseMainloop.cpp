#include "QtPulseMainloop.h"

#include <pulse/rtclock.h>
#include <pulse/timeval.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <vector>

// libpulse declares these and leaves their insides to each main loop.  An
// event freed by libpulse is only marked dead (it may be the one whose
// callback is running) and deleted later from the event loop.
struct pa_io_event {
    sound::QtPulseMainloop::Loop* loop;
    int fd;
    pa_io_event_cb_t callback;
    void* userdata;
    pa_io_event_destroy_cb_t destroy = nullptr;
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QSocketNotifier> writable;
    bool dead = false;
};

struct pa_time_event {
    sound::QtPulseMainloop::Loop* loop;
    pa_time_event_cb_t callback;
    void* userdata;
    pa_time_event_destroy_cb_t destroy = nullptr;
    QTimer timer;
    timeval when{};
    bool dead = false;
};

struct pa_defer_event {
    sound::QtPulseMainloop::Loop* loop;
    pa_defer_event_cb_t callback;
    void* userdata;
    pa_defer_event_destroy_cb_t destroy = nullptr;
    bool enabled = true;
    bool dead = false;
};

namespace sound {

namespace {

// libpulse marks a time on its monotonic clock (its own timers, and
// pa_context_rttime_new) with this bit of tv_usec, which no microsecond count
// reaches; an unmarked time is on the wall clock.
constexpr suseconds_t kMonotonicMark = suseconds_t(1) << 30;

int MillisecondsUntil(const timeval& marked)
{
    timeval when = marked;
    pa_usec_t now;
    if (when.tv_usec & kMonotonicMark) {
        when.tv_usec &= ~kMonotonicMark;
        now = pa_rtclock_now();
    } else {
        timeval wall{};
        now = pa_timeval_load(pa_gettimeofday(&wall));
    }
    const pa_usec_t at = pa_timeval_load(&when);
    if (at <= now)
        return 0;
    return static_cast<int>(std::min<pa_usec_t>((at - now + 999) / 1000, INT_MAX));
}

}  // namespace

struct QtPulseMainloop::Loop {
    pa_mainloop_api api{};
    std::vector<std::unique_ptr<pa_io_event>> ios;
    std::vector<std::unique_ptr<pa_time_event>> timers;
    std::vector<std::unique_ptr<pa_defer_event>> defers;
    // Deferred events run once per pass of the event loop while enabled.
    QTimer deferRun;
    QTimer reaper;
    // Callbacks running: nothing is deleted under them.
    int dispatching = 0;

    Loop()
    {
        deferRun.setInterval(0);
        QObject::connect(&deferRun, &QTimer::timeout, &deferRun, [this] { RunDefers(); });
        reaper.setSingleShot(true);
        reaper.setInterval(0);
        QObject::connect(&reaper, &QTimer::timeout, &reaper, [this] { Reap(); });
    }

    ~Loop()
    {
        // As libpulse's own loops do: whatever is left is freed, and its
        // owner told.
        for (auto& e : ios)
            if (!e->dead && e->destroy)
                e->destroy(&api, e.get(), e->userdata);
        for (auto& e : timers)
            if (!e->dead && e->destroy)
                e->destroy(&api, e.get(), e->userdata);
        for (auto& e : defers)
            if (!e->dead && e->destroy)
                e->destroy(&api, e.get(), e->userdata);
    }

    struct Dispatch {
        explicit Dispatch(Loop& loop) : loop_(loop) { ++loop_.dispatching; }
        ~Dispatch() { --loop_.dispatching; }
        Loop& loop_;
    };

    void RunDefers()
    {
        const Dispatch dispatch(*this);
        // Callbacks may add events; those wait for the next pass.
        const std::size_t count = defers.size();
        for (std::size_t i = 0; i < count; ++i) {
            pa_defer_event* e = defers[i].get();
            if (!e->dead && e->enabled)
                e->callback(&api, e, e->userdata);
        }
        UpdateDeferRun();
    }

    void UpdateDeferRun()
    {
        const bool any = std::any_of(defers.begin(), defers.end(), [](const auto& e) { return !e->dead && e->enabled; });
        if (any && !deferRun.isActive())
            deferRun.start();
        else if (!any)
            deferRun.stop();
    }

    template <typename Event>
    static void Sweep(std::vector<std::unique_ptr<Event>>& events)
    {
        std::erase_if(events, [](const auto& e) { return e->dead; });
    }

    void Reap()
    {
        if (dispatching > 0) {
            reaper.start();
            return;
        }
        Sweep(ios);
        Sweep(timers);
        Sweep(defers);
    }

    void ScheduleReap()
    {
        if (!reaper.isActive())
            reaper.start();
    }

    static Loop* Of(pa_mainloop_api* api) { return static_cast<Loop*>(api->userdata); }

    // ---- input and output

    static void EnableIo(pa_io_event* e, pa_io_event_flags_t events)
    {
        const bool read = events & (PA_IO_EVENT_INPUT | PA_IO_EVENT_HANGUP | PA_IO_EVENT_ERROR);
        const bool write = events & PA_IO_EVENT_OUTPUT;
        if (read && !e->readable) {
            e->readable = std::make_unique<QSocketNotifier>(e->fd, QSocketNotifier::Read);
            QObject::connect(e->readable.get(), &QSocketNotifier::activated, e->readable.get(),
                             [e] { e->loop->FireIo(e, PA_IO_EVENT_INPUT); });
        }
        if (write && !e->writable) {
            e->writable = std::make_unique<QSocketNotifier>(e->fd, QSocketNotifier::Write);
            QObject::connect(e->writable.get(), &QSocketNotifier::activated, e->writable.get(),
                             [e] { e->loop->FireIo(e, PA_IO_EVENT_OUTPUT); });
        }
        if (e->readable)
            e->readable->setEnabled(read);
        if (e->writable)
            e->writable->setEnabled(write);
    }

    void FireIo(pa_io_event* e, pa_io_event_flags_t what)
    {
        if (e->dead)
            return;
        const Dispatch dispatch(*this);
        e->callback(&api, e, e->fd, what, e->userdata);
    }

    static pa_io_event* IoNew(pa_mainloop_api* api, int fd, pa_io_event_flags_t events, pa_io_event_cb_t callback,
                              void* userdata)
    {
        Loop* loop = Of(api);
        auto event = std::make_unique<pa_io_event>();
        pa_io_event* e = event.get();
        e->loop = loop;
        e->fd = fd;
        e->callback = callback;
        e->userdata = userdata;
        loop->ios.push_back(std::move(event));
        EnableIo(e, events);
        return e;
    }

    static void IoEnable(pa_io_event* e, pa_io_event_flags_t events) { EnableIo(e, events); }

    static void IoFree(pa_io_event* e)
    {
        e->dead = true;
        if (e->readable)
            e->readable->setEnabled(false);
        if (e->writable)
            e->writable->setEnabled(false);
        if (e->destroy)
            e->destroy(&e->loop->api, e, e->userdata);
        e->loop->ScheduleReap();
    }

    static void IoSetDestroy(pa_io_event* e, pa_io_event_destroy_cb_t destroy) { e->destroy = destroy; }

    // ---- timers

    static void Arm(pa_time_event* e, const timeval* when)
    {
        if (!when) {
            e->timer.stop();
            return;
        }
        e->when = *when;
        e->timer.start(MillisecondsUntil(*when));
    }

    static pa_time_event* TimeNew(pa_mainloop_api* api, const timeval* when, pa_time_event_cb_t callback, void* userdata)
    {
        Loop* loop = Of(api);
        auto event = std::make_unique<pa_time_event>();
        pa_time_event* e = event.get();
        e->loop = loop;
        e->callback = callback;
        e->userdata = userdata;
        e->timer.setSingleShot(true);
        e->timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&e->timer, &QTimer::timeout, &e->timer, [e] {
            if (e->dead)
                return;
            const Dispatch dispatch(*e->loop);
            const timeval when = e->when;
            e->callback(&e->loop->api, e, &when, e->userdata);
        });
        loop->timers.push_back(std::move(event));
        Arm(e, when);
        return e;
    }

    static void TimeRestart(pa_time_event* e, const timeval* when) { Arm(e, when); }

    static void TimeFree(pa_time_event* e)
    {
        e->dead = true;
        e->timer.stop();
        if (e->destroy)
            e->destroy(&e->loop->api, e, e->userdata);
        e->loop->ScheduleReap();
    }

    static void TimeSetDestroy(pa_time_event* e, pa_time_event_destroy_cb_t destroy) { e->destroy = destroy; }

    // ---- deferred events

    static pa_defer_event* DeferNew(pa_mainloop_api* api, pa_defer_event_cb_t callback, void* userdata)
    {
        Loop* loop = Of(api);
        auto event = std::make_unique<pa_defer_event>(pa_defer_event{loop, callback, userdata});
        pa_defer_event* e = event.get();
        loop->defers.push_back(std::move(event));
        loop->UpdateDeferRun();
        return e;
    }

    static void DeferEnable(pa_defer_event* e, int enable)
    {
        e->enabled = enable != 0;
        e->loop->UpdateDeferRun();
    }

    static void DeferFree(pa_defer_event* e)
    {
        e->dead = true;
        e->enabled = false;
        if (e->destroy)
            e->destroy(&e->loop->api, e, e->userdata);
        e->loop->UpdateDeferRun();
        e->loop->ScheduleReap();
    }

    static void DeferSetDestroy(pa_defer_event* e, pa_defer_event_destroy_cb_t destroy) { e->destroy = destroy; }

    // The Qt event loop is not libpulse's to end.
    static void Quit(pa_mainloop_api*, int) {}
};

QtPulseMainloop::QtPulseMainloop() : loop_(std::make_unique<Loop>())
{
    pa_mainloop_api& api = loop_->api;
    api.userdata = loop_.get();
    api.io_new = &Loop::IoNew;
    api.io_enable = &Loop::IoEnable;
    api.io_free = &Loop::IoFree;
    api.io_set_destroy = &Loop::IoSetDestroy;
    api.time_new = &Loop::TimeNew;
    api.time_restart = &Loop::TimeRestart;
    api.time_free = &Loop::TimeFree;
    api.time_set_destroy = &Loop::TimeSetDestroy;
    api.defer_new = &Loop::DeferNew;
    api.defer_enable = &Loop::DeferEnable;
    api.defer_free = &Loop::DeferFree;
    api.defer_set_destroy = &Loop::DeferSetDestroy;
    api.quit = &Loop::Quit;
}

QtPulseMainloop::~QtPulseMainloop() = default;

pa_mainloop_api* QtPulseMainloop::Api()
{
    return &loop_->api;
}

}  // namespace sound
