#include "LocalDay.h"

#include <chrono>
#include <ctime>
#include <initializer_list>

namespace lifelike {

namespace {

std::int64_t DaysFromCivil(LocalDate date)
{
    using namespace std::chrono;
    return sys_days(year(date.year) / month(static_cast<unsigned>(date.month)) / day(static_cast<unsigned>(date.day)))
        .time_since_epoch()
        .count();
}

// The local clock reading of a moment as seconds counted like UTC ones, so
// that readings and moments subtract.
std::int64_t Reading(std::int64_t moment)
{
    const std::time_t t = static_cast<std::time_t>(moment);
    std::tm parts{};
    localtime_r(&t, &parts);
    return moment + parts.tm_gmtoff;
}

}  // namespace

LocalDate DateOf(CTime moment)
{
    using namespace std::chrono;
    const sys_days days(floor<days>(sys_seconds(seconds(Reading(moment.GetTime())))));
    const year_month_day ymd(days);
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

LocalDate AddDays(LocalDate date, int days)
{
    using namespace std::chrono;
    const year_month_day ymd(sys_days(std::chrono::days(DaysFromCivil(date) + days)));
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

CTime ClockMoment(LocalDate date, int minuteOfDay)
{
    const std::int64_t wanted = DaysFromCivil(date) * 86400 + std::int64_t{minuteOfDay} * 60;
    // The offsets the zone uses a day either side; no zone changes its offset
    // twice that close together.
    std::int64_t first = 0;
    bool found = false;
    for (const std::int64_t probe : {wanted - 86400, wanted, wanted + 86400}) {
        const std::int64_t candidate = wanted - (Reading(probe) - probe);
        if (Reading(candidate) == wanted && (!found || candidate < first)) {
            first = candidate;
            found = true;
        }
    }
    if (found)
        return CTime(first);
    // Skipped: between the moment under the earlier offset and the one under
    // the later, the clock jumps over the reading; the jump is the answer.
    std::int64_t before = wanted - (Reading(wanted + 86400) - (wanted + 86400));
    std::int64_t after = wanted - (Reading(wanted - 86400) - (wanted - 86400));
    if (before > after)
        std::swap(before, after);
    while (after - before > 1) {
        const std::int64_t middle = before + (after - before) / 2;
        (Reading(middle) > wanted ? after : before) = middle;
    }
    return CTime(after);
}

}  // namespace lifelike
