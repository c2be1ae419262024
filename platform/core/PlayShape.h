#pragma once
// How the guard wants its next sound or movie played: louder or quieter than
// recorded, or only part of a long recording.  Handed beside the play, so
// that the old calls (PlaySoundA, the movie commands) keep their shape; the
// player takes it as the play starts, and says which part it played.
#include <cstdint>
#include <optional>

namespace platform {

struct PlayShape {
    // Added to the recording's own level; none: as recorded.
    std::optional<double> gainDb;
    // Plays this long from a point the draw picks; none: the whole file.
    std::optional<std::int64_t> excerptSeconds;
    std::uint64_t excerptDraw = 0;

    bool operator==(const PlayShape&) const = default;
};

// The part of a file a play played, in whole seconds.
struct PlayedPart {
    std::int64_t start = 0;
    std::int64_t length = 0;

    bool operator==(const PlayedPart&) const = default;
};

void ShapeNextPlay(const PlayShape& shape);
// The shape for the play starting now; the one after it is as recorded
// unless shaped anew.
PlayShape TakePlayShape();

// Where the excerpt lies in a file of that length: the draw picks a whole
// second at which it fits.  None when the file is no longer than the
// excerpt, or its length is unknown: it plays whole.
std::optional<PlayedPart> PlaceExcerpt(const PlayShape& shape, double mediaSeconds);

// Told by the player once it knows; taken by the guard after the play.
void TellPlayedPart(const std::optional<PlayedPart>& part);
std::optional<PlayedPart> TakePlayedPart();

}  // namespace platform
