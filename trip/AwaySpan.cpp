#include "AwaySpan.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "AtomicFile.h"
#include "DiaryFormat.h"
#include "HomeFolder.h"

namespace trip {

std::string AwaySpanPath()
{
    return platform::HomeFolder() + "/away";
}

std::optional<AwaySpan> ReadAwaySpan()
{
    std::ifstream in(AwaySpanPath());
    std::string from, until;
    if (!std::getline(in, from) || !std::getline(in, until))
        return std::nullopt;
    const std::optional<CTime> leaving = ParseIsoTime(from), back = ParseIsoTime(until);
    if (!leaving || !back || !(*leaving < *back))
        return std::nullopt;
    return AwaySpan{*leaving, *back};
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
