#pragma once
// "Away from ... until ...": when the person leaves and when they are back.
// The span belongs to the guard, so it lives in the home folder ("away", two
// local ISO times, one a line), written whole or not at all; one home folder
// is one guard.
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

std::string AwaySpanPath();
// None when there is no span, or its file cannot be read as one.
std::optional<AwaySpan> ReadAwaySpan();
bool WriteAwaySpan(const AwaySpan& span, std::string* error);
bool ClearAwaySpan(std::string* error);

}  // namespace trip
