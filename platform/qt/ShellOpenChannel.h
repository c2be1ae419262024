#pragma once
// One program per home folder.  The first start claims a lock and a local
// socket in the user's runtime folder ($XDG_RUNTIME_DIR, else
// $XDG_CACHE_HOME/hauntwatch/run), both named after the home folder; a
// later start with the same home folder hands its file to that program
// instead of running a second guard.  A folder, lock or socket that is not
// the user's alone is not used: the program then runs on its own.
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

class ShellOpenChannel : public QObject {
    Q_OBJECT
public:
    explicit ShellOpenChannel(const QString& homeFolder);
    ~ShellOpenChannel() override;

    // True when this process is now the program for the home folder (and
    // listens for open requests, unless the runtime folder, the lock or the
    // socket is not the user's alone); false when another one runs.
    bool Claim();
    // Sends a file (an empty path: no file) to the running program, after
    // the options of this start that it should act on ("--resume").  False
    // when it cannot be reached.
    bool Forward(const QString& path, const QStringList& options = {});

    QString SocketPath() const { return basePath_ + QStringLiteral(".socket"); }

Q_SIGNALS:
    // An absolute path, or empty for a start without a file.
    void openRequested(const QString& path);
    // An option a later start handed over, before its path.
    void optionHandedOver(const QString& option);

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket& socket, QByteArray& pending);

    QString basePath_;
    QString folderTrouble_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};
