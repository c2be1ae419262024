#include "MpvSound.h"

namespace platform {

MpvSound::MpvSound(std::vector<MpvPlayer::Option> tuning) : player_(MpvPlayer::Kind::Sound, std::move(tuning)) {}

bool MpvSound::PlaySync(const std::string& path)
{
    return player_.PlayToEnd(path) == MpvPlayer::Outcome::Played;
}

}  // namespace platform
