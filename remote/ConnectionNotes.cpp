#include "ConnectionNotes.h"

namespace remote {

namespace {

constexpr std::int64_t kDay = 86400;
// Kept for the one line that says the rest is left out.
constexpr std::size_t kReserve = 128;
constexpr char kSilence[] = "more connection trouble: left out of the diary for a while, and counted";

}  // namespace

void ConnectionNotes::Connected(const std::string& line, std::int64_t now)
{
    if (inOutage_ || everConnected_)
        return;
    everConnected_ = true;
    Note(line, now);
}

void ConnectionNotes::Held(const std::string& broker, std::int64_t now)
{
    everConnected_ = true;
    if (!inOutage_)
        return;
    inOutage_ = false;
    const int attempts = attempts_ + 1;
    Note("Connected to " + broker + " after " + std::to_string(attempts) + (attempts == 1 ? " attempt" : " attempts") +
             "; the last trouble: " + lastTrouble_,
         now);
}

void ConnectionNotes::Trouble(const std::string& line, bool broken, std::int64_t now)
{
    lastTrouble_ = line;
    if (inOutage_) {
        ++attempts_;
        return;
    }
    inOutage_ = true;
    // A link that broke was not an attempt; one that never came up was.
    attempts_ = broken ? 0 : 1;
    Note(line, now);
}

void ConnectionNotes::Restart()
{
    everConnected_ = false;
    inOutage_ = false;
}

void ConnectionNotes::Note(std::string line, std::int64_t now)
{
    while (!written_.empty() && written_.front().first <= now - kDay)
        written_.pop_front();
    std::size_t spent = 0;
    for (const auto& [at, bytes] : written_)
        spent += bytes;
    if (leftOut_ > 0)
        line = "(" + std::to_string(leftOut_) + " more left out) " + line;
    if (line.size() > kLongestLine)
        line = line.substr(0, kLongestLine - 3) + "...";
    const std::size_t bytes = line.size() + kLineOverhead;
    if (spent + bytes + kReserve <= kBytesPerDay) {
        written_.emplace_back(now, bytes);
        write_(line);
        leftOut_ = 0;
        silenceTold_ = false;
        return;
    }
    const std::size_t silence = sizeof kSilence - 1 + kLineOverhead;
    if (!silenceTold_ && spent + silence <= kBytesPerDay) {
        written_.emplace_back(now, silence);
        write_(kSilence);
        silenceTold_ = true;
    }
    ++leftOut_;
}

}  // namespace remote
