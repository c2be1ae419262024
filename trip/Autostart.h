#pragma once
// The XDG autostart entry that starts Hauntwatch with --resume when the
// person logs in: $XDG_CONFIG_HOME/autostart/hauntwatch.desktop.
#include <QString>
#include <QStringList>

namespace trip {

QString AutostartEntryPath();
bool AutostartEntryExists();

// One argument quoted for a desktop entry's Exec key: the quoting rule
// (double quotes, with ", `, $ and \ escaped), "%" doubled against field
// codes, then the string escapes every value gets (so a backslash in the
// argument ends up as four).
QString QuoteExecArgument(const QString& argument);

// The entry's text: `program --resume`, through `env HAUNTWATCH_HOME=...`
// when a home folder is given.
QString AutostartEntryText(const QString& program, const QString& home);

// Writes the entry for the running program (with HAUNTWATCH_HOME when it is
// set) or removes it; false with the reason on failure.
bool WriteAutostartEntry(QString* error);
bool RemoveAutostartEntry(QString* error);

}  // namespace trip
