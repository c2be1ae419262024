#pragma once
// hauntwatch --plan DURATION: what the guard would do if the program were
// started now with the settings file in the home folder and the guard turned
// on at once, printed one tab-separated line per event, without a window.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "CTime.h"
#include "Plan.h"

namespace trip {

inline constexpr std::int64_t kLongestPlanSeconds = 14 * 86400;

// "90m", "12h", "3d": a whole number of minutes, hours or days, more than
// none and at most 14 days.  None, with a reason, for anything else.
std::optional<CTimeSpan> ParsePlanDuration(std::string_view text, std::string* error);

// time, "play", name, repeat count, path[, "continuously"], or time,
// "quiet until", wake-up time; no line break.
std::string FormatPlanLine(const PlanEvent& event);

// The exit status: 0, 1 for a settings file that could not be read, 2 for a
// bad duration.  The media lengths are cached in `cacheFile`.
int RunPlanCommand(std::string_view duration, std::ostream& out, std::ostream& err,
                   const std::string& cacheFile = {});

}  // namespace trip
