#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "MediaFiles.h"
#include "MpvSound.h"
#include "TempFolder.h"

namespace {

class MpvSoundTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("HAUNTWATCH_AO", "null", 1); }
    void TearDown() override { ::unsetenv("HAUNTWATCH_AO"); }
    TempFolder folder;
};

TEST_F(MpvSoundTest, AWavPlaysToItsEndAgainAndAgain)
{
    WriteToneWav(folder / "tone.wav");
    platform::MpvSound sound;
    EXPECT_TRUE(sound.PlaySync(folder / "tone.wav"));
    EXPECT_TRUE(sound.PlaySync(folder / "tone.wav")) << "the handle is reused";
}

TEST_F(MpvSoundTest, MissingEmptyCorruptAndSilentFilesAreNotPlayed)
{
    std::ofstream(folder / "empty.wav");
    std::ofstream(folder / "corrupt.wav") << std::string(3000, '\x5a');
    platform::MpvSound sound;
    EXPECT_FALSE(sound.PlaySync(folder / "missing.wav"));
    EXPECT_FALSE(sound.PlaySync(folder / "empty.wav"));
    EXPECT_FALSE(sound.PlaySync(folder / "corrupt.wav"));
    EXPECT_FALSE(sound.PlaySync(folder.path())) << "a folder is no sound";
    EXPECT_FALSE(sound.PlaySync(TEST_DATA_DIR "/garbage.avi"));
    WriteToneWav(folder / "tone.wav");
    EXPECT_TRUE(sound.PlaySync(folder / "tone.wav")) << "a failure leaves the player usable";
}

TEST_F(MpvSoundTest, NoUsableAudioOutputIsAFailureNotSilence)
{
    // This machine has no sound card: ALSA alone cannot open a device.
    ::setenv("HAUNTWATCH_AO", "alsa", 1);
    ::setenv("ALSA_CONFIG_PATH", "/nonexistent", 1);
    WriteToneWav(folder / "tone.wav");
    platform::MpvSound sound;
    EXPECT_FALSE(sound.PlaySync(folder / "tone.wav"));
    ::unsetenv("ALSA_CONFIG_PATH");
}

TEST_F(MpvSoundTest, APathThatLooksLikeAUrlOrOptionIsOnlyAFileName)
{
    platform::MpvSound sound;
    EXPECT_FALSE(sound.PlaySync("http://127.0.0.1:9/x.wav"));
    EXPECT_FALSE(sound.PlaySync("--ao=null"));
}

}  // namespace
