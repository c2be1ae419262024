#pragma once
// Sunrise and sunset as a person sees them: the sun's upper limb at the
// horizon with standard refraction (the sun's centre 0.833° below it).
#include <optional>

#include "CTime.h"

namespace lifelike {

// Degrees, north and east positive.
struct Place {
    double latitude = 0;
    double longitude = 0;
    friend bool operator==(const Place&, const Place&) = default;
};

// The sunrise and the sunset that fall on one local calendar day.  Either is
// missing on a day without one: the polar day and night, and the days around
// them when the sun rises or sets after midnight.
struct SunDay {
    std::optional<CTime> sunrise;
    std::optional<CTime> sunset;
};

// The local date (year, month 1-12, day 1-31) in the process's time zone.
SunDay SunOn(const Place& place, int year, int month, int day);

}  // namespace lifelike
