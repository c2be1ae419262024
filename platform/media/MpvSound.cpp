#include "MpvSound.h"

namespace platform {

MpvSound::MpvSound()
    : player_({{"vid", "no"}, {"audio-display", "no"}, {"ao", AudioOutputs()}, {"ao-null-untimed", "yes"},
               {"input-default-bindings", "no"}, {"force-window", "no"}})
{
}

bool MpvSound::PlaySync(const std::string& path)
{
    return player_.PlayToEnd(path) == MpvPlayer::Result::Played && player_.HadAudioOutput();
}

}  // namespace platform
