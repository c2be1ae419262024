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
    // For what goes wrong while the guard runs: shown once the handler at
    // work has finished, and never waited for, so no tick or click is held
    // up by a message nobody is there to close.
    virtual void ShowWithoutWaiting(const std::string& text) { ShowMessage(text); }
};

void InstallMessenger(Messenger* messenger);
Messenger& InstalledMessenger();

}  // namespace platform
