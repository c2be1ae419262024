#include "XdgProgramStarter.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "LongWait.h"
#include "OwnEnvironment.h"

namespace platform {

namespace {

constexpr UINT kStarted = 33;
constexpr UINT kNoAssociation = 31;
// xdg-open hands the file on and exits at once; one that hangs must not hold
// the guard for ever, so after this long it counts as started and is reaped later.
constexpr auto kPatience = std::chrono::seconds(10);

}  // namespace

void XdgProgramStarter::ReapFinishedStarters()
{
    std::erase_if(lingering_, [](pid_t child) { return ::waitpid(child, nullptr, WNOHANG) != 0; });
}

UINT XdgProgramStarter::StartFile(const std::string& path, UINT /*showCommand*/)
{
    ReapFinishedStarters();
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return win::kStartFileNotFound;

    // "--" is not understood by xdg-open; a leading "-" is made harmless with "./".
    const std::string argument = path[0] == '-' ? "./" + path : path;
    char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(argument.c_str()), nullptr};
    // What the program set for itself (its name to the sound server) would
    // make the started program's sounds pass for Hauntwatch's.
    std::vector<std::string> environment = EnvironmentForOthers();
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, envp.data()) != 0)
        return kNoAssociation;

    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        // We cannot know whether it ever handed the file on: a failed start.
        if (done < 0 && errno != EINTR)
            return kNoAssociation;
        if (std::chrono::steady_clock::now() >= giveUp) {
            lingering_.push_back(child);
            return kStarted;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        StillWaiting();
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kStarted : kNoAssociation;
}

}  // namespace platform
