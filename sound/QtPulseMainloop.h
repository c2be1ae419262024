#pragma once
// libpulse's main-loop interface on the Qt event loop of the thread that
// makes it.  Every libpulse callback then runs on that thread between Qt's
// own events: the sound server's answers need no lock and no hand-over, and
// nothing ever waits for the server.
#include <pulse/mainloop-api.h>

#include <memory>

namespace sound {

class QtPulseMainloop final {
public:
    QtPulseMainloop();
    // Only after every context made on it has gone.
    ~QtPulseMainloop();
    QtPulseMainloop(const QtPulseMainloop&) = delete;
    QtPulseMainloop& operator=(const QtPulseMainloop&) = delete;

    pa_mainloop_api* Api();

    struct Loop;

private:
    std::unique_ptr<Loop> loop_;
};

}  // namespace sound
