#pragma once
// Keeping the machine awake while the guard is on: most desktops suspend an
// idle machine after a quarter of an hour, and a guard that sleeps with the
// machine makes no noise at all.
namespace platform {

class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    // Holding while held and releasing while not held do nothing.
    virtual void Hold() = 0;
    virtual void Release() = 0;
    // True from Hold to Release.
    virtual bool IsHeld() const = 0;
};

// Installed for the whole process; nullptr (the start-up value) means none,
// and the guard then runs without one.
void InstallSleepInhibitor(SleepInhibitor* inhibitor);
SleepInhibitor* InstalledSleepInhibitor();

}  // namespace platform
