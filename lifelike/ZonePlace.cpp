#include "ZonePlace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lifelike {

namespace {

constexpr char kZoneinfoMark[] = "zoneinfo/";

// The zone in a path into the database (/usr/share/zoneinfo/Europe/Berlin,
// ../usr/share/zoneinfo/posix/Europe/Berlin), else the text itself.
std::string ZoneOfPath(std::string text)
{
    if (const size_t at = text.rfind(kZoneinfoMark); at != std::string::npos)
        text.erase(0, at + sizeof kZoneinfoMark - 1);
    for (const char* variant : {"posix/", "right/"})
        if (text.rfind(variant, 0) == 0)
            text.erase(0, std::char_traits<char>::length(variant));
    return text;
}

std::string Trimmed(const std::string& text)
{
    const size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// A regular file's first line, read no further than a line needs.
std::optional<std::string> FirstLine(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line) || (line = Trimmed(line)).empty())
        return std::nullopt;
    return line;
}

// ±DDMM or ±DDMMSS (latitude), ±DDDMM or ±DDDMMSS (longitude), as zone.tab writes them.
std::optional<double> Angle(const std::string& text, size_t degreeDigits)
{
    if (text.size() != 1 + degreeDigits + 2 && text.size() != 1 + degreeDigits + 4)
        return std::nullopt;
    if (text[0] != '+' && text[0] != '-')
        return std::nullopt;
    for (size_t i = 1; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    const auto number = [&](size_t at, size_t length) { return std::stoi(text.substr(at, length)); };
    double value = number(1, degreeDigits) + number(1 + degreeDigits, 2) / 60.0;
    if (text.size() == 1 + degreeDigits + 4)
        value += number(1 + degreeDigits + 2, 2) / 3600.0;
    return text[0] == '-' ? -value : value;
}

std::optional<Place> Coordinates(const std::string& text)
{
    const size_t split = text.find_first_of("+-", 1);
    if (split == std::string::npos)
        return std::nullopt;
    const std::optional<double> latitude = Angle(text.substr(0, split), 2);
    const std::optional<double> longitude = Angle(text.substr(split), 3);
    if (!latitude || !longitude)
        return std::nullopt;
    return Place{*latitude, *longitude};
}

std::optional<Place> PointInTable(const std::string& table, const std::string& zone)
{
    std::ifstream in(table);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string codes, coordinates, name;
        if (std::getline(fields, codes, '\t') && std::getline(fields, coordinates, '\t') &&
            std::getline(fields, name, '\t') && Trimmed(name) == zone)
            return Coordinates(coordinates);
    }
    return std::nullopt;
}

}  // namespace

ZoneSources ZoneSources::OfThisProcess()
{
    ZoneSources sources;
    if (const char* tz = std::getenv("TZ"))
        sources.tz = tz;
    return sources;
}

std::optional<std::string> LocalZoneName(const ZoneSources& sources)
{
    // A TZ that is set decides the zone, even one the database cannot place:
    // the clock follows it, not the system's files.
    if (sources.tz) {
        std::string name = *sources.tz;
        if (!name.empty() && name[0] == ':')
            name.erase(0, 1);
        name = ZoneOfPath(name);
        return name.empty() ? std::nullopt : std::optional<std::string>(name);
    }
    if (std::optional<std::string> line = FirstLine(sources.timezoneFile))
        return ZoneOfPath(*line);
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(sources.localtimeLink, error);
    if (error || target.empty())
        return std::nullopt;
    return ZoneOfPath(target.string());
}

std::optional<Place> ZoneReferencePoint(const std::string& zone, const std::string& zoneinfo)
{
    const std::filesystem::path root = std::filesystem::path(zoneinfo).lexically_normal();
    std::string name = zone;
    // A chain of links is short; a loop must not hold the caller.
    for (int step = 0; step < 8 && !name.empty(); ++step) {
        for (const char* table : {"/zone.tab", "/zone1970.tab"})
            if (std::optional<Place> point = PointInTable(zoneinfo + table, name))
                return point;
        std::error_code error;
        const std::filesystem::path file = root / name;
        const std::filesystem::path target = std::filesystem::read_symlink(file, error);
        if (error)
            return std::nullopt;
        const std::filesystem::path next = (file.parent_path() / target).lexically_normal();
        const std::filesystem::path inside = next.lexically_relative(root);
        name = !inside.empty() && *inside.begin() != ".." ? ZoneOfPath("zoneinfo/" + inside.string())
                                                          : ZoneOfPath(next.string());
    }
    return std::nullopt;
}

std::optional<Place> PlaceOfLocalZone(const ZoneSources& sources)
{
    const std::optional<std::string> zone = LocalZoneName(sources);
    return zone ? ZoneReferencePoint(*zone, sources.zoneinfo) : std::nullopt;
}

SunPlace PlaceForSunTimes(const std::optional<Place>& personsPlace, const ZoneSources& sources)
{
    if (personsPlace)
        return {personsPlace, {}};
    const std::optional<std::string> zone = LocalZoneName(sources);
    if (std::optional<Place> place = zone ? ZoneReferencePoint(*zone, sources.zoneinfo) : std::nullopt)
        return {place, {}};
    return {std::nullopt, "no place for sunrise and sunset (the time zone " + zone.value_or("is unknown") +
                              (zone ? " has none" : "") + "): rows with sun times play at any hour"};
}

}  // namespace lifelike
