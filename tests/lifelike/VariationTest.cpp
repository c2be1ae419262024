#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <fstream>
#include <set>

#include "TempFolder.h"
#include "PlayShape.h"
#include "Takes.h"
#include "Variation.h"

using namespace lifelike;

TEST(Takes, AreTheSoundsAndMoviesDirectlyInTheFolder)
{
    TempFolder folder;
    for (const char* name : {"bark.wav", "growl.avi", ".hidden.wav", "notes.txt", "LOUD.WAV"})
        std::ofstream(folder / name) << "x";
    std::filesystem::create_directory(folder / "inner.wav");
    std::ofstream(folder / "inner.wav/deep.wav") << "x";
    EXPECT_EQ(TakesIn(folder.path()), (std::vector<std::string>{folder / "bark.wav", folder / "growl.avi"}));
    RealismRandom random(7);
    std::filesystem::remove(folder / "inner.wav/deep.wav");
    EXPECT_EQ(PickTake(folder / "inner.wav", "", random).failure, "no takes in " + (folder / "inner.wav"));
}

TEST(Takes, NeverTheLastOneTwiceInARowButEachInTurn)
{
    TempFolder folder;
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        std::ofstream(folder / name) << "x";
    RealismRandom random(1);
    TakeMemory memory;
    std::string last;
    std::set<std::string> heard;
    for (int play = 0; play < 200; ++play) {
        const std::string take = memory.Pick(folder.path(), random).take;
        EXPECT_NE(take, last);
        heard.insert(last = take);
    }
    EXPECT_EQ(heard.size(), 3u);
    std::filesystem::remove(folder / "b.wav");
    std::filesystem::remove(folder / "c.wav");
    EXPECT_EQ(memory.Pick(folder.path(), random).take, folder / "a.wav");  // a single take plays again and again
}

TEST(Excerpt, LongRecordingsPlayAPartFromAnywhereShortOnesWhole)
{
    RealismRandom random(5);
    const auto place = [&](double mediaSeconds) {
        return platform::PlaceExcerpt(platform::PlayShape{std::nullopt, 1800, random.Next()}, mediaSeconds);
    };
    EXPECT_FALSE(place(1200)) << "shorter than the excerpt: whole";
    for (double absurd : {0.0, -5.0, 1e300, std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_FALSE(place(absurd)) << absurd;
    std::set<std::int64_t> starts;
    for (int play = 0; play < 200; ++play) {
        const std::optional<platform::PlayedPart> part = place(3 * 3600.5);
        ASSERT_TRUE(part);
        EXPECT_EQ(part->length, 1800);
        ASSERT_LE(part->start + part->length, 3 * 3600.5);
        starts.insert(part->start);
    }
    EXPECT_LT(*starts.begin(), 600);
    EXPECT_GT(*starts.rbegin(), 3 * 3600 - 1800 - 600);
    EXPECT_EQ(ExcerptText({false, 4360, 1800}), "from 1:12:40 for 30:00");
    EXPECT_EQ(ExcerptText({false, 45, 3600}), "from 0:45 for 1:00:00");
}
