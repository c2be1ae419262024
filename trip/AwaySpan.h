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

// What a plan of `length` from `now` covers: the guard goes on when the
// person leaves and off when they are back, so a guard that is off now is
// planned from a leaving time ahead, and any plan stops at the return.
struct PlanStretch {
    CTime from;
    CTime to;
};
PlanStretch StretchAround(const std::optional<AwaySpan>& away, CTime now, CTimeSpan length, bool guardOn);

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
