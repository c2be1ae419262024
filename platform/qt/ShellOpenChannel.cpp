#include "ShellOpenChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace {

// A request is the path's bytes and a NUL, which no path contains; options
// go the same way before it.
constexpr char kEndOfRequest = '\0';
// Paths are short; a peer that sends more is not one of us.
constexpr qint64 kLongestRequest = 64 * 1024;
constexpr int kConnectAttempts = 50;
constexpr int kConnectWaitMs = 100;

QString RuntimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
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
    basePath_ = RuntimeFolder() + QStringLiteral("/hauntwatch-") + QString::fromLatin1(digest);
}

ShellOpenChannel::~ShellOpenChannel() = default;

bool ShellOpenChannel::Claim()
{
    lock_ = std::make_unique<QLockFile>(basePath_ + QStringLiteral(".lock"));
    // The program runs for days: only a lock whose process is gone is stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        const bool heldByOther = lock_->error() == QLockFile::LockFailedError;
        lock_.reset();
        // A runtime folder we cannot write to must not keep the program from starting.
        if (!heldByOther)
            qWarning("hauntwatch: cannot lock %s; not checking for a running Hauntwatch", qPrintable(basePath_));
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
