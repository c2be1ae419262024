#pragma once
// Every engine test starts from the start-up values of the process-wide state.
#include <gtest/gtest.h>

#include "GuardScheduler.h"
#include "GuardSettings.h"
#include "ProblemLog.h"
#include "Random.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuardSettings = GuardSettingsRecord{};
        ProblemLog = ProblemLogRecord{};
        guardOn = 0;
        win::srand(1);
    }
};
