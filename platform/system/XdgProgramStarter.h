#pragma once
#include <sys/types.h>

#include <vector>

#include "ProgramStarter.h"

namespace platform {

// Hands a file to xdg-open as one argument, never through a shell, so any
// character in a file name is just part of the name.
class XdgProgramStarter final : public ProgramStarter {
public:
    UINT StartFile(const std::string& path, UINT showCommand) override;

private:
    void ReapFinishedStarters();

    // Starters that outlived the wait; only these are reaped, so the exit
    // status of any other child of the program is left to its owner.
    std::vector<pid_t> lingering_;
};

}  // namespace platform
