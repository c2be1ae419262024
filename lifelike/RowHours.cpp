#include "RowHours.h"

#include <charconv>
#include <cstdio>

namespace lifelike {

namespace {

constexpr int kLargestOffset = 12 * 60;

std::optional<int> Number(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<DayTime> Sun(std::string_view rest, DayTime::Anchor anchor)
{
    if (rest.empty())
        return DayTime{anchor, 0};
    if (rest.size() < 2 || (rest[0] != '+' && rest[0] != '-') || rest[1] == '+' || rest[1] == '-')
        return std::nullopt;
    const std::optional<int> offset = Number(rest.substr(1));
    if (!offset || *offset > kLargestOffset)
        return std::nullopt;
    return DayTime{anchor, rest[0] == '-' ? -*offset : *offset};
}

std::optional<CTime> Resolve(const DayTime& time, const Place& place, LocalDate date)
{
    if (time.anchor == DayTime::Anchor::Clock)
        return ClockMoment(date, time.minutes);
    const SunDay sun = SunOn(place, date.year, date.month, date.day);
    const std::optional<CTime>& event = time.anchor == DayTime::Anchor::Sunrise ? sun.sunrise : sun.sunset;
    if (!event)
        return std::nullopt;
    return *event + CTimeSpan(std::int64_t{time.minutes} * 60);
}

}  // namespace

bool DayTime::Morning() const
{
    return anchor == Anchor::Sunrise || (anchor == Anchor::Clock && minutes < 12 * 60);
}

std::optional<DayTime> ParseDayTime(std::string_view text)
{
    for (const auto& [word, anchor] : {std::pair{std::string_view("sunrise"), DayTime::Anchor::Sunrise},
                                       std::pair{std::string_view("sunset"), DayTime::Anchor::Sunset}})
        if (text.substr(0, word.size()) == word)
            return Sun(text.substr(word.size()), anchor);
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
        return std::nullopt;
    const std::optional<int> hour = Number(text.substr(0, colon));
    const std::optional<int> minute = Number(text.substr(colon + 1));
    if (!hour || !minute || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59)
        return std::nullopt;
    return DayTime{DayTime::Anchor::Clock, *hour * 60 + *minute};
}

std::string FormatDayTime(const DayTime& time)
{
    char text[32];
    if (time.anchor == DayTime::Anchor::Clock) {
        std::snprintf(text, sizeof text, "%02d:%02d", time.minutes / 60, time.minutes % 60);
        return text;
    }
    const char* word = time.anchor == DayTime::Anchor::Sunrise ? "sunrise" : "sunset";
    if (time.minutes == 0)
        return word;
    std::snprintf(text, sizeof text, "%s%+d", word, time.minutes);
    return text;
}

bool Hours::UsesSun() const
{
    const auto sun = [](const std::optional<DayTime>& end) {
        return end && end->anchor != DayTime::Anchor::Clock;
    };
    return sun(from) || sun(until);
}

bool Hours::CrossesMidnight() const
{
    return from && until && until->Morning() && !from->Morning();
}

bool NeverOpen(const Hours& hours)
{
    const auto clock = [](const std::optional<DayTime>& time) { return time && time->anchor == DayTime::Anchor::Clock; };
    if (clock(hours.from) && clock(hours.until))
        return !hours.CrossesMidnight() && hours.from->minutes >= hours.until->minutes;
    return !hours.from && clock(hours.until) && hours.until->minutes == 0;
}

bool HoursApply(const Hours& hours, const std::optional<Place>& place)
{
    if (!hours.IsSet() || (hours.from && hours.until && *hours.from == *hours.until))
        return false;
    return place || !hours.UsesSun();
}

DayHours HoursOn(const Hours& hours, const Place& place, LocalDate date)
{
    DayHours day;
    day.start = hours.from ? Resolve(*hours.from, place, date) : DayStart(date);
    day.end = hours.until ? Resolve(*hours.until, place, hours.CrossesMidnight() ? AddDays(date, 1) : date)
                          : DayStart(AddDays(date, 1));
    day.sunless = !day.start || !day.end;
    if (day.sunless || *day.start >= *day.end)
        day.start = day.end = std::nullopt;
    return day;
}

// Offsets of up to 12 hours and a span into the next morning put a day's
// hours anywhere from the evening before to the second morning after; the
// days from two before to one after hold every span a moment can fall in.
bool InsideHours(const Hours& hours, const std::optional<Place>& place, CTime moment)
{
    if (!HoursApply(hours, place))
        return true;
    const LocalDate today = DateOf(moment);
    for (int day = -2; day <= 1; ++day) {
        const DayHours span = HoursOn(hours, place.value_or(Place{}), AddDays(today, day));
        if (span.start && *span.start <= moment && moment < *span.end)
            return true;
    }
    return false;
}

NextStart NextStartOfHours(const Hours& hours, const std::optional<Place>& place, CTime moment, int days)
{
    NextStart next;
    if (!HoursApply(hours, place)) {
        next.at = moment;
        return next;
    }
    // The days' spans begin in the order of the days, so the first that has
    // not ended by the moment is the one.
    const LocalDate today = DateOf(moment);
    for (int day = -2; day <= days; ++day) {
        const LocalDate date = AddDays(today, day);
        const DayHours span = HoursOn(hours, place.value_or(Place{}), date);
        if (span.sunless && day >= 0)
            next.sunlessDays.push_back(date);
        if (span.start && moment < *span.end) {
            next.at = std::max(*span.start, moment);
            return next;
        }
    }
    return next;
}

}  // namespace lifelike
