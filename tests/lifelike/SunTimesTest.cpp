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

struct Fixed {
    const char* zone;
    Place place;
    int year, month, day;
    int rise[3], set[3];  // local h, m, s
};

std::int64_t Local(int year, int month, int day, const int (&clock)[3])
{
    return CTime(year, month, day, clock[0], clock[1], clock[2]).GetTime();
}

// Whatever the zone: a time missing on one side is a difference of its own.
std::int64_t Difference(const std::optional<CTime>& ours, const std::string& theirs)
{
    if (theirs == "-" || !ours)
        return theirs == "-" && !ours ? 0 : INT64_MAX;
    return std::llabs(ours->GetTime() - std::stoll(theirs));
}

}  // namespace

TEST(SunTimes, HoldsTheKnownValuesInBerlinAndNewYork)
{
    const Fixed days[] = {
        {"Europe/Berlin", {52.52, 13.41}, 2026, 12, 21, {8, 14, 51}, {15, 53, 57}},
        {"Europe/Berlin", {52.52, 13.41}, 2027, 6, 21, {4, 43, 4}, {21, 33, 9}},
        {"America/New_York", {40.7142, -74.0064}, 2026, 12, 21, {7, 16, 33}, {16, 31, 49}},
        {"America/New_York", {40.7142, -74.0064}, 2027, 6, 21, {5, 25, 0}, {20, 30, 40}},
    };
    for (const Fixed& d : days) {
        TimeZoneGuard zone(d.zone);
        const lifelike::SunDay sun = SunOn(d.place, d.year, d.month, d.day);
        ASSERT_TRUE(sun.sunrise && sun.sunset) << d.zone << " " << d.month;
        EXPECT_NEAR(sun.sunrise->GetTime(), Local(d.year, d.month, d.day, d.rise), kTolerance) << d.zone << " " << d.month;
        EXPECT_NEAR(sun.sunset->GetTime(), Local(d.year, d.month, d.day, d.set), kTolerance) << d.zone << " " << d.month;
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
