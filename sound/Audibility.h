#pragma once
// Whether anybody can hear what the guard plays, judged from what the sound
// server said, and the words that tell it.  No server, no Qt: plain rules.
#include <optional>
#include <string>

#include "CTime.h"
#include "SoundServerView.h"

namespace sound {

// Why nobody can hear Mervo, the first that holds in this order.
struct Unheard {
    // The output's, then Hauntwatch's own stream's (the mixer's entry).
    enum class Reason { NoOutput, Unplugged, Muted, Quiet, StreamMuted, StreamQuiet };
    Reason reason;
    int volumePercent = 0;        // for Quiet: the output's; for StreamQuiet: the stream's
    int outputVolumePercent = 0;  // for StreamQuiet
    std::string output;           // the output's description; empty for NoOutput

    // "the sound is muted", "the volume is at 2%", ...
    std::string ReasonText() const;
};

struct Audibility {
    // The chosen output is gone: the default plays instead, this one.
    std::optional<std::string> fallback;
    std::optional<Unheard> unheard;
};

// Below this, in hundredths of normal volume, a guard is not heard through a
// house.
inline constexpr int kQuietestHeardPercent = 5;

// The output that plays: `chosen` (a server name; empty for the desktop's
// default) while the server has it, else the default; then Hauntwatch's own
// stream at that output: `seen` (what a play found) or else what the view
// knows of it.  Nothing is claimed unless the server has answered.
Audibility Judge(const SoundServerView& view, const std::string& chosen,
                 const std::optional<StreamMemory>& seen = std::nullopt);

// The problem report's lines, "At HH:MM ..."
std::string UnheardLine(CTime at, const Unheard& unheard);
std::string FallbackLine(CTime at, const std::string& fallback);

// What a person who just started the guard is told, and how to mend it;
// empty when all is well.
std::string Advice(const Audibility& audibility);

}  // namespace sound
