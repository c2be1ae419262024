#include "DiaryFormat.h"

#include <charconv>
#include <cstdint>

namespace trip {

std::string EscapeField(std::string_view field)
{
    std::string escaped;
    escaped.reserve(field.size());
    for (const char c : field) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\t': escaped += "\\t"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::string UnescapeField(std::string_view field)
{
    std::string text;
    text.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            text += field[i];
            continue;
        }
        switch (field[++i]) {
        case 't': text += '\t'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case '\\': text += '\\'; break;
        // Not written by the diary: kept as found.
        default: text += '\\'; text += field[i]; break;
        }
    }
    return text;
}

std::string JoinFields(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += '\t';
        line += EscapeField(fields[i]);
    }
    return line;
}

std::vector<std::string> SplitFields(std::string_view line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(UnescapeField(line.substr(start, tab == std::string_view::npos ? tab : tab - start)));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

std::string IsoLocalTime(CTime at)
{
    // strftime's %z has no colon: +0100.
    std::string text = at.Format("%Y-%m-%dT%H:%M:%S%z").str();
    if (text.size() >= 5)
        text.insert(text.size() - 2, ":");
    return text;
}

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool Number(std::string_view text, size_t at, size_t digits, int* value)
{
    if (at + digits > text.size())
        return false;
    for (size_t i = at; i < at + digits; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return std::from_chars(text.data() + at, text.data() + at + digits, *value).ec == std::errc();
}

}  // namespace

namespace {

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

struct TimeFields {
    int year, month, day, hour, minute, second = 0;
    std::optional<int> offsetSeconds;  // none: the local clock's
};

// 2026-12-07T23:30, then :SS and the zone (Z, or +HH:MM) as `whole` asks
// for them or lets them be; a date the calendar lacks is no time.
std::optional<TimeFields> ReadTimeFields(std::string_view text, bool whole)
{
    TimeFields t{};
    if (text.size() < 16 || !Number(text, 0, 4, &t.year) || text[4] != '-' || !Number(text, 5, 2, &t.month) ||
        text[7] != '-' || !Number(text, 8, 2, &t.day) || text[10] != 'T' || !Number(text, 11, 2, &t.hour) ||
        text[13] != ':' || !Number(text, 14, 2, &t.minute))
        return std::nullopt;
    std::string_view rest = text.substr(16);
    if (!rest.empty() && rest[0] == ':') {
        if (!Number(rest, 1, 2, &t.second))
            return std::nullopt;
        rest = rest.substr(3);
    } else if (whole) {
        return std::nullopt;
    }
    if (rest == "Z") {
        t.offsetSeconds = 0;
    } else if (!rest.empty()) {
        int offsetHours, offsetMinutes;
        if (rest.size() != 6 || (rest[0] != '+' && rest[0] != '-') || !Number(rest, 1, 2, &offsetHours) ||
            rest[3] != ':' || !Number(rest, 4, 2, &offsetMinutes) || offsetMinutes > 59)
            return std::nullopt;
        t.offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (rest[0] == '-' ? -1 : 1);
    } else if (whole) {
        return std::nullopt;
    }
    // A leap second is only ever written by a clock, never typed.
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) || t.hour > 23 ||
        t.minute > 59 || t.second > (whole ? 60 : 59))
        return std::nullopt;
    return t;
}

std::optional<CTime> ToTime(const TimeFields& t)
{
    if (t.offsetSeconds) {
        const std::int64_t days = DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
        return CTime(days * 86400 + t.hour * 3600 + t.minute * 60 + t.second - *t.offsetSeconds);
    }
    // A local time the clocks skip (the hour they go forward) is not a time.
    const CTime local(t.year, t.month, t.day, t.hour, t.minute, t.second, -1);
    if (local.GetYear() != t.year || local.GetMonth() != t.month || local.GetDay() != t.day ||
        local.GetHour() != t.hour || local.GetMinute() != t.minute)
        return std::nullopt;
    return local;
}

}  // namespace

std::optional<CTime> ParseIsoTime(std::string_view text)
{
    const std::optional<TimeFields> fields = ReadTimeFields(text, true);
    return fields ? ToTime(*fields) : std::nullopt;
}

std::optional<CTime> ParseWrittenTime(std::string_view text)
{
    const std::optional<TimeFields> fields = ReadTimeFields(text, false);
    return fields ? ToTime(*fields) : std::nullopt;
}

}  // namespace trip
