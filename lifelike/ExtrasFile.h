#pragma once
// noises.hwt.ini, beside the settings file: what belongs to a schedule
// beyond the settings file's fixed bytes (each row's hours, level and
// excerpt; the place for sun times), as text a person can read and write.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RowHours.h"
#include "SunTimes.h"
#include "Variation.h"

namespace lifelike {

inline constexpr char kExtrasFileName[] = "noises.hwt.ini";
inline constexpr int kExtrasRows = 5;
inline constexpr long kExtrasLargestFile = 64 * 1024;
inline constexpr std::int64_t kShortestExcerpt = 10;  // seconds

struct RowExtras {
    Hours hours;
    std::optional<LevelRange> level;
    std::optional<std::int64_t> excerptSeconds;
    friend bool operator==(const RowExtras&, const RowExtras&) = default;
};

struct ScheduleExtras {
    std::optional<Place> place;  // none: the time zone's
    std::array<RowExtras, kExtrasRows> rows;  // first to fifth row
    friend bool operator==(const ScheduleExtras&, const ScheduleExtras&) = default;
};

// What was read, and a line for each thing in the file that was ignored or
// overruled, for the person to see.
struct ExtrasReading {
    ScheduleExtras extras;
    std::vector<std::string> problems;
};

// `source` names the file in the problem lines.
ExtrasReading ParseExtras(std::string_view text, const std::string& source = kExtrasFileName);
// A missing file has no extras and no problem.  Only a regular file of at
// most 64 KiB is read; nothing blocks on a pipe or a device.
ExtrasReading ReadExtras(const std::string& path);

// One value as the file writes it, for a dialog that takes it from a
// person: none when it does not parse.  Degrees lie within -limit..limit.
std::optional<double> ParseDegrees(std::string_view text, double limit);
std::optional<LevelRange> ParseLevel(std::string_view text);
std::optional<std::int64_t> ParseExcerpt(std::string_view text);
std::string FormatDegrees(double degrees);
std::string FormatLevel(const LevelRange& level);
std::string FormatExcerpt(std::int64_t seconds);

// The whole file anew (no comments of the person's survive), and only what
// is set.
std::string FormatExtras(const ScheduleExtras& extras);
// Replaces the file whole or not at all; false, with why in *error, when
// the old file is still there unchanged.
bool WriteExtras(const std::string& path, const ScheduleExtras& extras, std::string* error);

}  // namespace lifelike
