#pragma once
// A library noise whose file is a folder is a set of takes: each play picks
// one of them, so the same bark is not heard every time.
#include <map>
#include <string>
#include <vector>

#include "RealismRandom.h"

namespace lifelike {

// What a row plays as a sound or a movie: a name ending in "wav" or "avi",
// the very rule that decides it for a single file.
bool PlaysAsMedia(const std::string& path);
bool IsFolder(const std::string& path);

// The takes directly in the folder, as paths in name order: files a row
// would play as a sound or a movie; no subfolders, no names starting with a dot.
std::vector<std::string> TakesIn(const std::string& folder);

struct TakePick {
    std::string take;     // the file to play; empty when the play fails
    std::string failure;  // `no takes in <folder>`
};

// At random among the takes, never `lastTake` when there are two or more.
TakePick PickTake(const std::string& folder, const std::string& lastTake, RealismRandom& random);

// The take each folder played last.  Copyable with the random source, so a
// plan that copies both picks what the live guard will.
class TakeMemory {
public:
    TakePick Pick(const std::string& folder, RealismRandom& random);
    friend bool operator==(const TakeMemory&, const TakeMemory&) = default;

private:
    std::map<std::string, std::string> last_;
};

}  // namespace lifelike
