#include "ScreenInhibitor.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace platform {

namespace {

const QString kWhy = QStringLiteral("Guarding the house: movies on the schedule must be seen");
// GNOME's flags: 4 stops suspending the session, 8 its going idle (the
// screen blanking and locking).
constexpr uint kSuspendAndIdle = 4 | 8;
constexpr int kReplyTimeoutMs = 10000;

// The service is simply not there; anything else is a refusal.
bool Absent(const QDBusError& error)
{
    return error.type() == QDBusError::ServiceUnknown ||
           error.name() == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           error.type() == QDBusError::UnknownObject || error.type() == QDBusError::UnknownMethod ||
           error.type() == QDBusError::UnknownInterface;
}

template <class OnAnswer>
void Send(const QString& connection, const QDBusMessage& call, OnAnswer onAnswer)
{
    QDBusConnection bus(connection);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kReplyTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [onAnswer](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         onAnswer(QDBusPendingReply<uint>(*finished));
                     });
}

}  // namespace

SessionScreenInhibitor::SessionScreenInhibitor(Refusal refused) : refused_(std::move(refused)) {}

SessionScreenInhibitor::~SessionScreenInhibitor()
{
    Release();
}

void SessionScreenInhibitor::Hold()
{
    if (wanted_)
        return;
    wanted_ = true;
    ++attempt_;
    connectionName_ = QStringLiteral("hauntwatch-screen-%1").arg(attempt_);
    const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_);
    if (!bus.isConnected()) {
        Refuse(QStringLiteral("no session bus: ") + bus.lastError().message());
        return;
    }
    AskGnome();
}

void SessionScreenInhibitor::Release()
{
    if (!wanted_)
        return;
    wanted_ = false;
    ++attempt_;
    holder_.clear();
    // The desktop drops every inhibitor of a connection that goes.
    QDBusConnection::disconnectFromBus(connectionName_);
}

// With an application id: gnome-session refuses a hold it cannot tie to one
// (which is what the desktop portal sends for a program outside a sandbox).
void SessionScreenInhibitor::AskGnome()
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.SessionManager"),
                                                      QStringLiteral("/org/gnome/SessionManager"),
                                                      QStringLiteral("org.gnome.SessionManager"),
                                                      QStringLiteral("Inhibit"));
    call << QStringLiteral("hauntwatch") << uint(0) << kWhy << kSuspendAndIdle;
    const unsigned attempt = attempt_;
    Send(connectionName_, call, [this, attempt](const QDBusPendingReply<uint>& reply) {
        if (attempt != attempt_)
            return;
        if (!reply.isError())
            holder_ = "GNOME";
        else if (Absent(reply.error()))
            AskScreenSaver(reply.error().message());
        else
            Refuse(QStringLiteral("GNOME's session manager refused: ") + reply.error().message());
    });
}

void SessionScreenInhibitor::AskScreenSaver(const QString& whyNotGnome)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                                      QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                      QStringLiteral("org.freedesktop.ScreenSaver"),
                                                      QStringLiteral("Inhibit"));
    call << QStringLiteral("Hauntwatch") << kWhy;
    const unsigned attempt = attempt_;
    Send(connectionName_, call, [this, attempt, whyNotGnome](const QDBusPendingReply<uint>& reply) {
        if (attempt != attempt_)
            return;
        if (!reply.isError())
            holder_ = "screen saver";
        else if (Absent(reply.error()))
            Refuse(QStringLiteral("neither GNOME's session manager nor a screen saver service answers (") +
                   whyNotGnome + QStringLiteral("; ") + reply.error().message() + QStringLiteral(")"));
        else
            Refuse(QStringLiteral("the screen saver service refused: ") + reply.error().message());
    });
}

void SessionScreenInhibitor::Refuse(const QString& why)
{
    if (refused_)
        refused_(why.simplified().toStdString());
}

}  // namespace platform
