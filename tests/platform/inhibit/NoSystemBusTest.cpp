// No system bus at all, as in a container: the guard runs unprotected after
// one warning.  A program of its own, since a process connects to the system
// bus only once.
#include <algorithm>
#include <cstdlib>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LogindSleepInhibitor.h"
#include "TempFolder.h"

TEST(NoSystemBusTest, HoldWarnsOnceAndKeepsTheGuardGoing)
{
    TempFolder folder;
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (folder / "no-bus")).c_str(), 1);
    platform::LogindSleepInhibitor inhibitor;

    ::testing::internal::CaptureStderr();
    inhibitor.Hold();
    EXPECT_TRUE(inhibitor.IsHeld());
    EXPECT_FALSE(inhibitor.AwaitsReply());
    inhibitor.Release();
    inhibitor.Hold();
    const std::string warnings = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
    EXPECT_THAT(warnings, ::testing::HasSubstr("no system bus"));
    EXPECT_FALSE(inhibitor.HoldsLock());
    inhibitor.Release();
    EXPECT_FALSE(inhibitor.IsHeld());
}
