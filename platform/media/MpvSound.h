#pragma once
#include <vector>

#include "MpvPlayer.h"
#include "Sound.h"

namespace platform {

// Sounds through libmpv, audio only.  $HAUNTWATCH_AO picks the output;
// without it only real devices are tried, so a guard nobody can hear fails
// its plays instead of playing into nothing.
class MpvSound final : public SoundService {
public:
    explicit MpvSound(std::vector<MpvPlayer::Option> tuning = {}, MpvPlayer::Patience patience = {});
    bool PlaySync(const std::string& path) override;
    PlayFailure LastFailure() const override { return lastFailure_; }
    // Seconds from the last PlaySync call to the start of its sound output.
    double LastStartLatency() const { return player_.LastStartLatency(); }

private:
    MpvPlayer player_;
    PlayFailure lastFailure_ = PlayFailure::None;
};

}  // namespace platform
