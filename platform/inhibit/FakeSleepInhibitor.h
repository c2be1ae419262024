#pragma once
#include "SleepInhibitor.h"

namespace platform {

// Counts every call and every change between held and released.
class FakeSleepInhibitor final : public SleepInhibitor {
public:
    FakeSleepInhibitor() { InstallSleepInhibitor(this); }
    ~FakeSleepInhibitor() override { InstallSleepInhibitor(nullptr); }
    FakeSleepInhibitor(const FakeSleepInhibitor&) = delete;
    FakeSleepInhibitor& operator=(const FakeSleepInhibitor&) = delete;

    void Hold() override
    {
        ++holdCalls;
        if (held)
            return;
        held = true;
        ++holds;
    }
    void Release() override
    {
        ++releaseCalls;
        if (!held)
            return;
        held = false;
        ++releases;
    }
    bool IsHeld() const override { return held; }

    bool held = false;
    int holds = 0;     // released -> held
    int releases = 0;  // held -> released
    int holdCalls = 0;
    int releaseCalls = 0;
};

}  // namespace platform
