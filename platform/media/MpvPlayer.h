#pragma once
// One hardened libmpv handle that plays a local file to its end and says how
// that went.  The handle is made on the first play, so starting the program
// costs nothing, and kept for the next ones.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "MpvOptions.h"
#include "PlayShape.h"

struct mpv_handle;
struct mpv_event;

namespace platform {

// How long past its end a play is waited for.  A sound server or file system
// that stalls would otherwise hold the guard for good.
struct MpvPatience {
    std::chrono::milliseconds afterLength{std::chrono::seconds(30)};
    // Until the file's length is known, or when it has none.
    std::chrono::milliseconds unknownLength{std::chrono::minutes(10)};
};

class MpvPlayer {
public:
    using Option = MpvOption;
    // Sound: audio only, no window.  Movie: full screen in mpv's own window,
    // where Esc and q end the clip early.
    enum class Kind { Sound, Movie };
    enum class Outcome { Played, NotAFile, CannotPlay, NoAudioOutput, NoVideoOutput, NoPlayer, TimedOut };

    using Patience = MpvPatience;

    // `tuning` is applied after everything else (tests and benchmarks use it
    // for mpv's untimed null outputs).
    explicit MpvPlayer(Kind kind, std::vector<Option> tuning = {}, Patience patience = {});
    ~MpvPlayer();
    MpvPlayer(const MpvPlayer&) = delete;
    MpvPlayer& operator=(const MpvPlayer&) = delete;

    // Blocks until the file has ended.  Only an existing regular file is
    // handed to mpv, by its canonical absolute path, so it is never taken for
    // a URL or an option; files it names (a playlist's entries) are not
    // opened.
    Outcome PlayToEnd(const std::string& path);

    // Seconds from the call of the last PlayToEnd to the start of its output;
    // negative when its output never started.
    double LastStartLatency() const { return startLatency_; }

private:
    struct Play {
        std::int64_t awaitedEntry;
        std::string path;
        std::chrono::steady_clock::time_point called;
        std::chrono::steady_clock::time_point giveUp;
        bool started = false;
        bool videoOutputFailed = false;
        // The stream's own mute and volume, asked while it runs.
        bool streamRuns = false;
        int levelAnswersAwaited = 0;
        std::chrono::steady_clock::time_point nextLevelQuestion{};
        std::optional<StreamLevel> level{};
        PlayShape shape{};
        std::optional<PlayedPart> part{};
    };

    bool EnsureHandle(const std::string& audioDevice);
    bool Configure(const std::string& audioDevice);
    bool SetUpAfterStart();
    void DestroyHandle();
    Outcome AwaitEnd(Play& play);
    void ReadPendingLog(Play& play);
    void Stop();
    void OnPlaybackRestart(Play& play);
    void OnFileLoaded(Play& play);
    void AskStreamLevel(Play& play);
    bool ApplyLevel(const PlayShape& shape);
    void StartExcerpt(Play& play, double mediaSeconds);
    void OnLevelAnswer(Play& play, const mpv_event& event);
    // A handle that never ended its play may be stuck inside its audio
    // output, where destroying it would block too: it is left to another
    // thread, and the next play makes a new one.
    void AbandonHandle();

    Kind kind_;
    std::vector<Option> tuning_;
    Patience patience_;
    mpv_handle* handle_ = nullptr;
    // mpv fixes the output when a handle starts; a new choice takes a new handle.
    std::string handleAudioDevice_;
    double startLatency_ = -1;
};

}  // namespace platform
