#pragma once
// Plays a sound or a movie in the file picker's preview without holding the
// window thread: Play returns at once and the end is told later, on the
// thread that owns the player.  Unlike the guard's own plays, nothing waits.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

class PreviewPlayer {
public:
    virtual ~PreviewPlayer() = default;
    // Starts the file and returns at once; false when it cannot even start.
    // A movie's picture goes into `videoWindow`, a native window id; 0 shows
    // none and plays only the sound.
    virtual bool Play(const std::string& path, std::uintptr_t videoWindow) = 0;
    // Stops what plays without telling onEnded; nothing when nothing plays.
    virtual void Stop() = 0;

    // A play that ended by itself: true when it reached its end.  It must
    // not destroy the player.
    std::function<void(bool played)> onEnded;
};

using PreviewPlayerFactory = std::function<std::unique_ptr<PreviewPlayer>()>;

// Installed for the whole process; without one there is nothing to preview with.
void InstallPreviewPlayerFactory(PreviewPlayerFactory factory);
std::unique_ptr<PreviewPlayer> MakePreviewPlayer();

}  // namespace platform
