#include "SunTimes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "TimeZoneGuard.h"

using lifelike::Place;
using lifelike::SunOn;

namespace {

constexpr std::int64_t kTolerance = 120;  // seconds

// Whatever the zone: a time missing on one side is a difference of its own.
std::int64_t Difference(const std::optional<CTime>& ours, const std::string& theirs)
{
    if (theirs == "-" || !ours)
        return theirs == "-" && !ours ? 0 : INT64_MAX;
    return std::llabs(ours->GetTime() - std::stoll(theirs));
}

}  // namespace

// python3-ephem's values, local: place, date, rise, set.
TEST(SunTimes, HoldsTheKnownValuesInBerlinAndNewYork)
{
    const struct {
        const char* zone;
        Place place;
        int year, month, day, rise, set;  // hhmmss
    } days[] = {{"Europe/Berlin", {52.52, 13.41}, 2026, 12, 21, 81451, 155357},
                {"Europe/Berlin", {52.52, 13.41}, 2027, 6, 21, 44304, 213309},
                {"America/New_York", {40.7142, -74.0064}, 2026, 12, 21, 71633, 163149},
                {"America/New_York", {40.7142, -74.0064}, 2027, 6, 21, 52500, 203040}};
    for (const auto& d : days) {
        TimeZoneGuard zone(d.zone);
        const auto local = [&](int t) {
            return CTime(d.year, d.month, d.day, t / 10000, t / 100 % 100, t % 100).GetTime();
        };
        const lifelike::SunDay sun = SunOn(d.place, d.year, d.month, d.day);
        ASSERT_TRUE(sun.sunrise && sun.sunset) << d.zone << " " << d.month;
        EXPECT_NEAR(sun.sunrise->GetTime(), local(d.rise), kTolerance) << d.zone << " " << d.month;
        EXPECT_NEAR(sun.sunset->GetTime(), local(d.set), kTolerance) << d.zone << " " << d.month;
    }
}

// Two years of days from the equator to 60 degrees, and polar days and
// nights, against python3-ephem with the upper limb at a horizon of -0:34.
TEST(SunTimes, AgreesWithEphemWithinTwoMinutesUpToSixtyDegrees)
{
    FILE* pipe = ::popen(SUN_REFERENCE_COMMAND, "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    ASSERT_EQ(::pclose(pipe), 0) << "python3-ephem is needed (scripts/install-deps.sh installs it)";

    std::istringstream lines(output);
    std::string zoneName, rise, set;
    Place place;
    int year, month, day, days = 0;
    std::int64_t largest = 0;
    while (lines >> zoneName >> place.latitude >> place.longitude >> year >> month >> day >> rise >> set) {
        TimeZoneGuard zone(zoneName.c_str());
        const lifelike::SunDay sun = SunOn(place, year, month, day);
        const std::int64_t worst = std::max(Difference(sun.sunrise, rise), Difference(sun.sunset, set));
        const bool timed = std::abs(place.latitude) <= 60;
        EXPECT_LE(worst, timed ? kTolerance : 0) << zoneName << " " << year << "-" << month << "-" << day;
        if (timed)
            largest = std::max(largest, worst);
        ++days;
    }
    EXPECT_GT(days, 500);
    RecordProperty("largest_difference_seconds", std::to_string(largest));
}
