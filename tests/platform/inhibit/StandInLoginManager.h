#pragma once
// Answers Inhibit as logind does, with the write end of a pipe whose read end
// it keeps: the read end hangs up once every copy of the lock is closed.
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QStringList>
#include <utility>
#include <vector>

class StandInLoginManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~StandInLoginManager() override;

    // Locks given out whose every copy is not yet closed, replied or not.
    int OpenLocks() const;
    void SendHeldReplies();

    std::vector<QStringList> requests;  // what, who, why, mode of each call
    bool holdReplies = false;

public Q_SLOTS:
    Q_SCRIPTABLE QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                                 const QString& mode);
    // Calls from one sender arrive in order: when this returns, every
    // earlier Inhibit of that sender has been seen.
    Q_SCRIPTABLE void Sync() {}

private:
    std::vector<int> readEnds_;
    std::vector<std::pair<QDBusMessage, QDBusUnixFileDescriptor>> heldReplies_;
    QDBusConnection replyBus_{QString()};
};
