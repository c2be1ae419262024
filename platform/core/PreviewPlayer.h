#pragma once
// Plays a sound or a movie in the file picker's preview without holding the
// window thread: Play returns at once and the end is told later, on the
// thread that owns the player.  Unlike the guard's own plays, nothing waits.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// The size a movie's picture is drawn at; none plays only the sound.
struct PictureSize {
    int width = 0;
    int height = 0;
    bool Any() const { return width > 0 && height > 0; }
};

// One picture of a movie, 4 bytes a pixel (red, green, blue, unused), rows
// `stride` bytes apart; valid only during the call that hands it over.
struct PreviewFrame {
    int width;
    int height;
    int stride;
    const unsigned char* pixels;
};

class PreviewPlayer {
public:
    virtual ~PreviewPlayer() = default;
    // Starts the file and returns at once; false when it cannot even start.
    // A movie's pictures of `picture`'s size go to onFrame as it plays.
    virtual bool Play(const std::string& path, PictureSize picture) = 0;
    // Stops what plays without telling onEnded; nothing when nothing plays.
    virtual void Stop() = 0;

    // A play that ended by itself: true when it reached its end.  It must
    // not destroy the player.
    std::function<void(bool played)> onEnded;
    // A new picture of the movie that plays, on the owner's thread.
    std::function<void(const PreviewFrame& frame)> onFrame;
};

using PreviewPlayerFactory = std::function<std::unique_ptr<PreviewPlayer>()>;

// Installed for the whole process; without one there is nothing to preview with.
void InstallPreviewPlayerFactory(PreviewPlayerFactory factory);
std::unique_ptr<PreviewPlayer> MakePreviewPlayer();

}  // namespace platform
