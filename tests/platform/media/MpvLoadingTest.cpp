#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "MediaTestEnvironment.h"
#include "MpvMovieCommands.h"
#include "MpvSound.h"

namespace {

bool LibmpvIsLoaded()
{
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/libmpv.so") != std::string::npos)
            return true;
    return false;
}

// A program of its own: any play elsewhere in the process would load libmpv.
TEST(MpvLoadingTest, LibmpvIsLoadedByTheFirstPlayNotBeforeAndStaysForTheNext)
{
    ScopedEnvironment environment;
    environment.Set("HAUNTWATCH_AO", "null");
    platform::MpvSound sound(std::vector<platform::MpvOption>{{"ao-null-untimed", "yes"}});
    platform::MpvMovieCommands movies;
    EXPECT_FALSE(sound.PlaySync(TEST_DATA_DIR "/no-such.wav"));
    EXPECT_FALSE(LibmpvIsLoaded()) << "made, and a file that is not there, load nothing";
    EXPECT_TRUE(sound.PlaySync(TEST_DATA_DIR "/tone.wav"));
    EXPECT_TRUE(LibmpvIsLoaded());
    EXPECT_TRUE(sound.PlaySync(TEST_DATA_DIR "/tone.wav"));
}

}  // namespace
