#pragma once
// The part of the day a row keeps to: `from` and `until`, each a clock time
// or sunrise/sunset with an offset, worked out anew for every local day.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CTime.h"
#include "LocalDay.h"
#include "SunTimes.h"

namespace lifelike {

// `18:30`, `sunrise`, `sunset+20`, `sunrise-30`.
struct DayTime {
    enum class Anchor { Clock, Sunrise, Sunset };
    Anchor anchor = Anchor::Clock;
    int minutes = 0;  // Clock: since midnight (0 to 1439); Sunrise, Sunset: the offset

    // A clock time before noon or a sunrise form: as `until` after an
    // evening `from`, it ends the next morning.
    bool Morning() const;
    friend bool operator==(const DayTime&, const DayTime&) = default;
};

// An offset of more than 12 hours is refused: it would move a sun time into
// another day's evening or morning.
std::optional<DayTime> ParseDayTime(std::string_view text);
std::string FormatDayTime(const DayTime& time);

struct Hours {
    std::optional<DayTime> from;  // alone: until midnight
    std::optional<DayTime> until; // alone: from midnight

    bool IsSet() const { return from || until; }
    bool UsesSun() const;
    // Until the next day: `until` a morning form and `from` not.
    bool CrossesMidnight() const;
    friend bool operator==(const Hours&, const Hours&) = default;
};

// Whether the hours hold a row back at all: set, ends not equal (those are
// refused), and a place to work any sun time out at.  Rows whose hours do
// not apply play at any hour.
bool HoursApply(const Hours& hours, const std::optional<Place>& place);
// Clock times alone that leave no hours on any day (from 08:00 until 00:00,
// both morning forms; until 00:00 alone): such a row would never play.
bool NeverOpen(const Hours& hours);

// One local day's hours, [start, end), or none: `from` at or after `until`,
// or a sun time the place does not have that day (`sunless`).
struct DayHours {
    std::optional<CTime> start;
    std::optional<CTime> end;
    bool sunless = false;
};
DayHours HoursOn(const Hours& hours, const Place& place, LocalDate date);

bool InsideHours(const Hours& hours, const std::optional<Place>& place, CTime moment);

struct NextStart {
    std::optional<CTime> at;             // none within the days searched
    std::vector<LocalDate> sunlessDays;  // days passed over for want of a sunrise or sunset
};
// The first moment at or after `moment` inside the hours: the moment itself
// when it is inside (or the hours do not apply), else the next start of them.
NextStart NextStartOfHours(const Hours& hours, const std::optional<Place>& place, CTime moment, int days = 366);

}  // namespace lifelike
