#pragma once
// A file replaced whole or not at all: the new contents go to a file of
// their own beside the old one, which is then renamed over it.  A reader (or
// a power cut) sees the old file or the new one, never a part of either.
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct ReplaceOptions {
    // Synced, the file and then its folder, before the call returns: for a
    // record that must survive a power cut, not for a cache.
    bool durable = true;
    // A symbolic link stays one: the file it points to is replaced (and made
    // when missing).
    bool followLinks = false;
    // The new file's permissions; without, the old file's, else what the
    // user's umask gives a new file.
    std::optional<mode_t> mode;
};

// Makes the folder when missing.  False, with why in *error, when the file
// could not be replaced; the old one is then as it was, and no temporary
// file is left.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const ReplaceOptions& options,
                           std::string* error);

}  // namespace platform
