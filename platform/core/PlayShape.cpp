#include "PlayShape.h"

#include <cmath>
#include <utility>

namespace platform {

namespace {
PlayShape nextShape;
std::optional<PlayedPart> playedPart;
}  // namespace

void ShapeNextPlay(const PlayShape& shape)
{
    nextShape = shape;
}

PlayShape TakePlayShape()
{
    return std::exchange(nextShape, PlayShape{});
}

std::optional<PlayedPart> PlaceExcerpt(const PlayShape& shape, double mediaSeconds)
{
    // A length no recording has (a damaged cache, a player's odd answer)
    // counts as unknown.
    constexpr double kLongestRecording = 1e9;
    if (!shape.excerptSeconds || !(mediaSeconds > static_cast<double>(*shape.excerptSeconds)) ||
        !(mediaSeconds < kLongestRecording))
        return std::nullopt;
    const auto latest = static_cast<std::uint64_t>(std::floor(mediaSeconds - static_cast<double>(*shape.excerptSeconds)));
    return PlayedPart{static_cast<std::int64_t>(shape.excerptDraw % (latest + 1)), *shape.excerptSeconds};
}

void TellPlayedPart(const std::optional<PlayedPart>& part)
{
    playedPart = part;
}

std::optional<PlayedPart> TakePlayedPart()
{
    return std::exchange(playedPart, std::nullopt);
}

}  // namespace platform
