#pragma once
// The remote control's part of the person's settings file (group Remote of
// ~/.config/Hauntwatch/hauntwatch.conf).  The file then holds a password, so
// it is kept readable by its owner alone.
#include <QString>
#include <QStringList>

namespace remote {

struct RemoteSettings {
    QString broker;  // mqtt://host:port or mqtts://host:port; empty: off
    QString user;
    QString password;
    QString name;    // the device's name in Home Assistant; empty: the host name
    QString caFile;  // empty: the system's certificate store
    // The away dates and the noises' paths on the broker; off: whoever may
    // read it learns only whether a span is set and the noises' names.
    bool publishDetails = false;

    bool operator==(const RemoteSettings&) const = default;
};

RemoteSettings LoadRemoteSettings();
// Writes the group, syncs and puts the file back to mode 0600.  False (and
// why) when the file could not be written or kept private.
bool SaveRemoteSettings(const RemoteSettings& settings, QString* error = nullptr);

// The settings file at mode 0600, created empty with that mode when missing.
// Qt writes the file anew each time anyone saves a setting, but it gives the
// new file the old one's mode: a file that starts at 0600 stays so, whoever
// writes it later (recent files, the picker's folder, the sound output).
bool KeepUserSettingsPrivate(QString* error = nullptr);

// The ids of the noise buttons published on the broker, so that those whose
// noise has gone can be removed at a later connection.
QStringList LoadPublishedButtons();
void SavePublishedButtons(const QStringList& ids);

// The name the device goes by: the setting, else the machine's host name.
QString DeviceName(const RemoteSettings& settings);

}  // namespace remote
