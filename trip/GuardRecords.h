#pragma once
// What the trip features keep of the guard's events: the duty record and the
// diary's lines.  Plain C++, so it runs wherever the engine runs.
#include <functional>
#include <optional>
#include <string>

#include "GuardEvents.h"

namespace trip {

class GuardRecords final : public GuardEvents {
public:
    // `tellProblem` gets one line for the problem report when a record cannot
    // be written: a guard that will not come back after a restart, or a
    // diary that stays empty, is something the person must learn about.
    explicit GuardRecords(std::function<void(const std::string&)> tellProblem = {});

    void GuardStarted(CTime at, GuardStartOrigin origin) override;
    void GuardStopped(CTime at) override;
    void Played(const PlayReport& report) override;
    void QuietHold(CTime until, CTime at) override;
    void TimerFailed(CTime at) override;
    // What of the row extras file was ignored, one line each, as it is read.
    void ExtrasRead(const std::vector<std::string>& problems) override;

    // The next resumed start counts from here rather than from the duty
    // record on disk (which a plain start of this run has already removed).
    void ResumeFrom(CTime since) { resumeFrom_ = since; }

private:
    void Write(CTime at, std::string_view event, const std::vector<std::string>& fields = {});
    void Problem(CTime at, const std::string& what);

    std::function<void(const std::string&)> tellProblem_;
    // One problem line per guard start for a diary that cannot be written.
    bool diaryFailureTold_ = false;
    std::optional<CTime> resumeFrom_;
};

}  // namespace trip
