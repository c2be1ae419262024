#include "Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

namespace trip {

namespace {

QString ConfigFolder()
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the desktop does.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config;
}

bool WriteWhole(const QString& path, const QString& text, QString* error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(text.toUtf8());
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool RemoveIfThere(const QString& path, QString* error)
{
    QFile file(path);
    // A link whose unit went already is still a link to remove.
    if ((!file.exists() && !QFileInfo(path).isSymLink()) || file.remove())
        return true;
    *error = file.errorString();
    return false;
}

// A user manager that runs already would keep an older copy of the unit
// until it is told; where none runs this fails, unseen and harmlessly.
void TellTheUserManager()
{
    QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("--user"), QStringLiteral("daemon-reload")});
}

// The session starts the entry and the unit in another folder than this one.
QString HomeToName()
{
    const QString home = qEnvironmentVariable("HAUNTWATCH_HOME");
    return home.isEmpty() ? home : QDir(home).absolutePath();
}

}  // namespace

QString AutostartEntryPath()
{
    return ConfigFolder() + QStringLiteral("/autostart/hauntwatch.desktop");
}

QString ServiceUnitPath()
{
    return ConfigFolder() + QStringLiteral("/systemd/user/") + QString::fromLatin1(kServiceUnitName);
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

QString QuoteUnitArgument(const QString& argument, bool expandedArgument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'\\')
            quoted += u'\\';
        if (c == u'\n')
            quoted += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)  // a raw \r would end the line too
            quoted += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else if (c == u'%')
            quoted += QStringLiteral("%%");
        else if (c == u'$' && expandedArgument)
            quoted += QStringLiteral("$$");
        else
            quoted += c;
    }
    return quoted + u'"';
}

std::optional<QString> WhatTheUnitCannotCarry(const QString& program, const QString& home)
{
    auto holds = [](const QString& what, const QString& path, const QString& character) {
        return QStringLiteral("%1 %2 holds %3, which the desktop's service manager cannot run").arg(what, path, character);
    };
    for (const QChar c : program) {
        if (c == u'"')
            return holds(QStringLiteral("The program's path"), program, QStringLiteral("a double quote (\")"));
        if (c == u'\'')
            return holds(QStringLiteral("The program's path"), program, QStringLiteral("a single quote (')"));
        if (c == u'\\')
            return holds(QStringLiteral("The program's path"), program, QStringLiteral("a backslash (\\)"));
    }
    for (const bool isProgram : {true, false}) {
        const QString& path = isProgram ? program : home;
        for (const QChar c : path)
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                return holds(isProgram ? QStringLiteral("The program's path") : QStringLiteral("The home folder"),
                             QString(path).replace(c, u'?'),
                             QStringLiteral("a control character (0x%1)").arg(c.unicode(), 2, 16, QLatin1Char('0')));
    }
    return std::nullopt;
}

QString AutostartEntryText(const QString& program, const QString& home)
{
    // The program and the home folder reach the script as its arguments, so
    // nothing in their names is ever read as shell.  The display is handed to
    // the user manager first: desktops that never start the graphical
    // session's target do not hand it over themselves.
    // (The home is exported rather than given to env, which would take a
    // program path with a "=" in it for one more variable.)
    QString script = home.isEmpty() ? QString() : QStringLiteral("export HAUNTWATCH_HOME=\"$1\"; ");
    script += QStringLiteral(
        "systemctl --user import-environment DISPLAY XAUTHORITY WAYLAND_DISPLAY 2>/dev/null; "
        "systemctl --user start %1 2>/dev/null || exec \"$0\" --resume").arg(QString::fromLatin1(kServiceUnitName));
    QStringList exec{QStringLiteral("sh"), QStringLiteral("-c"), QuoteExecArgument(script), QuoteExecArgument(program)};
    if (!home.isEmpty())
        exec << QuoteExecArgument(home);
    // Sessions that make units of their entries start the unit by their
    // autostart target instead (see hauntwatch.service).
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Hauntwatch\n"
                          "Comment=Puts Mervo back on duty if he was guarding when the computer went off\n"
                          "Exec=%1\n"
                          "Icon=hauntwatch\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n"
                          "X-systemd-skip=true\n")
        .arg(exec.join(u' '));
}

QString ServiceUnitText(const QString& program, const QString& home)
{
    QString text = QStringLiteral(
        "[Unit]\n"
        "Description=Hauntwatch: Mervo on duty while you are away\n"
        // Stopped, not restarted, when the person logs out.
        "PartOf=graphical-session.target\n"
        "After=graphical-session.target\n"
        // A display that has gone for good ends the restarts after a few
        // tries; the duty record stays for the next login.
        "StartLimitIntervalSec=120\n"
        "StartLimitBurst=4\n"
        "\n"
        "[Service]\n"
        "Type=notify\n"
        "ExecStart=%1 --resume\n");
    text = text.arg(QuoteUnitArgument(program, false));
    if (!home.isEmpty())
        text += QStringLiteral("Environment=%1\n").arg(QuoteUnitArgument(QStringLiteral("HAUNTWATCH_HOME=") + home, false));
    text += QStringLiteral("Restart=on-failure\n"
                           "RestartSec=5s\n"
                           "WatchdogSec=60s\n"
                           "\n"
                           // Where the session runs its autostart as units.
                           "[Install]\n"
                           "WantedBy=xdg-desktop-autostart.target\n");
    return text;
}

QString AutostartWantsPath()
{
    return ConfigFolder() + QStringLiteral("/systemd/user/xdg-desktop-autostart.target.wants/") +
           QString::fromLatin1(kServiceUnitName);
}

bool WriteAutostartEntry(QString* error)
{
    return WriteAutostartEntry(QCoreApplication::applicationFilePath(), HomeToName(), error);
}

bool WriteAutostartEntry(const QString& program, const QString& home, QString* error)
{
    if (const std::optional<QString> trouble = WhatTheUnitCannotCarry(program, home)) {
        *error = *trouble;
        return false;
    }
    // The unit first: an entry that names a unit not there yet would run
    // the program unsupervised at the next login.
    if (!WriteWhole(ServiceUnitPath(), ServiceUnitText(program, home), error))
        return false;
    // As `systemctl --user enable` would, which needs a running manager.
    const QString wants = AutostartWantsPath();
    QDir().mkpath(QFileInfo(wants).absolutePath());
    QFile::remove(wants);
    if (!QFile::link(ServiceUnitPath(), wants)) {
        *error = QStringLiteral("cannot link %1 to the unit").arg(wants);
        return false;
    }
    TellTheUserManager();
    return WriteWhole(AutostartEntryPath(), AutostartEntryText(program, home), error);
}

bool RemoveAutostartEntry(QString* error)
{
    if (!RemoveIfThere(AutostartEntryPath(), error))
        return false;
    const bool removed = RemoveIfThere(AutostartWantsPath(), error) && RemoveIfThere(ServiceUnitPath(), error);
    TellTheUserManager();
    return removed;
}

}  // namespace trip
