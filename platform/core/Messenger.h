#pragma once
// How the framework tells the user about a failure it cannot hide (a settings
// file that would not load or save, a field that is not a whole number).  The
// window layer installs a message box; without one, messages go to stderr.
#include <string>

namespace platform {

class Messenger {
public:
    virtual ~Messenger() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    // News rather than a failure (a first start), shown the same way but
    // without the warning look.
    virtual void ShowNote(const std::string& text) { ShowMessage(text); }
};

void InstallMessenger(Messenger* messenger);
Messenger& InstalledMessenger();

}  // namespace platform
