#pragma once
// What the program knows of the sound server's outputs: plain data, so the
// rules on it need no server.
#include <algorithm>
#include <cstdint>
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

struct SoundServerView {
    enum class State {
        NoServer,  // nobody answers: nothing is claimed either way
        Settling,  // asking; the answer is on its way
        Known,
    };
    State state = State::NoServer;
    std::string defaultOutput;
    std::vector<SoundOutput> outputs;

    const SoundOutput* Find(const std::string& name) const
    {
        const auto it = std::find_if(outputs.begin(), outputs.end(), [&](const SoundOutput& o) { return o.name == name; });
        return it == outputs.end() ? nullptr : &*it;
    }

    bool operator==(const SoundServerView&) const = default;
};

}  // namespace sound
