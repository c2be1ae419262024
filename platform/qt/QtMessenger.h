#pragma once
// The framework's failure messages as message boxes captioned with the
// application title.
#include "Messenger.h"

namespace platform {

class QtMessenger final : public Messenger {
public:
    void ShowMessage(const std::string& text) override;
    void ShowNote(const std::string& text) override;
    void ShowWithoutWaiting(const std::string& text) override;
    // While nobody is there to close a message box (a start after a restart),
    // every message is shown without waiting for it.
    void SetUnattended(bool unattended) { unattended_ = unattended; }

private:
    bool unattended_ = false;
};

}  // namespace platform
