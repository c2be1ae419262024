#pragma once
// The program's fixed Windows-style paths under "c:\qwendrik\" name files in
// its home folder: $HAUNTWATCH_HOME, else $XDG_DATA_HOME/qwendrik, else
// ~/.local/share/qwendrik.
#include <string>

namespace platform {

std::string HomeFolder();

// The folder the program's own sounds and sample noises are installed in:
// $HAUNTWATCH_DATA_DIR, else share/hauntwatch beside the folder of the running
// binary (<prefix>/bin/hauntwatch: <prefix>/share/hauntwatch).
std::string DataFolder();

// A path under "c:\qwendrik\" (any letter case, either slash) as the file in the
// home folder; any other path unchanged.
std::string HomePath(const std::string& path);

// For files the program ships: the home folder's copy when there is one, else
// the data folder's.  Other paths unchanged.
std::string ProgramFilePath(const std::string& path);

// Creates the home folder (mode 0700) and its parents when missing.
bool EnsureFolder(const std::string& folder, std::string* error);

}  // namespace platform
