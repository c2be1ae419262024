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

std::optional<CTime> ParseIsoTime(std::string_view text)
{
    int year, month, day, hour, minute, second;
    if (text.size() < 20 || !Number(text, 0, 4, &year) || text[4] != '-' || !Number(text, 5, 2, &month) ||
        text[7] != '-' || !Number(text, 8, 2, &day) || text[10] != 'T' || !Number(text, 11, 2, &hour) ||
        text[13] != ':' || !Number(text, 14, 2, &minute) || text[16] != ':' || !Number(text, 17, 2, &second))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    int offsetSeconds = 0;
    const std::string_view zone = text.substr(19);
    if (zone != "Z") {
        int offsetHours, offsetMinutes;
        if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || !Number(zone, 1, 2, &offsetHours) ||
            zone[3] != ':' || !Number(zone, 4, 2, &offsetMinutes))
            return std::nullopt;
        offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (zone[0] == '-' ? -1 : 1);
    }
    const std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return CTime(days * 86400 + hour * 3600 + minute * 60 + second - offsetSeconds);
}

}  // namespace trip
