#pragma once
// Environment changes for one test, undone at its end.
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            it->second ? ::setenv(it->first.c_str(), it->second->c_str(), 1) : ::unsetenv(it->first.c_str());
    }

    void Set(const std::string& name, const std::string& value)
    {
        Save(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    void Unset(const std::string& name)
    {
        Save(name);
        ::unsetenv(name.c_str());
    }

    // Every sound server and device a real audio output could reach points
    // at something that is not there.
    void SilenceEverySoundServer(const std::string& alsaConfig)
    {
        Set("PULSE_SERVER", "unix:/nonexistent/hauntwatch-pulse");
        Set("PIPEWIRE_REMOTE", "hauntwatch-no-such-pipewire");
        Set("JACK_DEFAULT_SERVER", "hauntwatch-no-such-jack");
        Set("JACK_NO_START_SERVER", "1");
        Set("AUDIODEVICE", "snd@nonexistent.invalid/0");
        Set("ALSA_CONFIG_PATH", alsaConfig);
    }

private:
    void Save(const std::string& name)
    {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
