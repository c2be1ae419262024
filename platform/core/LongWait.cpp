#include "LongWait.h"

namespace platform {

namespace {

struct Installed {
    std::function<void()> hook;
    std::chrono::milliseconds slice = std::chrono::hours(24);
};

Installed& Current()
{
    static Installed installed;
    return installed;
}

}  // namespace

void InstallLongWaitHook(std::function<void()> hook, std::chrono::milliseconds slice)
{
    Current() = Installed{std::move(hook), slice};
}

void UninstallLongWaitHook()
{
    Current() = Installed{};
}

std::chrono::milliseconds LongWaitSlice()
{
    return Current().slice;
}

void StillWaiting()
{
    if (Current().hook)
        Current().hook();
}

}  // namespace platform
