#include "MpvSound.h"

namespace platform {

namespace {

PlayFailure FailureOf(MpvPlayer::Outcome outcome)
{
    switch (outcome) {
    case MpvPlayer::Outcome::Played:
        return PlayFailure::None;
    case MpvPlayer::Outcome::NotAFile:
        return PlayFailure::FileMissing;
    case MpvPlayer::Outcome::NoAudioOutput:
    case MpvPlayer::Outcome::NoPlayer:
        return PlayFailure::NoSoundOutput;
    case MpvPlayer::Outcome::TimedOut:
        return PlayFailure::TimedOut;
    case MpvPlayer::Outcome::CannotPlay:
    case MpvPlayer::Outcome::NoVideoOutput:
        break;
    }
    return PlayFailure::CannotDecode;
}

}  // namespace

MpvSound::MpvSound(std::vector<MpvPlayer::Option> tuning, MpvPlayer::Patience patience)
    : player_(MpvPlayer::Kind::Sound, std::move(tuning), patience)
{
}

bool MpvSound::PlaySync(const std::string& path)
{
    lastFailure_ = FailureOf(player_.PlayToEnd(path));
    return lastFailure_ == PlayFailure::None;
}

}  // namespace platform
