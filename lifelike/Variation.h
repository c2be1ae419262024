#pragma once
// What changes from one play of a row to the next: its loudness and the
// part of a long recording it plays.
#include <cstdint>
#include <string>

#include "RealismRandom.h"

namespace lifelike {

// Decibels, -30 <= low <= high <= 0.
struct LevelRange {
    double low = 0;
    double high = 0;
    friend bool operator==(const LevelRange&, const LevelRange&) = default;
};

// Uniform in decibels, so quiet and loud plays are heard as evenly spread.
double DrawGainDb(const LevelRange& range, RealismRandom& random);

// Where a play's excerpt lay (platform::PlaceExcerpt places it).
struct Excerpt {
    bool whole = true;  // the file plays from its start to its end
    std::int64_t start = 0;   // seconds into the file
    std::int64_t length = 0;  // seconds; the file's own when whole
};

// The diary's words, `from 1:12:40 for 30:00`; empty for a whole play.
std::string ExcerptText(const Excerpt& excerpt);

}  // namespace lifelike
