#pragma once
// The login manager's (logind's) sleep and idle inhibitor lock, asked for on
// the system bus.  The lock is a file descriptor: logind lets the machine
// sleep again once every copy of it is closed.
#include <QDBusUnixFileDescriptor>

#include "SleepInhibitor.h"

class QDBusPendingCallWatcher;

namespace platform {

class LogindSleepInhibitor final : public SleepInhibitor {
public:
    LogindSleepInhibitor() = default;
    ~LogindSleepInhibitor() override;
    LogindSleepInhibitor(const LogindSleepInhibitor&) = delete;
    LogindSleepInhibitor& operator=(const LogindSleepInhibitor&) = delete;

    // Sends the request and returns at once; the lock comes with the reply.
    // Without a bus or a login manager the guard simply runs unprotected,
    // after one warning on stderr for the whole process.
    void Hold() override;
    void Release() override;
    // True from Hold to Release, whether or not the login manager granted it.
    bool IsHeld() const override { return wanted_; }

    bool HoldsLock() const { return lock_.isValid(); }
    bool AwaitsReply() const { return pending_ != nullptr; }

private:
    void AskLoginManager();
    void OnReply(QDBusPendingCallWatcher* watcher);

    bool wanted_ = false;
    QDBusPendingCallWatcher* pending_ = nullptr;
    QDBusUnixFileDescriptor lock_;
};

}  // namespace platform
