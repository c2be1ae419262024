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

double AmplitudeOf(double gainDb)
{
    return std::pow(10.0, gainDb / 20.0);
}

Excerpt ChooseExcerpt(double mediaSeconds, std::int64_t excerptSeconds, RealismRandom& random)
{
    // A length no recording has (a damaged cache, say) counts as unknown.
    constexpr double kLongestRecording = 1e9;
    if (!(mediaSeconds > static_cast<double>(excerptSeconds)) || !(mediaSeconds < kLongestRecording))
        return {true, 0, mediaSeconds > 0 && mediaSeconds < kLongestRecording ? std::llround(mediaSeconds) : 0};
    const auto latest = static_cast<std::uint64_t>(std::floor(mediaSeconds - static_cast<double>(excerptSeconds)));
    return {false, static_cast<std::int64_t>(random.Below(latest + 1)), excerptSeconds};
}

std::string ExcerptText(const Excerpt& excerpt)
{
    return excerpt.whole ? std::string() : "from " + Clock(excerpt.start) + " for " + Clock(excerpt.length);
}

}  // namespace lifelike
