#pragma once
#include <map>
#include <string>
#include <vector>

#include "MovieCommands.h"
#include "MpvPlayer.h"

namespace platform {

// The movie command strings on libmpv: OPEN remembers an existing file under
// an alias, PLAY shows it full screen in mpv's own window until it ends (Esc
// or q end it early and count as played; the window goes with the clip),
// CLOSE forgets it.  $HAUNTWATCH_VO and $HAUNTWATCH_AO pick the outputs.
class MpvMovieCommands final : public MovieCommandService {
public:
    explicit MpvMovieCommands(std::vector<MpvPlayer::Option> tuning = {});
    MCIERROR SendCommand(const std::string& command) override;

private:
    MCIERROR Open(const std::string& alias, const std::string& path);
    MCIERROR Play(const std::string& alias);
    MCIERROR Close(const std::string& alias);

    MpvPlayer player_;
    std::map<std::string, std::string> openFiles_;
};

}  // namespace platform
