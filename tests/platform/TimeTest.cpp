#include <gtest/gtest.h>

#include "CTime.h"
#include "FakeClock.h"
#include "TimeZoneGuard.h"

namespace {

TEST(TimeTest, LocalConstructionNormalisesOutOfRangeFields)
{
    TimeZoneGuard zone("America/New_York");
    const CTime midnight(2026, 12, 6, 24, 0, 0);
    EXPECT_EQ(midnight.Format("%m/%d/%Y %H:%M").str(), "12/07/2026 00:00");
    const CTime newYear(2026, 12, 32, 6, 0, 0);
    EXPECT_EQ(newYear.Format("%m/%d/%Y %H:%M").str(), "01/01/2027 06:00");
    EXPECT_EQ((CTime(2026, 12, 7, 0, 0, 0) - CTime(2026, 12, 6, 0, 0, 0)).GetTotalSeconds(), 86400);
}

TEST(TimeTest, DaylightSavingIsLeftToTheTimeLibrary)
{
    TimeZoneGuard zone("Europe/Berlin");
    // 29 March 2026 has 23 hours in Berlin, 25 October 25.
    EXPECT_EQ((CTime(2026, 3, 30, 0, 0, 0) - CTime(2026, 3, 29, 0, 0, 0)).GetTotalSeconds(), 23 * 3600);
    EXPECT_EQ((CTime(2026, 10, 26, 0, 0, 0) - CTime(2026, 10, 25, 0, 0, 0)).GetTotalSeconds(), 25 * 3600);
    const CTime summer(2026, 7, 1, 12, 0, 0);
    EXPECT_EQ(summer.GetHour(), 12);
    EXPECT_EQ(summer.GetTime() % 3600, 0);
    EXPECT_EQ(CTime(summer.GetTime()).Format("%H:%M").str(), "12:00");
}

TEST(TimeTest, BreakdownFollowsThePinnedZone)
{
    const CTime instant(1796594400);  // 2026-12-06 22:00:00 UTC
    {
        TimeZoneGuard zone("UTC");
        EXPECT_EQ(instant.GetHour(), 22);
        EXPECT_EQ(instant.GetDay(), 6);
    }
    TimeZoneGuard zone("Asia/Tokyo");
    EXPECT_EQ(instant.GetHour(), 7);
    EXPECT_EQ(instant.GetDay(), 7);
    EXPECT_EQ(instant.GetMonth(), 12);
    EXPECT_EQ(instant.GetYear(), 2026);
}

TEST(TimeTest, CurrentTimeComesFromTheInstalledClock)
{
    platform::FakeClock clock(1234567890);
    EXPECT_EQ(CTime::GetCurrentTime().GetTime(), 1234567890);
    clock.Advance(60);
    EXPECT_EQ(CTime::GetCurrentTime().GetTime(), 1234567950);
}

}  // namespace
