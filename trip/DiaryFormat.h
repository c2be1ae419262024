#pragma once
// The line format the diary and the plan share: tab-separated fields, each
// with its backslashes, tabs and line breaks escaped, the first a local time
// in ISO 8601 with its offset from UTC.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CTime.h"

namespace trip {

// "\\", "\t" and "\n" (and "\r" for a carriage return) for the characters
// that would break a line into fields or lines; everything else as it is.
std::string EscapeField(std::string_view field);
std::string UnescapeField(std::string_view field);

// Fields escaped and joined with tabs, without the line break.
std::string JoinFields(const std::vector<std::string>& fields);
std::vector<std::string> SplitFields(std::string_view line);

// 2026-12-07T23:30:00+01:00, in the zone the process runs in.
std::string IsoLocalTime(CTime at);
// Reads what IsoLocalTime writes (and a trailing Z for UTC); the offset
// decides, not the zone the reader runs in.  A day the calendar lacks
// (2031-02-31) is no time.
std::optional<CTime> ParseIsoTime(std::string_view text);
// What a person may type: 2026-12-20T12:00, with or without the seconds and
// the offset; without an offset, on the local clock, where an hour the clocks
// skip is no time.
std::optional<CTime> ParseWrittenTime(std::string_view text);

}  // namespace trip
