#pragma once
// The duty record: "on-duty" in the home folder exists while the guard is on
// and says since when.  It is written at every guard start and removed when
// the person ends the guard; any other end of the program (a crash, a
// signal, the display or the session going, a power cut) leaves it, and the
// next start with --resume finds it and puts the guard back on duty.
#include <optional>
#include <string>

#include "CTime.h"

namespace trip {

std::string DutyRecordPath();

// Replaced whole and synced: after a power cut the record is either the old
// one or the new one, never half of one.
bool WriteDutyRecord(CTime since, std::string* error);
// Only a regular file is removed; anything else in its place is left alone.
bool RemoveDutyRecord(std::string* error);

// Only a regular file is a duty record.
bool DutyRecordPresent();
// What is in the record's place when it is not a record ("a folder", ...);
// none when that is a regular file or nothing.
std::optional<std::string> NotADutyRecord();
// When the guard went on duty; none when there is no record or it cannot be read.
std::optional<CTime> DutyRecordSince();

}  // namespace trip
