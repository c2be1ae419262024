#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "RowHours.h"
#include "TempFolder.h"
#include "TimeZoneGuard.h"
#include "ZonePlace.h"

using namespace lifelike;

namespace {

const Place kBerlin{52.52, 13.41};
const Place kNewYork{40.7142, -74.0064};

Hours H(const char* from, const char* until)
{
    return {*from ? ParseDayTime(from) : std::nullopt, *until ? ParseDayTime(until) : std::nullopt};
}

CTime At(int year, int month, int day, int hour, int minute, int second = 0)
{
    return CTime(year, month, day, hour, minute, second);
}

}  // namespace

TEST(DayTimes, ReadsClockAndSunFormsAndRefusesTheRest)
{
    for (const char* text : {"18:30", "00:00", "23:59", "sunset", "sunset+20", "sunrise-30", "sunrise+720"})
        EXPECT_EQ(FormatDayTime(ParseDayTime(text).value()), text);
    for (const char* text : {"", "24:00", "18:60", "18:3", "1830", "-1:30", "sunset+", "sunset+-5", "sunset 20",
                             "Sunset", "sunrise+721", "noon"})
        EXPECT_FALSE(ParseDayTime(text)) << text;
}

TEST(RowHours, CrossesMidnightOnlyFromAnEveningToAMorning)
{
    TimeZoneGuard zone("America/New_York");
    const Hours night = H("22:00", "sunrise");  // sunrise about 07:17 on 22 Dec
    EXPECT_TRUE(InsideHours(night, kNewYork, At(2026, 12, 22, 3, 0)));
    EXPECT_FALSE(InsideHours(night, kNewYork, At(2026, 12, 22, 7, 45)));
    EXPECT_EQ(NextStartOfHours(night, kNewYork, At(2026, 12, 22, 8, 0)).at, At(2026, 12, 22, 22, 0));

    EXPECT_TRUE(InsideHours(H("sunset", "06:00"), kNewYork, At(2026, 12, 22, 5, 0)));
    EXPECT_FALSE(InsideHours(H("sunrise", "10:00"), kNewYork, At(2026, 12, 22, 23, 0)));
    // Two mornings, the later first: no day has such hours.
    EXPECT_FALSE(NextStartOfHours(H("10:00", "06:00"), kNewYork, At(2026, 12, 22, 8, 0), 30).at);
}

TEST(RowHours, NorthernJuneDayWithoutHoursFindsTheNextDayThatHasThem)
{
    TimeZoneGuard zone("Europe/Oslo");
    const Place oslo{59.91, 10.75};
    const Hours hours = H("sunset", "22:30");
    // python3-ephem: sunset 22:43:42 on 21 Jun 2027; first before 22:30 on 12 Jul (22:28:34).
    EXPECT_FALSE(InsideHours(hours, oslo, At(2027, 6, 21, 22, 40)));
    const CTime next = NextStartOfHours(hours, oslo, At(2027, 6, 21, 12, 0)).at.value();
    EXPECT_EQ(next.GetMonth(), 7);
    EXPECT_EQ(next.GetHour(), 22);
    EXPECT_GE(next.GetMinute(), 25);
}

TEST(RowHours, OneEndAloneRunsToOrFromMidnight)
{
    TimeZoneGuard zone("Europe/Berlin");
    const Hours evening = H("18:30", ""), morning = H("", "06:00");
    EXPECT_TRUE(InsideHours(evening, kBerlin, At(2026, 12, 21, 23, 59, 59)));
    EXPECT_FALSE(InsideHours(evening, kBerlin, At(2026, 12, 22, 0, 0)));
    EXPECT_TRUE(InsideHours(morning, kBerlin, At(2026, 12, 21, 0, 0)));
    EXPECT_FALSE(InsideHours(morning, kBerlin, At(2026, 12, 21, 6, 0)));
    EXPECT_EQ(NextStartOfHours(morning, kBerlin, At(2026, 12, 21, 7, 0)).at, At(2026, 12, 22, 0, 0));
}

TEST(RowHours, WithoutAPlaceOnlySunHoursAreLetGo)
{
    TimeZoneGuard zone("Europe/Berlin");
    EXPECT_TRUE(InsideHours(H("sunset+20", "23:30"), std::nullopt, At(2026, 12, 21, 12, 0)));
    EXPECT_FALSE(InsideHours(H("18:30", "23:30"), std::nullopt, At(2026, 12, 21, 12, 0)));
    EXPECT_FALSE(HoursApply(H("18:00", "18:00"), kBerlin));
}

// Seconds since 1970 worked out with `date -u`.
TEST(LocalClock, SkippedTimeIsTheFirstMomentAfterTheGapAndARepeatedOneTheFirst)
{
    {
        TimeZoneGuard zone("Europe/Berlin");
        EXPECT_EQ(ClockMoment({2027, 3, 28}, 150).GetTime(), 1806195600);  // 02:30 -> 03:00 CEST
        EXPECT_EQ(ClockMoment({2026, 10, 25}, 150).GetTime(), 1792888200);  // the CEST 02:30
        EXPECT_EQ(NextStartOfHours(H("02:30", "05:00"), kBerlin, At(2027, 3, 28, 0, 0)).at, CTime(1806195600));
    }
    TimeZoneGuard zone("America/New_York");
    EXPECT_EQ(ClockMoment({2027, 3, 14}, 150).GetTime(), 1805007600);  // 02:30 -> 03:00 EDT
    EXPECT_EQ(ClockMoment({2026, 11, 1}, 90).GetTime(), 1793511000);   // the EDT 01:30
}

TEST(ZonePlace, TheLocalZoneFromTzThenTimezoneFileThenLocaltimeLinkAndItsPointFromTheTables)
{
    TempFolder home;
    const std::string zoneinfo = home / "zoneinfo";
    std::filesystem::create_directories(zoneinfo + "/US");
    std::ofstream(zoneinfo + "/zone.tab") << "# comment\nDE\t+5230+01322\tEurope/Berlin\tmost of Germany\n";
    std::ofstream(zoneinfo + "/zone1970.tab") << "DE\t+0000+00000\tEurope/Berlin\n"
                                                 "US\t+404251-0740023\tAmerica/New_York\n";
    std::filesystem::create_symlink("../America/New_York", zoneinfo + "/US/Eastern");
    std::ofstream(home / "timezone") << "US/Eastern\n";
    std::filesystem::create_symlink(zoneinfo + "/Europe/Berlin", home / "localtime");
    const Place berlin{52.5, 13 + 22 / 60.0}, newYork{40 + 42 / 60.0 + 51 / 3600.0, -(74 + 23 / 3600.0)};

    ZoneSources sources{"Europe/Berlin", home / "timezone", home / "localtime", zoneinfo};
    EXPECT_EQ(PlaceOfLocalZone(sources), berlin);
    sources.tz = ":US/Eastern";
    EXPECT_EQ(PlaceOfLocalZone(sources), newYork);
    sources.tz.reset();
    EXPECT_EQ(PlaceOfLocalZone(sources), newYork);
    sources.timezoneFile = home / "none";
    EXPECT_EQ(PlaceOfLocalZone(sources), berlin);
    sources.localtimeLink = home / "none";
    EXPECT_EQ(PlaceOfLocalZone(sources), std::nullopt);
    EXPECT_EQ(PlaceForSunTimes(Place{1, 2}, sources).place, (Place{1, 2}));
    EXPECT_NE(PlaceForSunTimes(std::nullopt, {"Etc/UTC", "", "", zoneinfo}).problem.find("Etc/UTC"), std::string::npos);
}
