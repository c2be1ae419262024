#include "AppTestFixture.h"
#include "FakeSleepInhibitor.h"

namespace {

// The machine is kept awake exactly while the guard is on.
class GuardAwakeTest : public AppTest {
protected:
    platform::FakeSleepInhibitor inhibitor;
    platform::FakeClock clock{CTime(2026, 12, 7, 10, 0, 0).GetTime()};
    platform::FakeSound sound;
    platform::FakeTimer timer;
};

TEST_F(GuardAwakeTest, StartStopStartWhileOnLaterInitialUpdateAndQuitHoldAndReleaseOnce)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(inhibitor.held);

    view()->OnTurnMeOn();
    EXPECT_TRUE(inhibitor.held);
    EXPECT_EQ(inhibitor.holds, 1);
    view()->OnTurnMeOn();
    Click(300, 250);
    EXPECT_EQ(inhibitor.holdCalls, 1) << "turning the guard on while on asks for nothing";

    Click(100, 80);
    EXPECT_FALSE(inhibitor.held);
    EXPECT_EQ(inhibitor.releases, 1);

    view()->OnTurnMeOn();
    view()->OnInitialUpdate();
    EXPECT_FALSE(inhibitor.held) << "a later initial update stops the guard and lets go";
    EXPECT_EQ(inhibitor.releases, 2);

    view()->OnTurnMeOn();
    app->ExitInstance();
    app.reset();
    EXPECT_FALSE(inhibitor.held) << "quitting lets go";
    EXPECT_EQ(inhibitor.holds, 3);
    EXPECT_EQ(inhibitor.releases, 3);
}

TEST_F(GuardAwakeTest, WithoutAnInhibitorTheGuardStartsAsBeforeAndReportsNoProblems)
{
    platform::InstallSleepInhibitor(nullptr);
    ASSERT_TRUE(Start());
    view()->OnTurnMeOn();
    EXPECT_EQ(guardOn, 1);
    EXPECT_TRUE(timer.IsArmed(view()));
    EXPECT_EQ(ProblemLog.problemCount, 0);
}

}  // namespace
