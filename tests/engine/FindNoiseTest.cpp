#include <gtest/gtest.h>

#include "EngineState.h"

namespace {

class FindNoiseTest : public EngineTest {
protected:
    void Add(const char* name, const char* path)
    {
        NoiseLibrary& library = GuardSettings.library;
        library.noises[library.noiseCount++] = Noise{name, path};
    }
};

TEST_F(FindNoiseTest, TheLastEntryOfAnExactNameWins)
{
    Add("Dog", "/a.wav");
    Add("dog", "/b.wav");
    Add("Dog", "/c.wav");
    EXPECT_EQ(FindNoise("Dog"), 2);
    EXPECT_EQ(FindNoise("dog"), 1);
    EXPECT_EQ(FindNoise("Dog "), -1);
    EXPECT_EQ(FindNoise(kNothing), -1);
    GuardSettings.library.noiseCount = 2;
    EXPECT_EQ(FindNoise("Dog"), 0) << "entries beyond noiseCount are not looked at";
}

TEST_F(FindNoiseTest, NothingIsAnOrdinaryNameInTheLibrary)
{
    Add("NOTHING", "/n.wav");
    EXPECT_EQ(FindNoise(kNothing), 0);
}

}  // namespace
