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
};

}  // namespace platform
