// When the screen is kept on: only while on duty with a movie on the
// schedule, following the person's edits; what could not be held is told.
#include <gtest/gtest.h>

#include "GuardAccess.h"
#include "ScreenInhibitor.h"
#include "ScreenKeeper.h"

namespace {

class FakeInhibitor final : public platform::ScreenInhibitor {
public:
    void Hold() override { held = true; }
    void Release() override { held = false; }
    bool IsHeld() const override { return held; }
    bool held = false;
};

class FakeGuard final : public GuardAccess {
public:
    void TurnOn(GuardStartOrigin) override {}
    void Stop() override {}
    bool PlayNoise(const std::string&) override { return false; }
    void AppendProblem(const std::string& line) override { problems.push_back(line); }
    GuardSnapshot Snapshot() const override { return snapshot; }
    int ProblemCount() const override { return static_cast<int>(problems.size()); }
    void SetScheduleExtras(const lifelike::ScheduleExtras&) override {}

    void Row(int row, const char* path, int repeats = 1)
    {
        snapshot.slots[row] = NoiseSlot{"row", path, 30, kModeRandom, repeats, CTime()};
    }
    GuardSnapshot snapshot;
    std::vector<std::string> problems;
};

TEST(ScreenKeeperTest, HeldOnDutyWithAMovieRowAndLetGoWhenThereIsNone)
{
    FakeGuard guard;
    FakeInhibitor inhibitor;
    screen::ScreenKeeper keeper(guard, inhibitor);
    guard.Row(0, "/noises/dog.wav");
    guard.snapshot.on = true;
    keeper.GuardStarted(CTime(), GuardStartOrigin::Person);
    EXPECT_FALSE(inhibitor.held) << "sounds only: the screen may blank";

    guard.Row(3, "/noises/party.avi");
    keeper.ScheduleChanged();
    EXPECT_TRUE(inhibitor.held) << "a movie row added while on duty";
    guard.Row(3, "/noises/party.avi", 0);
    keeper.ScheduleChanged();
    EXPECT_FALSE(inhibitor.held) << "a movie row that plays no times shows nothing";
    guard.snapshot.slots[3] = NoiseSlot{kNothing, kNone, 30, kModeRandom, 1, CTime()};
    guard.Row(1, "/noises/tv.avi");
    keeper.ScheduleChanged();
    EXPECT_TRUE(inhibitor.held);

    guard.snapshot.on = false;
    keeper.GuardStopped(CTime());
    EXPECT_FALSE(inhibitor.held);
    keeper.ScheduleChanged();
    EXPECT_FALSE(inhibitor.held) << "off duty, a movie row keeps nothing on";
}

TEST(ScreenKeeperTest, ARefusalIsAProblemLineWhileOnDuty)
{
    FakeGuard guard;
    FakeInhibitor inhibitor;
    screen::ScreenKeeper keeper(guard, inhibitor);
    guard.snapshot.on = true;
    keeper.Refused("no session bus");
    ASSERT_EQ(guard.problems.size(), 1u);
    EXPECT_NE(guard.problems[0].find("the screen may blank or lock, so movies are heard but not seen: no session bus"),
              std::string::npos)
        << guard.problems[0];
    guard.snapshot.on = false;
    keeper.Refused("no session bus");
    EXPECT_EQ(guard.problems.size(), 1u);
}

}  // namespace
