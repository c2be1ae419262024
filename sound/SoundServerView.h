#pragma once
// What the program knows of the sound server's outputs: plain data, so the
// rules on it need no server.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sound {

// One output (a sink, in the server's words).
struct SoundOutput {
    std::string name;         // the server's name of it, as the settings keep it
    std::string description;  // what a person calls it
    bool muted = false;
    // The loudest channel, in hundredths of the output's normal volume,
    // rounded: a balance turned all the way to one side is still heard.
    int volumePercent = 100;
    // Its active port (a jack, a connector) says nothing is plugged in.
    bool unplugged = false;

    bool operator==(const SoundOutput&) const = default;
};

// The mute and volume of Hauntwatch's own streams, which the sound server
// remembers for the program and gives every new play: the mixer's entry.
struct StreamMemory {
    bool muted = false;
    int volumePercent = 100;

    bool operator==(const StreamMemory&) const = default;
};

struct SoundServerView {
    enum class State {
        NoServer,  // nobody answers: nothing is claimed either way
        Settling,  // asking; the answer is on its way
        Known,
    };
    State state = State::NoServer;
    std::string defaultOutput;
    std::vector<SoundOutput> outputs;
    // What is known of Hauntwatch's own entry: the server's memory, or what
    // the last play found, whichever came last; none when nothing is known.
    std::optional<StreamMemory> ownStream{};

    const SoundOutput* Find(const std::string& name) const
    {
        const auto it = std::find_if(outputs.begin(), outputs.end(), [&](const SoundOutput& o) { return o.name == name; });
        return it == outputs.end() ? nullptr : &*it;
    }

    bool operator==(const SoundServerView&) const = default;
};

}  // namespace sound
