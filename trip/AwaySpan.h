#pragma once
// "Away from ... until ...": when the person leaves and when they are back.
// The span belongs to the guard, so it lives in the home folder ("away", two
// local ISO times, one a line), written whole or not at all; one home folder
// is one guard.  A person may also write it by hand.
#include <optional>
#include <string>

#include "CTime.h"

namespace trip {

struct AwaySpan {
    CTime from;
    CTime until;

    bool Holds(CTime at) const { return !(at < from) && at < until; }
    bool operator==(const AwaySpan&) const = default;
};

// A file larger than this is no span: two times take some fifty bytes.
inline constexpr long long kLargestAwayFile = 4 * 1024;

struct AwayFile {
    std::optional<AwaySpan> span;
    // Why a file that is there cannot be used as a span: nothing of it is.
    std::optional<std::string> trouble;
};

std::string AwaySpanPath();
// Each line a time such as 2026-12-20T12:00 (seconds and an offset from UTC
// may follow), ended by LF or CRLF; only a regular file is read, and it is
// opened without waiting.
AwayFile ReadAwayFile();
// None when there is no span, or its file cannot be read as one.
std::optional<AwaySpan> ReadAwaySpan();
bool WriteAwaySpan(const AwaySpan& span, std::string* error);
bool ClearAwaySpan(std::string* error);

}  // namespace trip
