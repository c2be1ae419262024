#pragma once
#include <string>
#include <vector>

#include "Messenger.h"

namespace platform {

// Collects the texts that would have been shown; installs itself while alive.
class FakeMessenger final : public Messenger {
public:
    FakeMessenger() { InstallMessenger(this); }
    ~FakeMessenger() override { InstallMessenger(nullptr); }
    FakeMessenger(const FakeMessenger&) = delete;
    FakeMessenger& operator=(const FakeMessenger&) = delete;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowWithoutWaiting(const std::string& text) override { unwaited.push_back(text); }

    std::vector<std::string> messages;
    std::vector<std::string> unwaited;
};

}  // namespace platform
