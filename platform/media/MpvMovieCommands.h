#pragma once
#include <map>
#include <string>

#include "MovieCommands.h"
#include "MpvPlayer.h"

namespace platform {

// The movie command strings on libmpv: OPEN remembers a file under an alias,
// PLAY shows it full screen in mpv's own window until it ends (Esc or q end it
// early and count as played), CLOSE forgets it.
class MpvMovieCommands final : public MovieCommandService {
public:
    MpvMovieCommands();
    ~MpvMovieCommands() override;
    MpvMovieCommands(const MpvMovieCommands&) = delete;
    MpvMovieCommands& operator=(const MpvMovieCommands&) = delete;
    MCIERROR SendCommand(const std::string& command) override;

private:
    MCIERROR Play(const std::string& alias);

    std::string keyBindings_;
    MpvPlayer player_;
    std::map<std::string, std::string> openFiles_;
};

}  // namespace platform
