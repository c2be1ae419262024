#include "RemoteSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "UserSettings.h"

namespace remote {

namespace {

const QString kGroup = QStringLiteral("Remote");

bool Fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

}  // namespace

RemoteSettings LoadRemoteSettings()
{
    QSettings settings = UserSettings();
    settings.beginGroup(kGroup);
    RemoteSettings remote;
    remote.broker = settings.value(QStringLiteral("Broker")).toString();
    remote.user = settings.value(QStringLiteral("User")).toString();
    remote.password = settings.value(QStringLiteral("Password")).toString();
    remote.name = settings.value(QStringLiteral("Name")).toString();
    remote.caFile = settings.value(QStringLiteral("CAFile")).toString();
    remote.publishDetails = settings.value(QStringLiteral("PublishDetails"), false).toBool();
    return remote;
}

bool SaveRemoteSettings(const RemoteSettings& remote, QString* error)
{
    // Private before the password is in it, not only after.
    if (!KeepUserSettingsPrivate(error))
        return false;
    QSettings settings = UserSettings();
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("Broker"), remote.broker.trimmed());
    settings.setValue(QStringLiteral("User"), remote.user);
    settings.setValue(QStringLiteral("Password"), remote.password);
    settings.setValue(QStringLiteral("Name"), remote.name.trimmed());
    settings.setValue(QStringLiteral("CAFile"), remote.caFile.trimmed());
    settings.setValue(QStringLiteral("PublishDetails"), remote.publishDetails);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return Fail(error, QStringLiteral("the settings file %1 could not be written").arg(settings.fileName()));
    return KeepUserSettingsPrivate(error);
}

bool KeepUserSettingsPrivate(QString* error)
{
    const QString fileName = UserSettings().fileName();
    const QByteArray path = QFile::encodeName(fileName);
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return Fail(error, QStringLiteral("the folder of %1 could not be made").arg(fileName));
    // O_EXCL: a file that is already there is only given its mode below.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    else if (errno != EEXIST)
        return Fail(error, QStringLiteral("%1 could not be made: %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
    if (::chmod(path.constData(), 0600) != 0)
        return Fail(error, QStringLiteral("%1 could not be made private: %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
    return true;
}

QString DeviceName(const RemoteSettings& settings)
{
    const QString name = settings.name.trimmed();
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

QStringList LoadPublishedButtons()
{
    QSettings settings = UserSettings();
    return settings.value(kGroup + QStringLiteral("/Buttons")).toStringList();
}

void SavePublishedButtons(const QStringList& ids)
{
    QSettings settings = UserSettings();
    settings.setValue(kGroup + QStringLiteral("/Buttons"), ids);
}

}  // namespace remote
