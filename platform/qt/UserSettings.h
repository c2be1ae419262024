#pragma once
// The user's own settings of the program (recent files, the picker's last
// folder), apart from the settings file of the guard.
#include <QSettings>

inline QSettings UserSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Hauntwatch"),
                     QStringLiteral("hauntwatch"));
}
