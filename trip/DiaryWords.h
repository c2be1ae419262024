#pragma once
// The diary's words: the events its lines name and the fields of a play's
// line, written by the guard's records and read by the diary window from
// these definitions alone.
#include <string>
#include <vector>

namespace trip::words {

inline constexpr char kGuardOn[] = "guard on";
inline constexpr char kGuardResumed[] = "guard resumed";
inline constexpr char kGuardOff[] = "guard off";
inline constexpr char kPlayed[] = "played";
inline constexpr char kStarted[] = "started";
inline constexpr char kFailed[] = "failed";
inline constexpr char kQuietUntil[] = "quiet until";
inline constexpr char kUnheard[] = "unheard";
inline constexpr char kRemote[] = "remote";
inline constexpr char kAwayUnusable[] = "away unusable";
inline constexpr char kExtrasIgnored[] = "extras ignored";
// The field of a guard start that the person's leaving time made.
inline constexpr char kAway[] = "away";

// A play's line: the file played (a folder's take), the noise's name, the
// part of it played, why it failed, and whether a person asked for it
// through the broker.
struct PlayFields {
    std::string path;
    std::string noise;
    std::string excerpt;
    std::string reason;
    bool fromTheBroker = false;
};
std::vector<std::string> WritePlayFields(const PlayFields& play);
// Also the lines written before plays named their noise: the path, then the
// reason of a failure and the broker's mark; their noise is left empty.
PlayFields ReadPlayFields(const std::vector<std::string>& fields);

}  // namespace trip::words
