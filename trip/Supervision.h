#pragma once
// Under the desktop's service manager (the user unit "Guard Again After a
// Restart" writes), the program speaks the notify protocol: ready once the
// window is up, a heartbeat from the window thread while it lives, stopping
// when the person quits.  A window thread that stops beating (a hang) is
// ended and started again by the manager, as a crash is.  Without a
// manager's socket every call does nothing.
#include <QObject>
#include <QTimer>
#include <chrono>
#include <string>

namespace trip {

// What the manager passed in the environment, taken out of it at once so
// that nothing the guard starts (and no library) inherits it: read before
// any thread runs.
struct ServiceManagerLink {
    std::string socket;                     // NOTIFY_SOCKET; empty when unsupervised
    std::chrono::microseconds watchdog{0};  // WATCHDOG_USEC for this process; 0 when none
};
ServiceManagerLink TakeServiceManagerLink();

class Supervision final : public QObject {
    Q_OBJECT
public:
    explicit Supervision(ServiceManagerLink link);
    ~Supervision() override;
    Supervision(const Supervision&) = delete;
    Supervision& operator=(const Supervision&) = delete;

    bool Supervised() const { return fd_ >= 0; }
    // Supervised with a watchdog period: only then are beats wanted.
    bool Watched() const { return Supervised() && watchdog_.count() > 0; }
    // How often the window thread says it is alive: a quarter of the
    // watchdog's period, so a beat late by a busy moment is still in time.
    std::chrono::milliseconds BeatSpacing() const;

    void Ready();
    void Stopping();
    // A beat, unless the last one came less than half the spacing ago.
    void Alive();

private:
    void Send(const std::string& message);

    int fd_ = -1;
    std::string address_;
    std::chrono::microseconds watchdog_;
    QTimer heartbeat_;
    std::chrono::steady_clock::time_point lastBeat_{};
};

}  // namespace trip
