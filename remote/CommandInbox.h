#pragma once
// What the broker asks of the guard, handed from libmosquitto's thread to the
// window's.  Nothing a sender does can make the window thread's work grow:
// of the guard commands waiting only the newest counts, at most a few plays
// wait, a payload longer than any command is dropped before it is copied,
// and whatever is not carried out is only counted, for one summary line.
#include <chrono>
#include <cstddef>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace remote {

class CommandInbox {
public:
    struct Command {
        enum class Kind { Guard, Play };
        Kind kind;
        std::string payload;
    };

    // What was not carried out since the first of them.
    struct Summary {
        int count = 0;
        std::time_t since = 0;
        std::string last;  // printable, as the diary quotes it
    };

    static constexpr std::size_t kLongestGuardCommand = 64;
    static constexpr std::size_t kLongestNoiseName = 255;
    static constexpr std::size_t kMostWaitingPlays = 5;

    // On libmosquitto's thread.  True when the window's thread is to be
    // told that there is something for it, once until it has looked.
    bool OfferGuard(const char* payload, std::size_t length, bool retained);
    bool OfferPlay(const char* payload, std::size_t length, bool retained);

    // On the window's thread: the next command in the order they came.
    std::optional<Command> Take();
    // A command the window's thread could not carry out (an unknown noise).
    void SetAside(std::string_view payload);
    // At exit: what still waits is counted as set aside, not carried out.
    void Abandon();
    // The summary so far, emptied; nothing when nothing was set aside.
    std::optional<Summary> TakeSummary();
    bool SomethingSetAside() const;

    // The payload as printable text: printable ASCII as it is, any other
    // byte as \xHH, at most `longest` bytes of it, with "..." after a cut.
    static std::string Printable(std::string_view payload, std::size_t longest = 60);

private:
    // With `mutex_` held.  True for the first one since the last summary.
    bool CountLocked(std::string text);
    bool WakeLocked();

    mutable std::mutex mutex_;
    std::deque<Command> waiting_;
    Summary setAside_;
    bool told_ = false;
};

}  // namespace remote
