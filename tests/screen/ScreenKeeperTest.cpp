// When the screen is kept on: only while on duty with a movie on the
// schedule, following the person's edits; what could not be held is told
// while on duty.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ScreenInhibitor.h"
#include "ScreenKeeper.h"
#include "StandInGuard.h"
#include "TempFolder.h"

namespace {

class FakeInhibitor final : public platform::ScreenInhibitor {
public:
    void Hold() override { held = true; }
    void Release() override { held = false; }
    bool IsHeld() const override { return held; }
    bool held = false;
};

// Rows set as the schedule dialog leaves them.
void Row(StandInGuard& guard, int row, const char* path, int repeats = 1)
{
    guard.snapshot.slots[row] = NoiseSlot{"row", path, 30, kModeRandom, repeats, CTime()};
}

TEST(ScreenKeeperTest, HeldOnDutyWithAMovieRowLetGoWhenThereIsNoneAndARefusalIsALine)
{
    StandInGuard guard;
    FakeInhibitor inhibitor;
    screen::ScreenKeeper keeper(guard, inhibitor);
    Row(guard, 0, "/noises/dog.wav");
    guard.snapshot.on = true;
    keeper.GuardStarted(CTime(), GuardStartOrigin::Person);
    EXPECT_FALSE(inhibitor.held) << "sounds only: the screen may blank";

    Row(guard, 3, "/noises/party.avi");
    keeper.ScheduleChanged();
    EXPECT_TRUE(inhibitor.held) << "a movie row added while on duty";
    Row(guard, 3, "/noises/party.avi", 0);
    keeper.ScheduleChanged();
    EXPECT_FALSE(inhibitor.held) << "a movie row that plays no times shows nothing";
    guard.snapshot.slots[3] = NoiseSlot{kNothing, kNone, 30, kModeRandom, 1, CTime()};
    TempFolder clips;
    std::filesystem::create_directories(clips / "tv");
    std::ofstream(clips / "tv/evening news.avi") << "a take";
    Row(guard, 1, (clips / "tv").c_str());
    keeper.ScheduleChanged();
    EXPECT_TRUE(inhibitor.held) << "a folder with a movie among its takes";

    keeper.Refused("no session bus");
    ASSERT_EQ(guard.problems.size(), 1u);
    EXPECT_NE(guard.problems[0].find("the screen may blank or lock, so movies are heard but not seen: no session bus"),
              std::string::npos)
        << guard.problems[0];

    guard.snapshot.on = false;
    keeper.GuardStopped(CTime());
    EXPECT_FALSE(inhibitor.held);
    keeper.ScheduleChanged();
    EXPECT_FALSE(inhibitor.held) << "off duty, a movie row keeps nothing on";
    keeper.Refused("no session bus");
    EXPECT_EQ(guard.problems.size(), 1u) << "a refusal that comes after the guard went off is nobody's business";
}

}  // namespace
