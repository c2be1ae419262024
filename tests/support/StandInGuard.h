#pragma once
// The guard as the parts beside it see it, for their tests: a snapshot the
// test fills in, and the problem lines and extras they hand back.
#include <optional>
#include <string>
#include <vector>

#include "GuardAccess.h"

class StandInGuard final : public GuardAccess {
public:
    void TurnOn(GuardStartOrigin) override {}
    void Stop() override {}
    bool PlayNoise(const std::string&) override { return false; }
    void AppendProblem(const std::string& line) override { problems.push_back(line); }
    GuardSnapshot Snapshot() const override { return snapshot; }
    int ProblemCount() const override { return static_cast<int>(problems.size()); }
    void SetScheduleExtras(const lifelike::ScheduleExtras& extras) override { extrasSet = extras; }

    GuardSnapshot snapshot;
    std::vector<std::string> problems;
    std::optional<lifelike::ScheduleExtras> extrasSet;
};
