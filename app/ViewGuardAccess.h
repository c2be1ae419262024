#pragma once
#include "GuardAccess.h"

// Through the main window's command route, as a menu item or key would.
class ViewGuardAccess final : public GuardAccess {
public:
    void TurnOn(GuardStartOrigin origin) override;
    void Stop() override;
    bool PlayNoise(const std::string& name) override;
    void AppendProblem(const std::string& line) override;
    GuardSnapshot Snapshot() const override;
    int ProblemCount() const override;
    void SetScheduleExtras(const lifelike::ScheduleExtras& extras) override;
};
