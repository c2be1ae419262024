#pragma once
// The output the person chose for Mervo (the sound server's name of it;
// empty for the desktop's default), kept in the user's settings, group
// Sound, key Output.
#include <string>

#include "SoundServerView.h"

namespace sound {

class OutputChoice {
public:
    // Reads the user's settings.
    OutputChoice();

    const std::string& Chosen() const { return chosen_; }
    // Kept at once.
    void Choose(const std::string& name);

private:
    std::string chosen_;
};

// The libmpv audio-device a play uses: the chosen output while the server
// has it ("pulse/<name>"), or while the server is still being asked; empty
// (the output's own default) for no choice, a choice the server no longer
// has, or no server at all.
std::string MpvAudioDevice(const SoundServerView& view, const std::string& chosen);

}  // namespace sound
