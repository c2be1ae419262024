#pragma once
// Mervo's diary: diary.log in the home folder, one line per thing the guard
// did, kept across restarts, so that whoever comes home can read whether it
// ran, played and was heard.
//
// A line is tab-separated (see DiaryFormat.h for the escaping):
//     2026-12-07T23:30:00+01:00 <TAB> event <TAB> field <TAB> field ...
// the local time with its offset, the event, then the event's own fields.
// The guard's events are written by GuardRecords (guard on, guard resumed,
// guard off, played, started, failed, quiet until).  Other parts of the
// program add their own lines through Diary::Append, for example
//     trip::Diary::Append("unheard", {reason, output});   // the sound check
//     trip::Diary::Append("remote", {"guard turned on from the phone"});
// Append may be called from any thread; each line is handed to the kernel
// whole before Append returns (not synced: a power cut may lose the last
// lines), or, when the disk is full, not at all: a line cut short is cut
// back off the file.  Once the file would grow
// past kRotateBytes it is renamed to diary.log.1 (replacing the older one)
// and a new diary.log is begun.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CTime.h"
#include "PlayFailure.h"

namespace trip {

class Diary {
public:
    static constexpr std::int64_t kRotateBytes = 1024 * 1024;

    // Stamped with the installed clock's time.  False when the line could not
    // be written (the reason in *error when given).
    static bool Append(std::string_view event, const std::vector<std::string>& fields = {},
                       std::string* error = nullptr);
    static bool Append(CTime at, std::string_view event, const std::vector<std::string>& fields = {},
                       std::string* error = nullptr);

    // <home folder>/diary.log; the older lines are in Path() + ".1".
    static std::string Path();
};

struct DiaryEntry {
    CTime at;
    std::string event;
    std::vector<std::string> fields;
};

// The lines of both files from `from` on, oldest first; lines that cannot be
// read as diary lines are skipped.
std::vector<DiaryEntry> ReadDiary(CTime from);

// The reason word of a failed play: "file missing", "no sound output", ...
std::string FailureReason(platform::PlayFailure failure);
inline constexpr char kTimerFailedReason[] = "timer failed";
// The last field of a play a person asked for through the remote control.
inline constexpr char kFromTheBroker[] = "from the broker";

}  // namespace trip
