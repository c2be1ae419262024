#include "ExtrasFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <fstream>

#include "TempFolder.h"

using namespace lifelike;

namespace {

// Every problem line, for a search.
std::string All(const ExtrasReading& reading)
{
    std::string all;
    for (const std::string& line : reading.problems)
        all += line + "\n";
    return all;
}

}  // namespace

TEST(ExtrasFile, ReadsEveryKeyOfThePersonsFile)
{
    const ExtrasReading reading = ParseExtras(
        "\xEF\xBB\xBF# lines starting with # or ; are comments\r\n; another\r\n[place]\r\n  latitude = 52.52 \r\n"
        "longitude=13.41\r\n\r\n[ row1 ]\r\nfrom=sunset+20\r\nuntil=23:30\r\nlevel=-9.5..0\r\nexcerpt=30m\r\n"
        "[row5]\nexcerpt=2h\nlevel=-30..-30\n");
    EXPECT_TRUE(reading.problems.empty()) << reading.problems.front();
    EXPECT_EQ(reading.extras.place, (Place{52.52, 13.41}));
    const RowExtras& row = reading.extras.rows[0];
    EXPECT_EQ(FormatDayTime(row.hours.from.value()), "sunset+20");
    EXPECT_EQ(FormatDayTime(row.hours.until.value()), "23:30");
    EXPECT_EQ(row.level, (LevelRange{-9.5, 0}));
    EXPECT_EQ(row.excerptSeconds, 1800);
    EXPECT_EQ(reading.extras.rows[4].excerptSeconds, 7200);
    EXPECT_EQ(reading.extras.rows[4].level, (LevelRange{-30, -30}));
}

TEST(ExtrasFile, IgnoresWhatItCannotUseWithALineNamingIt)
{
    const ExtrasReading reading = ParseExtras(
        "stray=1\n[row6]\nfrom=18:00\n[Row1]\n[row1]\nvolume=3\nexcerpt=10s\nexcerpt=9s\nlevel=-31..0\n"
        "level=-3..-9\nfrom=25:00\n[place]\nlatitude=91\nlongitude=10,5\njunk\n[row2]\nfrom=18:00\nuntil=18:00\n"
        "[row3]\nfrom=08:00\nuntil=00:00\n[row4]\nuntil=00:00\n[row5]\nfrom=08:00\nuntil=sunrise\n");
    for (const char* word : {"\"stray\"", "\"row6\"", "\"Row1\"", "\"volume\"", "\"9s\"", "\"-31..0\"", "\"-3..-9\"",
                             "\"25:00\"", "\"91\"", "\"10,5\"", "\"junk\"", "both 18:00",
                             "[row3] from 08:00 until 00:00 leaves no hours on any day", "[row4] until 00:00 leaves"})
        EXPECT_NE(All(reading).find(word), std::string::npos) << word;
    EXPECT_EQ(reading.extras.rows[0].excerptSeconds, 10);  // the later value did not parse
    EXPECT_FALSE(reading.extras.rows[0].level);
    EXPECT_FALSE(reading.extras.rows[0].hours.IsSet());
    EXPECT_FALSE(reading.extras.rows[1].hours.IsSet());
    EXPECT_FALSE(reading.extras.rows[2].hours.IsSet());
    EXPECT_FALSE(reading.extras.rows[3].hours.IsSet());
    EXPECT_TRUE(reading.extras.rows[4].hours.IsSet()) << "a sun time may leave some days without hours, not all";
    EXPECT_FALSE(reading.extras.place);  // a place needs both halves
    std::string junk;
    for (int line = 0; line < 1000; ++line)
        junk += "junk\n";
    EXPECT_EQ(ParseExtras(junk).problems.back(), "noises.hwt.ini: 981 more problems not shown");
    const ExtrasReading twice = ParseExtras("[row3]\nlevel=-6..0\nlevel=-12..-3\n");
    EXPECT_EQ(twice.extras.rows[2].level, (LevelRange{-12, -3}));
    EXPECT_NE(All(twice).find("line 3: \"level\" in [row3] is given again"), std::string::npos);
}

TEST(ExtrasFile, WritesAFileThatReadsBackTheSameInAnyLocale)
{
    TempFolder home;
    ASSERT_EQ(std::system(("localedef -i de_DE -f UTF-8 " + (home / "de_DE.UTF-8") + " 2>/dev/null").c_str()), 0)
        << "localedef and Debian's locales package are needed";
    ::setenv("LOCPATH", home.path().c_str(), 1);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);

    ScheduleExtras extras;
    extras.place = Place{-33.87, 151.21};
    extras.rows[1].hours = {ParseDayTime("22:00"), ParseDayTime("sunrise-30")};
    extras.rows[1].level = LevelRange{-12.5, -0.25};
    extras.rows[3].excerptSeconds = 90;
    const std::string path = home / "noises.hwt.ini";
    std::ofstream(path) << "# the person's comment\n[row1]\nexcerpt=1h\n";
    std::string error;
    ASSERT_TRUE(WriteExtras(path, extras, &error)) << error;
    const ExtrasReading reading = ReadExtras(path);

    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    EXPECT_TRUE(reading.problems.empty());
    EXPECT_EQ(reading.extras, extras);
}

TEST(ExtrasFile, ReadsOnlyARegularFileOfAtMost64KiBAndNeverWaits)
{
    TempFolder home;
    EXPECT_EQ(ReadExtras(home / "missing.ini").problems.size(), 0u);
    ASSERT_EQ(::mkfifo((home / "pipe.ini").c_str(), 0600), 0);  // no writer: a blocking open would hang
    EXPECT_NE(All(ReadExtras(home / "pipe.ini")).find("pipe.ini is not a regular file"), std::string::npos);

    std::string text = "[row1]\nexcerpt=45s\n";
    text.resize(64 * 1024, '#');
    text.back() = '\n';
    std::ofstream(home / "full.ini") << text;
    EXPECT_EQ(ReadExtras(home / "full.ini").extras.rows[0].excerptSeconds, 45);
    std::ofstream(home / "full.ini", std::ios::app) << "\n";
    const ExtrasReading big = ReadExtras(home / "full.ini");
    EXPECT_NE(All(big).find("larger than 64 KiB"), std::string::npos);
    EXPECT_FALSE(big.extras.rows[0].excerptSeconds);
}
