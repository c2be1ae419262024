#pragma once
#include "ProgramStarter.h"

namespace platform {

// Hands a file to xdg-open as one argument, never through a shell, so any
// character in a file name is just part of the name.
class XdgProgramStarter final : public ProgramStarter {
public:
    UINT StartFile(const std::string& path, UINT showCommand) override;
};

}  // namespace platform
