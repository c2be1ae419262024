#include "Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace trip {

QString AutostartEntryPath()
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the desktop does.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/hauntwatch.desktop");
}

bool AutostartEntryExists()
{
    return QFileInfo::exists(AutostartEntryPath());
}

QString QuoteExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    quoted.replace(u'%', QStringLiteral("%%"));
    QString escaped;
    for (const QChar c : quoted) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

QString AutostartEntryText(const QString& program, const QString& home)
{
    QStringList exec;
    if (!home.isEmpty())
        exec << QStringLiteral("env") << QuoteExecArgument(QStringLiteral("HAUNTWATCH_HOME=") + home);
    exec << QuoteExecArgument(program) << QStringLiteral("--resume");
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Hauntwatch\n"
                          "Comment=Puts Mervo back on duty if he was guarding when the computer went off\n"
                          "Exec=%1\n"
                          "Icon=hauntwatch\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(exec.join(u' '));
}

bool WriteAutostartEntry(QString* error)
{
    const QString path = AutostartEntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // The session starts the entry in another folder than this one.
    QString home = qEnvironmentVariable("HAUNTWATCH_HOME");
    if (!home.isEmpty())
        home = QDir(home).absolutePath();
    file.write(AutostartEntryText(QCoreApplication::applicationFilePath(), home).toUtf8());
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool RemoveAutostartEntry(QString* error)
{
    QFile file(AutostartEntryPath());
    if (!file.exists() || file.remove())
        return true;
    *error = file.errorString();
    return false;
}

}  // namespace trip
