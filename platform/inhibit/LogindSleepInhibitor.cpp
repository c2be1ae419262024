#include "LogindSleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <cstdio>

namespace platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kWhat = QStringLiteral("sleep:idle");
const QString kWho = QStringLiteral("Hauntwatch");
const QString kWhy = QStringLiteral("Guarding the house: noises are scheduled");
const QString kMode = QStringLiteral("block");

// Long enough for a busy login manager; the guard never waits for it anyway.
constexpr int kReplyTimeoutMs = 10000;

// Once per process: a machine without a login manager stays without one, and
// a line at every guard start would only be noise.
void WarnOnce(const QString& reason)
{
    static bool warned = false;
    if (warned)
        return;
    warned = true;
    std::fprintf(stderr, "hauntwatch: cannot keep the machine awake while the guard is on (%s)\n",
                 reason.simplified().toLocal8Bit().constData());
}

}  // namespace

LogindSleepInhibitor::~LogindSleepInhibitor()
{
    // A reply still on its way is dropped by the bus, lock and all; lock_
    // closes with this object.
    delete pending_;
}

void LogindSleepInhibitor::Hold()
{
    if (wanted_)
        return;
    wanted_ = true;
    // A request still under way from before a quick release brings the lock
    // for this hold too: asking again would get a second one.
    if (!pending_)
        AskLoginManager();
}

void LogindSleepInhibitor::Release()
{
    if (!wanted_)
        return;
    wanted_ = false;
    lock_ = QDBusUnixFileDescriptor();
}

void LogindSleepInhibitor::AskLoginManager()
{
    // FIXME: Qt never reconnects the process's system bus connection: after a
    // restart of the system's message bus the guard runs unprotected until
    // the program is started again.
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        const QString error = bus.lastError().message();
        WarnOnce(error.isEmpty() ? QStringLiteral("no system bus") : QStringLiteral("no system bus: ") + error);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
    call << kWhat << kWho << kWhy << kMode;
    // A watcher reports an answer that came before it was made too (Qt's
    // bus thread may have it by the time asyncCall returns), from the event
    // loop, as it reports any other.
    pending_ = new QDBusPendingCallWatcher(bus.asyncCall(call, kReplyTimeoutMs));
    QObject::connect(pending_, &QDBusPendingCallWatcher::finished, pending_,
                     [this](QDBusPendingCallWatcher* watcher) { OnReply(watcher); });
}

void LogindSleepInhibitor::OnReply(QDBusPendingCallWatcher* watcher)
{
    pending_ = nullptr;
    // The reply keeps a copy of the lock until the watcher is gone.
    watcher->deleteLater();
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
    if (reply.isError()) {
        WarnOnce(reply.error().name() + QStringLiteral(": ") + reply.error().message());
        return;
    }
    const QDBusUnixFileDescriptor lock = reply.value();
    if (!lock.isValid()) {
        WarnOnce(QStringLiteral("the login manager sent no lock"));
        return;
    }
    // Released before the reply came: the lock closes with the reply.
    if (wanted_)
        lock_ = lock;
}

}  // namespace platform
