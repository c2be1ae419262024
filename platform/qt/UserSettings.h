#pragma once
// The user's own settings of the program (recent files, the picker's last
// folder, the sound output, the remote control), apart from the settings
// file of the guard.  A home folder named by HAUNTWATCH_HOME is a guard of
// its own, with its own broker, device name and buttons: its settings are
// hauntwatch.conf in that folder.  The default home keeps Qt's place,
// ~/.config/Hauntwatch/hauntwatch.conf.
#include <QFile>
#include <QSettings>

#include "HomeFolder.h"

inline QSettings UserSettings()
{
    if (!qEnvironmentVariableIsEmpty("HAUNTWATCH_HOME"))
        return QSettings(QFile::decodeName(QByteArray::fromStdString(platform::HomeFolder())) +
                             QStringLiteral("/hauntwatch.conf"),
                         QSettings::IniFormat);
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Hauntwatch"),
                     QStringLiteral("hauntwatch"));
}
