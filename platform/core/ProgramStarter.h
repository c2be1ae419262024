#pragma once
// Starting a file with the application the desktop associates with it.
#include <string>

#include "WinTypes.h"

namespace platform {

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Hands the file to the system's starter; greater than 31 when it was accepted.
    virtual UINT StartFile(const std::string& path, UINT showCommand) = 0;
};

void InstallProgramStarter(ProgramStarter* starter);
ProgramStarter* InstalledProgramStarter();

}  // namespace platform

namespace win {
inline constexpr UINT SW_SHOWMAXIMIZED = 3;
// WinExec's answer for a file that is not there.
inline constexpr UINT kStartFileNotFound = 2;
// The command line the program uses is "Start " followed by a path; the path
// goes to the starter as one argument, never through a shell.  Other command
// lines are refused with 2 (file not found).
UINT WinExec(const char* commandLine, UINT showCommand);
}
