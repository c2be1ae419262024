#include "Messenger.h"

#include <cstdio>

namespace platform {
namespace {
class StderrMessenger final : public Messenger {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "hauntwatch: %s\n", text.c_str()); }
};
StderrMessenger stderrMessenger;
Messenger* installed = &stderrMessenger;
}

void InstallMessenger(Messenger* messenger)
{
    installed = messenger ? messenger : &stderrMessenger;
}

Messenger& InstalledMessenger()
{
    return *installed;
}

}  // namespace platform
