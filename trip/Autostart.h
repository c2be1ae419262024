#pragma once
// "Guard Again After a Restart": the XDG autostart entry that starts
// Hauntwatch with --resume when the person logs in
// ($XDG_CONFIG_HOME/autostart/hauntwatch.desktop), and the user unit of the
// desktop's service manager ($XDG_CONFIG_HOME/systemd/user/hauntwatch.service)
// that the entry starts where a user manager answers, so that a program that
// crashes or hangs is started again, on duty, a few seconds later.  Sessions
// that run their autostart entries as units (GNOME, Plasma under systemd)
// start the unit itself, wanted by their autostart target, and leave the
// entry alone: systemd's generator of such units cannot carry a "$" or a
// backslash in a command.
#include <QString>
#include <QStringList>
#include <optional>

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

// One word of a unit's ExecStart= or Environment=: double-quoted with C
// escapes, "%" doubled against specifiers and, for an argument of ExecStart=
// after the executable, "$" doubled against the manager's own variable
// expansion (the executable itself is not expanded, and a "$$" there stays
// two).
QString QuoteUnitArgument(const QString& argument, bool expandedArgument);

// Why the unit cannot run `program` with `home` ("the program's path holds
// a single quote ('), which ..."), or nothing when it can: systemd refuses an
// executable with a quote, a backslash or a control character in its name,
// and a desktop entry cannot hold a control character.
std::optional<QString> WhatTheUnitCannotCarry(const QString& program, const QString& home);

// The entry's text.  At login it asks the user manager to start the unit
// (with the session's display handed to it first); where no manager
// answers, or the unit cannot start, it runs `program --resume` itself, with
// HAUNTWATCH_HOME when a home folder is given.
QString AutostartEntryText(const QString& program, const QString& home);
// The unit's text: `program --resume` under the notify protocol and the
// watchdog, restarted on failure, stopped with the graphical session.
QString ServiceUnitText(const QString& program, const QString& home);

// The link that has the sessions' autostart target want the unit.
QString AutostartWantsPath();

// Writes the entry and the unit for the running program (with
// HAUNTWATCH_HOME when it is set), or for `program` and `home`, or removes
// them; false with the reason on failure.  Nothing is written for a path the
// unit cannot carry.
bool WriteAutostartEntry(QString* error);
bool WriteAutostartEntry(const QString& program, const QString& home, QString* error);
bool RemoveAutostartEntry(QString* error);

}  // namespace trip
