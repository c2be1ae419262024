#pragma once
#include <functional>
#include <string>
#include <vector>

#include "Sound.h"

namespace platform {

// Records every play; answers with `result` (or with `decide` when set).
class FakeSound final : public SoundService {
public:
    FakeSound() { InstallSoundService(this); }
    ~FakeSound() override { InstallSoundService(nullptr); }
    FakeSound(const FakeSound&) = delete;
    FakeSound& operator=(const FakeSound&) = delete;

    bool PlaySync(const std::string& path) override
    {
        played.push_back(path);
        if (onPlay)
            onPlay(path);
        return decide ? decide(path) : result;
    }
    PlayFailure LastFailure() const override { return failure; }

    std::vector<std::string> played;
    bool result = true;
    PlayFailure failure = PlayFailure::CannotDecode;
    std::function<bool(const std::string&)> decide;
    std::function<void(const std::string&)> onPlay;
};

}  // namespace platform
