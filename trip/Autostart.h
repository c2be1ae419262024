#pragma once
// "Guard Again After a Restart": the XDG autostart entry that starts
// Hauntwatch with --resume when the person logs in
// ($XDG_CONFIG_HOME/autostart/hauntwatch.desktop), and the user unit of the
// desktop's service manager ($XDG_CONFIG_HOME/systemd/user/hauntwatch.service)
// that the entry starts where a user manager answers, so that a program that
// crashes or hangs is started again, on duty, a few seconds later.
#include <QString>
#include <QStringList>

namespace trip {

inline constexpr char kServiceUnitName[] = "hauntwatch.service";

QString AutostartEntryPath();
QString ServiceUnitPath();
bool AutostartEntryExists();

// One argument quoted for a desktop entry's Exec key: the quoting rule
// (double quotes, with ", `, $ and \ escaped), "%" doubled against field
// codes, then the string escapes every value gets (so a backslash in the
// argument ends up as four).
QString QuoteExecArgument(const QString& argument);

// One argument of a unit's ExecStart= or Environment=: double-quoted with C
// escapes, "%" doubled against specifiers and, for ExecStart=, "$" doubled
// against the manager's own variable expansion.
QString QuoteUnitArgument(const QString& argument, bool forExecStart);

// The entry's text.  At login it asks the user manager to start the unit
// (with the session's display handed to it first); where no manager
// answers, or the unit cannot start, it runs `program --resume` itself, with
// HAUNTWATCH_HOME when a home folder is given.
QString AutostartEntryText(const QString& program, const QString& home);
// The unit's text: `program --resume` under the notify protocol and the
// watchdog, restarted on failure, stopped with the graphical session.
QString ServiceUnitText(const QString& program, const QString& home);

// Writes the entry and the unit for the running program (with
// HAUNTWATCH_HOME when it is set), or removes both; false with the reason on
// failure.
bool WriteAutostartEntry(QString* error);
bool RemoveAutostartEntry(QString* error);

}  // namespace trip
