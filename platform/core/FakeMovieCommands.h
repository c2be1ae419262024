#pragma once
#include <functional>
#include <string>
#include <vector>

#include "MovieCommands.h"

namespace platform {

// Records every command string; the play command answers `playResult`.
class FakeMovieCommands final : public MovieCommandService {
public:
    FakeMovieCommands() { InstallMovieCommandService(this); }
    ~FakeMovieCommands() override { InstallMovieCommandService(nullptr); }
    FakeMovieCommands(const FakeMovieCommands&) = delete;
    FakeMovieCommands& operator=(const FakeMovieCommands&) = delete;

    MCIERROR SendCommand(const std::string& command) override
    {
        commands.push_back(command);
        if (onCommand)
            onCommand(command);
        return command.rfind("PLAY ", 0) == 0 ? playResult : otherResult;
    }

    std::vector<std::string> commands;
    MCIERROR playResult = kMovieOk;
    MCIERROR otherResult = kMovieOk;
    std::function<void(const std::string&)> onCommand;
};

}  // namespace platform
