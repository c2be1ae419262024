#pragma once
// What Mervo's diary hears of the link to the broker.  A link that keeps
// dropping (a second client under the same id, a broker that restarts, a
// network that flaps) would otherwise push the trip's plays and failures out
// of the diary within hours.  So: one line when the first connection is made,
// one when an outage begins, one when it is over (the link has then held
// for a while) with the number of attempts; and whatever happens, these
// lines take at most kBytesPerDay of the diary in any 24 hours.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace remote {

class ConnectionNotes {
public:
    using Write = std::function<void(const std::string& line)>;

    static constexpr std::size_t kBytesPerDay = 4096;
    // What a diary line takes beyond its text: its time, event and tabs.
    static constexpr std::size_t kLineOverhead = 34;
    // A broker's reason can be long (OpenSSL's): a line is cut to this.
    static constexpr std::size_t kLongestLine = 200;

    explicit ConnectionNotes(Write write) : write_(std::move(write)) {}

    // `now` in seconds on a clock that neither steps nor stops in a suspend.
    // The link is up: written the first time; in an outage, only once it held.
    void Connected(const std::string& line, std::int64_t now);
    // It has held since its last Connected: an outage is over.
    void Held(const std::string& broker, std::int64_t now);
    // An attempt failed or the link broke (`broken`: it was up).
    void Trouble(const std::string& line, bool broken, std::int64_t now);
    // Another broker or account: its first connection is written again.
    void Restart();

    bool InOutage() const { return inOutage_; }

private:
    void Note(std::string line, std::int64_t now);

    Write write_;
    bool everConnected_ = false;
    bool inOutage_ = false;
    int attempts_ = 0;
    std::string lastTrouble_;
    // The bytes written in the last 24 hours, when.
    std::deque<std::pair<std::int64_t, std::size_t>> written_;
    int leftOut_ = 0;
    bool silenceTold_ = false;
};

}  // namespace remote
