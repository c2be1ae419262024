#pragma once
#include "MpvPlayer.h"
#include "Sound.h"

namespace platform {

// Sounds through libmpv, audio only.  A file that plays without any audio
// output open counts as not played: a guard nobody can hear must say so.
class MpvSound final : public SoundService {
public:
    MpvSound();
    bool PlaySync(const std::string& path) override;
    double LastStartLatency() const { return player_.LastStartLatency(); }

private:
    MpvPlayer player_;
};

}  // namespace platform
