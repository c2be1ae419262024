#pragma once
// Reading a file that a person or another program may have put in place by
// hand: only a regular file of a sensible size is read, and nothing here can
// block on a FIFO or a device, or swallow a huge file put there by mistake.
#include <cstdint>
#include <string>

namespace platform {

enum class SmallFileRead { Read, Missing, Refused };

// Refused, with why in *why ("it is a folder", "it is 2048 MiB, far larger
// than any away file (at most 4 KiB)", the system's reason), when the file
// is there but cannot be read as one; `what` names such a file in that text.
SmallFileRead ReadSmallFile(const std::string& path, std::int64_t largest, const char* what, std::string* bytes,
                            std::string* why);

}  // namespace platform
