#pragma once
// Where "now" comes from.  The scheduler and the player read the time through
// the installed clock, so tests can run a pass at any date and hour.
#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Whole seconds since 1970-01-01 00:00:00 UTC.
    virtual std::int64_t NowSeconds() = 0;
};

class SystemClock final : public Clock {
public:
    std::int64_t NowSeconds() override;
};

// Installs a clock for the whole process (nullptr restores the system clock).
void InstallClock(Clock* clock);
Clock& InstalledClock();

}  // namespace platform
