#pragma once
#include "Clock.h"

namespace platform {

// A clock that stands still until told otherwise; installs itself while alive.
class FakeClock final : public Clock {
public:
    explicit FakeClock(std::int64_t now = 0) : now_(now) { InstallClock(this); }
    ~FakeClock() override { InstallClock(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    std::int64_t NowSeconds() override { ++reads_; return now_; }
    void Set(std::int64_t now) { now_ = now; }
    void Advance(std::int64_t seconds) { now_ += seconds; }
    int Reads() const { return reads_; }

private:
    std::int64_t now_;
    int reads_ = 0;
};

}  // namespace platform
