#include "AwaySpan.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "AtomicFile.h"
#include "DiaryFormat.h"
#include "HomeFolder.h"
#include "SmallFile.h"

namespace trip {

namespace {

// A line as the person can find it in the file again: printable, and short.
std::string Quoted(std::string_view line)
{
    constexpr size_t kShown = 40;
    std::string shown;
    for (const char c : line.substr(0, kShown))
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    return "\"" + shown + (line.size() > kShown ? "…\"" : "\"");
}

std::vector<std::string_view> Lines(std::string_view text)
{
    // Editors on other systems begin a file with a byte order mark.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        lines.push_back(line);
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

AwayFile Trouble(std::string why)
{
    return AwayFile{std::nullopt, std::move(why)};
}

}  // namespace

PlanStretch StretchAround(const std::optional<AwaySpan>& away, CTime now, CTimeSpan length, bool guardOn)
{
    PlanStretch stretch{now, now + length};
    if (!away || !(now < away->until))
        return stretch;
    if (!guardOn && now < away->from)
        stretch = {away->from, away->from + length};
    stretch.to = std::min(stretch.to, away->until);
    return stretch;
}

std::string AwaySpanPath()
{
    return platform::HomeFolder() + "/away";
}

AwayFile ReadAwayFile()
{
    std::string bytes, why;
    switch (platform::ReadSmallFile(AwaySpanPath(), kLargestAwayFile, "away file", &bytes, &why)) {
    case platform::SmallFileRead::Missing: return {};
    case platform::SmallFileRead::Refused: return Trouble(why);
    case platform::SmallFileRead::Read: break;
    }
    const std::vector<std::string_view> lines = Lines(bytes);
    if (lines.size() < 2)
        return Trouble(lines.empty() ? "it is empty" : "it holds the leaving time but no return time");
    if (lines.size() > 2)
        return Trouble("it holds more than the leaving and the return time");
    const std::optional<CTime> leaving = ParseWrittenTime(lines[0]), back = ParseWrittenTime(lines[1]);
    for (size_t i = 0; i < 2; ++i)
        if (!(i == 0 ? leaving : back))
            return Trouble(std::string(i == 0 ? "the leaving time " : "the return time ") + Quoted(lines[i]) +
                           " is not a time of the calendar such as 2026-12-20T12:00");
    if (!(*leaving < *back))
        return Trouble("the return time is not after the leaving time");
    return AwayFile{AwaySpan{*leaving, *back}, std::nullopt};
}

std::optional<AwaySpan> ReadAwaySpan()
{
    return ReadAwayFile().span;
}

bool WriteAwaySpan(const AwaySpan& span, std::string* error)
{
    platform::ReplaceOptions options;
    options.mode = 0600;
    return platform::ReplaceFileAtomically(AwaySpanPath(), IsoLocalTime(span.from) + "\n" + IsoLocalTime(span.until) + "\n",
                                           options, error);
}

bool ClearAwaySpan(std::string* error)
{
    if (::unlink(AwaySpanPath().c_str()) == 0 || errno == ENOENT)
        return true;
    if (error)
        *error = "cannot remove " + AwaySpanPath() + ": " + std::strerror(errno);
    return false;
}

}  // namespace trip
