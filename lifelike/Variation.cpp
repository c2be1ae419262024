#include "Variation.h"

#include <cmath>
#include <cstdio>

namespace lifelike {

namespace {

std::string Clock(std::int64_t seconds)
{
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    return text;
}

}  // namespace

double DrawGainDb(const LevelRange& range, RealismRandom& random)
{
    return random.Uniform(range.low, range.high);
}

std::string ExcerptText(const Excerpt& excerpt)
{
    return excerpt.whole ? std::string() : "from " + Clock(excerpt.start) + " for " + Clock(excerpt.length);
}

}  // namespace lifelike
