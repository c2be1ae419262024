#include "ShellOpenChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// A request is the path's bytes and a NUL, which no path contains; options
// go the same way before it.
constexpr char kEndOfRequest = '\0';
// Paths are short; a peer that sends more is not one of us.
constexpr qint64 kLongestRequest = 64 * 1024;
constexpr int kConnectAttempts = 50;
constexpr int kConnectWaitMs = 100;

// Somebody else's lock would keep this program from guarding, and somebody
// else's socket would be handed its arguments and a resume: both live only
// where no other user may enter, never in the shared temporary folder.
QString RuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime))
        return QDir::cleanPath(runtime);
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = QDir::cleanPath(cache) + QStringLiteral("/hauntwatch/run");
    QDir().mkpath(QFileInfo(folder).absolutePath());
    return folder;
}

// Why `path` is not this user's alone: a folder or entry of another owner,
// or one others may write to (a folder others may even enter).  Empty when it
// is ours, or, for an entry, not there.
QString NotOurs(const QString& path, mode_t type)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return type == S_IFDIR ? QStringLiteral("%1 cannot be used: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)))
                               : QString();
    const mode_t othersMay = type == S_IFDIR ? 077 : 022;
    if ((info.st_mode & S_IFMT) != type)
        return QStringLiteral("%1 is not a %2").arg(path, type == S_IFDIR ? QStringLiteral("folder")
                                                          : type == S_IFSOCK ? QStringLiteral("socket")
                                                                             : QStringLiteral("file"));
    if (info.st_uid != ::geteuid() || (info.st_mode & othersMay) != 0)
        return QStringLiteral("%1 is not yours alone (owner %2, mode %3)")
            .arg(path)
            .arg(info.st_uid)
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

// Said once on standard error (the journal, under the service manager).
void RunningAlone(const QString& why)
{
    qWarning("hauntwatch: %s: not using it; running on its own, without looking for a running Hauntwatch",
             qPrintable(why));
}

// The same folder reached through a symbolic link is the same home.
QString FolderIdentity(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

}  // namespace

ShellOpenChannel::ShellOpenChannel(const QString& homeFolder)
{
    const QByteArray digest =
        QCryptographicHash::hash(FolderIdentity(homeFolder).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString folder = RuntimeFolder();
    // Made private, as the desktop's own runtime folder is, when it is missing.
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    basePath_ = folder + QStringLiteral("/hauntwatch-") + QString::fromLatin1(digest);
    folderTrouble_ = NotOurs(folder, S_IFDIR);
}

ShellOpenChannel::~ShellOpenChannel() = default;

bool ShellOpenChannel::Claim()
{
    const QString lockPath = basePath_ + QStringLiteral(".lock");
    if (const QString trouble = !folderTrouble_.isEmpty() ? folderTrouble_ : NotOurs(lockPath, S_IFREG); !trouble.isEmpty()) {
        RunningAlone(trouble);
        return true;
    }
    lock_ = std::make_unique<QLockFile>(lockPath);
    // The program runs for days: only a lock whose process is gone is stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        const bool heldByOther = lock_->error() == QLockFile::LockFailedError;
        lock_.reset();
        // A runtime folder we cannot write to must not keep the program from starting.
        if (!heldByOther)
            qWarning("hauntwatch: cannot lock %s; not checking for a running Hauntwatch", qPrintable(basePath_));
        if (heldByOther) {
            // Whoever listens there is handed this start's file and its resume.
            if (const QString trouble = NotOurs(SocketPath(), S_IFSOCK); !trouble.isEmpty()) {
                RunningAlone(trouble);
                return true;
            }
        }
        return !heldByOther;
    }
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left here belongs to a program that died.
    QLocalServer::removeServer(SocketPath());
    connect(server_.get(), &QLocalServer::newConnection, this, &ShellOpenChannel::OnNewConnection);
    if (!server_->listen(SocketPath()))
        qWarning("hauntwatch: cannot listen on %s: %s", qPrintable(SocketPath()), qPrintable(server_->errorString()));
    return true;
}

void ShellOpenChannel::OnNewConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto pending = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, pending] { OnReadyRead(*socket, *pending); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Bytes may have arrived before the connection was taken.
        if (socket->bytesAvailable() > 0)
            OnReadyRead(*socket, *pending);
    }
}

void ShellOpenChannel::OnReadyRead(QLocalSocket& socket, QByteArray& pending)
{
    pending += socket.readAll();
    qsizetype end;
    while ((end = pending.indexOf(kEndOfRequest)) >= 0) {
        const QByteArray request = pending.left(end);
        pending.remove(0, end + 1);
        // A path sent here is absolute, a "c:\\" name or empty: only an
        // option begins with "--".
        if (request.startsWith("--"))
            Q_EMIT optionHandedOver(QString::fromUtf8(request));
        else
            Q_EMIT openRequested(QFile::decodeName(request));
    }
    if (pending.size() > kLongestRequest)
        socket.abort();
}

bool ShellOpenChannel::Forward(const QString& path, const QStringList& options)
{
    QLocalSocket socket;
    // The running program may still be between taking its lock and listening.
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        socket.connectToServer(SocketPath());
        if (socket.waitForConnected(kConnectWaitMs))
            break;
        QThread::msleep(kConnectWaitMs);
    }
    if (socket.state() != QLocalSocket::ConnectedState)
        return false;
    QByteArray request;
    for (const QString& option : options)
        request.append(option.toUtf8()).append(kEndOfRequest);
    request.append(QFile::encodeName(path)).append(kEndOfRequest);
    socket.write(request);
    if (!socket.waitForBytesWritten(2000) && socket.bytesToWrite() > 0)
        return false;
    socket.disconnectFromServer();
    return true;
}
