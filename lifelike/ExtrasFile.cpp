#include "ExtrasFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <tuple>
#include <utility>

#include "AtomicFile.h"

namespace lifelike {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kPlace = 0;           // sections: 0 place, 1 to 5 the rows
constexpr int kNoSection = -1;      // before the first section
constexpr int kUnknownSection = -2; // its keys were ignored with the section

std::string_view Trim(std::string_view text)
{
    const size_t begin = text.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

// As the person typed it, but never a control character into a problem
// line, and never a whole line of noise.
std::string Quoted(std::string_view text)
{
    constexpr size_t kLongest = 60;
    std::string quoted = "\"";
    for (const char c : text.substr(0, kLongest)) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + (text.size() > kLongest ? "...\"" : "\"");
}

// A point is the decimal mark whatever the locale: from_chars reads none other.
std::optional<double> Decimal(std::string_view text, double lowest, double highest)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !(value >= lowest && value <= highest))
        return std::nullopt;
    return value == 0 ? 0.0 : value;  // never a -0 written back
}

std::optional<LevelRange> Level(std::string_view text)
{
    const size_t dots = text.find("..");
    if (dots == std::string_view::npos)
        return std::nullopt;
    const std::optional<double> low = Decimal(Trim(text.substr(0, dots)), -30, 0);
    const std::optional<double> high = Decimal(Trim(text.substr(dots + 2)), -30, 0);
    if (!low || !high || *low > *high)
        return std::nullopt;
    return LevelRange{*low, *high};
}

constexpr std::pair<char, std::int64_t> kUnits[] = {{'h', 3600}, {'m', 60}, {'s', 1}};

std::optional<std::int64_t> ExcerptLength(std::string_view text)
{
    if (text.size() < 2)
        return std::nullopt;
    std::int64_t count = 0;
    const std::string_view digits = text.substr(0, text.size() - 1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    if (error != std::errc() || end != digits.data() + digits.size() || digits[0] == '-')
        return std::nullopt;
    for (const auto& [unit, seconds] : kUnits)
        if (text.back() == unit && count <= INT32_MAX / seconds && count * seconds >= kShortestExcerpt)
            return count * seconds;
    return std::nullopt;
}

std::string Number(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string SectionName(int section)
{
    return section == kPlace ? "place" : "row" + std::to_string(section);
}

class Parser {
public:
    explicit Parser(const std::string& source) : source_(source) {}

    void Line(int number, std::string_view line)
    {
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            return;
        if (line.front() == '[' && line.back() == ']')
            return Section(number, Trim(line.substr(1, line.size() - 2)));
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return Problem(number, Quoted(line) + " is not a key=value line, ignored");
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (section_ == kNoSection)
            return Problem(number, "key " + Quoted(key) + " before any section, ignored");
        if (section_ != kUnknownSection)
            Key(number, key, value);
    }

    ExtrasReading Finish()
    {
        if (latitude_ && longitude_)
            reading_.extras.place = Place{*latitude_, *longitude_};
        else if (latitude_ || longitude_)
            reading_.problems.push_back(source_ + ": [place] needs both latitude and longitude, ignored");
        for (int row = 1; row <= kExtrasRows; ++row) {
            Hours& hours = reading_.extras.rows[row - 1].hours;
            if (hours.from && hours.until && *hours.from == *hours.until) {
                reading_.problems.push_back(source_ + ": [row" + std::to_string(row) + "] from and until are both " +
                                            FormatDayTime(*hours.from) + ", refused: the row keeps no hours");
                hours = {};
            } else if (NeverOpen(hours)) {
                reading_.problems.push_back(source_ + ": [row" + std::to_string(row) + "] " +
                                            (hours.from ? "from " + FormatDayTime(*hours.from) + " " : std::string()) +
                                            "until " + FormatDayTime(*hours.until) +
                                            " leaves no hours on any day, refused: the row keeps no hours");
                hours = {};
            }
        }
        // A file of junk must not wash out the diary and the problem report.
        constexpr size_t kMostProblems = 20;
        if (reading_.problems.size() > kMostProblems) {
            const size_t more = reading_.problems.size() - (kMostProblems - 1);
            reading_.problems.resize(kMostProblems - 1);
            reading_.problems.push_back(source_ + ": " + std::to_string(more) + " more problems not shown");
        }
        return std::move(reading_);
    }

private:
    void Problem(int number, const std::string& text)
    {
        reading_.problems.push_back(source_ + " line " + std::to_string(number) + ": " + text);
    }

    void Section(int number, std::string_view name)
    {
        section_ = kUnknownSection;
        if (name == "place")
            section_ = kPlace;
        for (int row = 1; row <= kExtrasRows; ++row)
            if (name == SectionName(row))
                section_ = row;
        if (section_ == kUnknownSection)
            Problem(number, "unknown section " + Quoted(name) + ", ignored");
    }

    void Key(int number, std::string_view key, std::string_view value)
    {
        const std::string where = " in [" + SectionName(section_) + "]";
        bool known = false, good = false;
        if (section_ == kPlace) {
            for (auto [name, target, bound] : {std::tuple{"latitude", &latitude_, 90.0},
                                               std::tuple{"longitude", &longitude_, 180.0}})
                if (key == name) {
                    known = true;
                    const std::optional<double> angle = Decimal(value, -bound, bound);
                    if ((good = angle.has_value()))
                        *target = angle;
                }
        } else {
            RowExtras& row = reading_.extras.rows[section_ - 1];
            if (key == "from" || key == "until") {
                known = true;
                const std::optional<DayTime> time = ParseDayTime(value);
                if ((good = time.has_value()))
                    (key == "from" ? row.hours.from : row.hours.until) = time;
            } else if (key == "level") {
                known = true;
                if (const std::optional<LevelRange> level = Level(value); (good = level.has_value()))
                    row.level = level;
            } else if (key == "excerpt") {
                known = true;
                if (const std::optional<std::int64_t> seconds = ExcerptLength(value); (good = seconds.has_value()))
                    row.excerptSeconds = seconds;
            }
        }
        if (!known)
            return Problem(number, "unknown key " + Quoted(key) + where + ", ignored");
        // A bad value leaves the one before it, so it is not said to count.
        const bool again = !seen_.emplace(section_, std::string(key)).second;
        if (!good)
            Problem(number, "bad value " + Quoted(value) + " for " + Quoted(key) + where + ", ignored");
        else if (again)
            Problem(number, Quoted(key) + where + " is given again: the last one counts");
    }

    std::string source_;
    ExtrasReading reading_;
    int section_ = kNoSection;
    std::set<std::pair<int, std::string>> seen_;
    std::optional<double> latitude_, longitude_;
};

}  // namespace

ExtrasReading ParseExtras(std::string_view text, const std::string& source)
{
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    Parser parser(source);
    for (int number = 1; !text.empty(); ++number) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        parser.Line(number, line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return parser.Finish();
}

ExtrasReading ReadExtras(const std::string& path)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    const auto refused = [&](const std::string& why) {
        ExtrasReading reading;
        reading.problems.push_back(name + " " + why + ", not read");
        return reading;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0 && errno == ENOENT)
        return {};
    if (fd < 0)
        return refused(std::string("cannot be opened (") + std::strerror(errno) + ")");
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return refused("is not a regular file");
    // One byte past the bound tells a file that grew since fstat.
    std::string bytes(static_cast<size_t>(kExtrasLargestFile) + 1, '\0');
    size_t have = 0;
    while (info.st_size <= kExtrasLargestFile && have < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refused(std::string("cannot be read (") + std::strerror(errno) + ")");
        if (n == 0)
            break;
        have += static_cast<size_t>(n);
    }
    if (info.st_size > kExtrasLargestFile || have > static_cast<size_t>(kExtrasLargestFile))
        return refused("is larger than 64 KiB");
    bytes.resize(have);
    return ParseExtras(bytes, name);
}

std::optional<double> ParseDegrees(std::string_view text, double limit)
{
    return Decimal(Trim(text), -limit, limit);
}

std::optional<LevelRange> ParseLevel(std::string_view text)
{
    return Level(Trim(text));
}

std::optional<std::int64_t> ParseExcerpt(std::string_view text)
{
    return ExcerptLength(Trim(text));
}

std::string FormatDegrees(double degrees)
{
    return Number(degrees);
}

std::string FormatLevel(const LevelRange& level)
{
    return Number(level.low) + ".." + Number(level.high);
}

// In the largest unit that says it exactly: 30m, not 1800s.
std::string FormatExcerpt(std::int64_t seconds)
{
    for (const auto& [unit, length] : kUnits)
        if (seconds % length == 0)
            return std::to_string(seconds / length) + unit;
    return std::to_string(seconds) + "s";
}

std::string FormatExtras(const ScheduleExtras& extras)
{
    std::string text = "# Hauntwatch: the hours, levels and excerpts of the schedule's rows\n";
    if (extras.place)
        text += "\n[place]\nlatitude=" + FormatDegrees(extras.place->latitude) + "\nlongitude=" +
                FormatDegrees(extras.place->longitude) + "\n";
    for (int row = 1; row <= kExtrasRows; ++row) {
        const RowExtras& r = extras.rows[row - 1];
        if (r == RowExtras{})
            continue;
        text += "\n[" + SectionName(row) + "]\n";
        if (r.hours.from)
            text += "from=" + FormatDayTime(*r.hours.from) + "\n";
        if (r.hours.until)
            text += "until=" + FormatDayTime(*r.hours.until) + "\n";
        if (r.level)
            text += "level=" + FormatLevel(*r.level) + "\n";
        if (r.excerptSeconds)
            text += "excerpt=" + FormatExcerpt(*r.excerptSeconds) + "\n";
    }
    return text;
}

bool WriteExtras(const std::string& path, const ScheduleExtras& extras, std::string* error)
{
    platform::ReplaceOptions options;
    options.followLinks = true;  // as the settings file beside it
    return platform::ReplaceFileAtomically(path, FormatExtras(extras), options, error);
}

}  // namespace lifelike
