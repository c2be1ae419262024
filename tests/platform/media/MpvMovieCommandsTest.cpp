#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "MediaTestEnvironment.h"
#include "MpvMovieCommands.h"
#include "TempFolder.h"

namespace {

const std::string kClip = TEST_DATA_DIR "/clip.avi";
const std::vector<platform::MpvPlayer::Option> kUntimed = {{"ao-null-untimed", "yes"}, {"untimed", "yes"}};

class MpvMovieCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        environment.Set("HAUNTWATCH_AO", "null");
        environment.Set("HAUNTWATCH_VO", "null");
    }

    MCIERROR PlayOnce(platform::MpvMovieCommands& movies, const std::string& path)
    {
        movies.SendCommand("OPEN " + path + " ALIAS MOVIE");
        const MCIERROR played = movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT");
        movies.SendCommand("CLOSE MOVIE");
        return played;
    }

    TempFolder folder;
    ScopedEnvironment environment;
};

TEST_F(MpvMovieCommandsTest, TheThreeCommandsPlayAClipAgainAndAgain)
{
    const std::string spaced = folder / "a clip  with spaces ALIAS x.avi";
    std::filesystem::copy_file(kClip, spaced);
    platform::MpvMovieCommands movies(kUntimed);
    EXPECT_EQ(movies.SendCommand("OPEN " + spaced + " ALIAS MOVIE"), 0u);
    EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), 0u);
    EXPECT_EQ(movies.SendCommand("CLOSE MOVIE"), 0u);
    EXPECT_EQ(movies.SendCommand("open " + kClip + " alias Clip"), 0u);
    EXPECT_EQ(movies.SendCommand("Play clip Fullscreen wait"), 0u);
    EXPECT_EQ(movies.SendCommand("close CLIP"), 0u);
}

TEST_F(MpvMovieCommandsTest, EachFailureHasItsErrorNumber)
{
    platform::MpvMovieCommands movies(kUntimed);
    EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), platform::kMovieUnknownAlias) << "play without open";
    EXPECT_EQ(movies.SendCommand("OPEN /no/such.avi ALIAS MOVIE"), platform::kMovieCannotOpen);
    EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), platform::kMovieUnknownAlias) << "the open failed";
    EXPECT_EQ(movies.SendCommand("OPEN " + folder.path() + " ALIAS MOVIE"), platform::kMovieCannotOpen) << "a folder";
    EXPECT_EQ(movies.SendCommand("REWIND MOVIE"), platform::kMovieUnknownCommand);
    EXPECT_EQ(movies.SendCommand("PLAY"), platform::kMovieBadSyntax);
    EXPECT_EQ(PlayOnce(movies, TEST_DATA_DIR "/corrupt.avi"), platform::kMovieCannotPlay);
    EXPECT_EQ(movies.SendCommand("CLOSE MOVIE"), platform::kMovieUnknownAlias) << "already closed";
    EXPECT_EQ(PlayOnce(movies, kClip), 0u) << "a failure leaves the player usable";
}

TEST_F(MpvMovieCommandsTest, AFileThatGoesAwayAfterItsOpenFailsToPlay)
{
    const std::string path = folder / "brief.avi";
    std::filesystem::copy_file(kClip, path);
    platform::MpvMovieCommands movies(kUntimed);
    EXPECT_EQ(movies.SendCommand("OPEN " + path + " ALIAS MOVIE"), 0u);
    std::filesystem::remove(path);
    EXPECT_EQ(movies.SendCommand("PLAY MOVIE FULLSCREEN WAIT"), platform::kMovieCannotOpen);
}

TEST_F(MpvMovieCommandsTest, NoDisplayIsAnError)
{
    environment.Set("HAUNTWATCH_VO", "x11");
    environment.Unset("DISPLAY");
    platform::MpvMovieCommands movies(kUntimed);
    EXPECT_EQ(PlayOnce(movies, kClip), platform::kMovieNoDisplay);
}

TEST_F(MpvMovieCommandsTest, AClipWithSoundNobodyCanHearFails)
{
    environment.Set("HAUNTWATCH_AO", "jack");
    environment.Set("JACK_DEFAULT_SERVER", "hauntwatch-no-such-jack");
    environment.Set("JACK_NO_START_SERVER", "1");
    environment.Set("PIPEWIRE_REMOTE", "hauntwatch-no-such-pipewire");
    platform::MpvMovieCommands movies(kUntimed);
    EXPECT_EQ(PlayOnce(movies, kClip), platform::kMovieNoAudio) << "and says why";
    EXPECT_EQ(PlayOnce(movies, TEST_DATA_DIR "/silent.avi"), 0u) << "a clip without sound needs no device";
}

}  // namespace
