#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "MpvMovieCommands.h"
#include "TempFolder.h"

namespace {

class MpvMovieCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("HAUNTWATCH_AO", "null", 1);
        ::setenv("HAUNTWATCH_VO", "null", 1);
    }
    void TearDown() override
    {
        ::unsetenv("HAUNTWATCH_AO");
        ::unsetenv("HAUNTWATCH_VO");
    }
};

TEST_F(MpvMovieCommandsTest, TheThreeCommandsPlayAClip)
{
    TempFolder folder;
    const std::string spaced = folder / "a clip with spaces.avi";
    std::filesystem::copy_file(TEST_DATA_DIR "/clip.avi", spaced);
    platform::MpvMovieCommands movies;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(movies.SendCommand("OPEN " + spaced + " ALIAS MOVIE"), 0u);
        EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), 0u);
        EXPECT_EQ(movies.SendCommand("close movie"), 0u);
    }
}

TEST_F(MpvMovieCommandsTest, ErrorsHaveNumbers)
{
    platform::MpvMovieCommands movies;
    EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), platform::kMovieUnknownAlias) << "play without open";
    EXPECT_EQ(movies.SendCommand("OPEN /no/such.avi ALIAS MOVIE"), platform::kMovieCannotOpen);
    EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), platform::kMovieUnknownAlias);
    EXPECT_EQ(movies.SendCommand("REWIND MOVIE"), platform::kMovieUnknownCommand);
    EXPECT_EQ(movies.SendCommand("OPEN " TEST_DATA_DIR "/garbage.avi ALIAS MOVIE"), 0u);
    EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), platform::kMovieCannotPlay);
    EXPECT_EQ(movies.SendCommand("PLAY OTHER FULLSCREEN WAIT"), platform::kMovieUnknownAlias);
    EXPECT_EQ(movies.SendCommand("CLOSE MOVIE"), 0u);
    EXPECT_EQ(movies.SendCommand("CLOSE MOVIE"), platform::kMovieUnknownAlias);
}

TEST_F(MpvMovieCommandsTest, NoDisplayIsAnError)
{
    ::unsetenv("HAUNTWATCH_VO");
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    platform::MpvMovieCommands movies;
    EXPECT_EQ(movies.SendCommand("OPEN " TEST_DATA_DIR "/clip.avi ALIAS MOVIE"), 0u);
    EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), platform::kMovieNoDisplay);
    if (!saved.empty())
        ::setenv("DISPLAY", saved.c_str(), 1);
}

}  // namespace
