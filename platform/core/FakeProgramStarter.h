#pragma once
#include <string>
#include <vector>

#include "ProgramStarter.h"

namespace platform {

// Records every file it was asked to start; answers `result`.
class FakeProgramStarter final : public ProgramStarter {
public:
    FakeProgramStarter() { InstallProgramStarter(this); }
    ~FakeProgramStarter() override { InstallProgramStarter(nullptr); }
    FakeProgramStarter(const FakeProgramStarter&) = delete;
    FakeProgramStarter& operator=(const FakeProgramStarter&) = delete;

    UINT StartFile(const std::string& path, UINT showCommand) override
    {
        started.push_back(path);
        lastShowCommand = showCommand;
        return result;
    }

    std::vector<std::string> started;
    UINT lastShowCommand = 0;
    UINT result = 33;
};

}  // namespace platform
