#include "SunTimes.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "LocalDay.h"

// The sun's place follows NOAA's solar calculator (after Meeus, "Astronomical
// Algorithms"): good to well under a minute of rise and set time between the
// polar circles, which is all a household's evening needs.

namespace lifelike {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kZenith = 90.833;  // 34' of refraction and 16' of the sun's radius
constexpr std::int64_t kSecondsPerDay = 86400;

double Radians(double degrees) { return degrees * kPi / 180.0; }
double Degrees(double radians) { return radians * 180.0 / kPi; }

struct SunPlace {
    double declination;     // radians
    double equationOfTime;  // minutes
};

SunPlace SunAt(double julianDay)
{
    const double t = (julianDay - 2451545.0) / 36525.0;
    const double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double meanAnomaly = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double m = Radians(meanAnomaly);
    const double centre = std::sin(m) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          std::sin(2 * m) * (0.019993 - 0.000101 * t) + std::sin(3 * m) * 0.000289;
    const double omega = Radians(125.04 - 1934.136 * t);
    const double apparentLongitude = Radians(meanLongitude + centre - 0.00569 - 0.00478 * std::sin(omega));
    const double meanObliquity = 23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    const double obliquity = Radians(meanObliquity + 0.00256 * std::cos(omega));

    const double y = std::pow(std::tan(obliquity / 2), 2);
    const double l0 = Radians(meanLongitude);
    const double equation = y * std::sin(2 * l0) - 2 * eccentricity * std::sin(m) +
                            4 * eccentricity * y * std::sin(m) * std::cos(2 * l0) -
                            0.5 * y * y * std::sin(4 * l0) - 1.25 * eccentricity * eccentricity * std::sin(2 * m);
    return {std::asin(std::sin(obliquity) * std::sin(apparentLongitude)), 4.0 * Degrees(equation)};
}

enum class Event { Rise, Set };

// The rise or set of the solar day that begins at 0h UT of day `utcDay`
// (days since 1970), as seconds since 1970; none when the sun stays above or
// below the horizon that day.  The sun's place is taken again at the
// estimate until it settles, since it moves while the day goes on.
std::optional<std::int64_t> EventOfUtcDay(const Place& place, std::int64_t utcDay, Event event)
{
    const double midnight = static_cast<double>(utcDay) + 2440587.5;
    const double latitude = Radians(place.latitude);
    double minutes = 720.0 - 4.0 * place.longitude;
    for (int round = 0; round < 5; ++round) {
        const SunPlace sun = SunAt(midnight + minutes / 1440.0);
        const double cosHourAngle = std::cos(Radians(kZenith)) / (std::cos(latitude) * std::cos(sun.declination)) -
                                    std::tan(latitude) * std::tan(sun.declination);
        if (!(cosHourAngle >= -1.0 && cosHourAngle <= 1.0))
            return std::nullopt;
        const double hourAngle = Degrees(std::acos(cosHourAngle));
        const double next = 720.0 - 4.0 * (place.longitude + (event == Event::Rise ? hourAngle : -hourAngle)) -
                            sun.equationOfTime;
        const bool settled = std::abs(next - minutes) < 0.01;
        minutes = next;
        if (settled)
            break;
    }
    return utcDay * kSecondsPerDay + std::llround(minutes * 60.0);
}

std::int64_t UtcDayOf(LocalDate date)
{
    using namespace std::chrono;
    return sys_days(year(date.year) / month(static_cast<unsigned>(date.month)) / day(static_cast<unsigned>(date.day)))
        .time_since_epoch()
        .count();
}

// The first event of its kind whose local date is `date`.  The UTC day with
// the same number, and the one either side, hold every candidate whatever
// the zone's offset.
std::optional<CTime> EventOn(const Place& place, LocalDate date, Event event)
{
    const std::int64_t utcDay = UtcDayOf(date);
    for (std::int64_t day = utcDay - 1; day <= utcDay + 1; ++day) {
        const std::optional<std::int64_t> moment = EventOfUtcDay(place, day, event);
        if (moment && DateOf(CTime(*moment)) == date)
            return CTime(*moment);
    }
    return std::nullopt;
}

}  // namespace

// Every pass asks for the same few days again: a plan of a week on sun
// hours would otherwise spend most of its time here.  The zone is part of
// the key, as it decides where the local day begins.
SunDay SunOn(const Place& place, int year, int month, int day)
{
    using Key = std::tuple<double, double, int, int, int, std::string>;
    static std::map<Key, SunDay> known;
    const char* zone = std::getenv("TZ");
    Key key{place.latitude, place.longitude, year, month, day, zone ? zone : ""};
    if (const auto found = known.find(key); found != known.end())
        return found->second;
    if (known.size() > 64)
        known.clear();
    const LocalDate date{year, month, day};
    return known[std::move(key)] = SunDay{EventOn(place, date, Event::Rise), EventOn(place, date, Event::Set)};
}

}  // namespace lifelike
