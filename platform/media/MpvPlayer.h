#pragma once
// One libmpv handle that plays a local file to its end and says whether it
// played.  The handle is made on the first play, so starting the program costs
// nothing, and kept for the next ones.
#include <string>
#include <vector>

struct mpv_handle;

namespace platform {

class MpvPlayer {
public:
    struct Option {
        std::string name;
        std::string value;
    };

    explicit MpvPlayer(std::vector<Option> options);
    ~MpvPlayer();
    MpvPlayer(const MpvPlayer&) = delete;
    MpvPlayer& operator=(const MpvPlayer&) = delete;

    enum class Result { Played, NoFile, Failed };
    // Blocks until the file has ended.  Only an existing regular file is
    // handed to mpv, by its absolute path, so it is never read as a URL.
    Result PlayToEnd(const std::string& path);

    // Whether mpv had an audio output open when the file started.
    bool HadAudioOutput() const { return hadAudioOutput_; }
    // Seconds from the call of the last PlayToEnd to the start of its output.
    double LastStartLatency() const { return startLatency_; }

private:
    bool EnsureHandle();

    std::vector<Option> options_;
    mpv_handle* handle_ = nullptr;
    bool hadAudioOutput_ = false;
    double startLatency_ = 0;
};

// The audio outputs to try: $HAUNTWATCH_AO, else real devices only, never null.
std::string AudioOutputs();
// $HAUNTWATCH_VO, or empty for mpv's own choice.
std::string VideoOutputs();

}  // namespace platform
