#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>
#include <filesystem>
#include <fstream>

#include "MediaTestEnvironment.h"
#include "MpvOptions.h"
#include "PrivatePulseServer.h"
#include "MpvSound.h"
#include "TempFolder.h"
#include "ToneFile.h"

namespace {

const std::string kTone = TEST_DATA_DIR "/tone.wav";
const std::vector<platform::MpvPlayer::Option> kUntimed = {{"ao-null-untimed", "yes"}};

class MpvSoundTest : public ::testing::Test {
protected:
    void SetUp() override { environment.Set("HAUNTWATCH_AO", "null"); }

    // An ALSA set-up whose only device is a card that does not exist.
    std::string MissingCardAlsaConfig() const
    {
        const std::string path = folder / "asound.conf";
        std::ofstream(path) << "pcm.!default { type hw card 31 }\nctl.!default { type hw card 31 }\n";
        return path;
    }

    TempFolder folder;
    ScopedEnvironment environment;
};

TEST_F(MpvSoundTest, ASoundPlaysToItsEndAgainAndAgain)
{
    platform::MpvSound sound(kUntimed);
    EXPECT_TRUE(sound.PlaySync(kTone));
    EXPECT_GE(sound.LastStartLatency(), 0) << "its output started";
    EXPECT_TRUE(sound.PlaySync(kTone)) << "the handle is reused";
}

TEST_F(MpvSoundTest, APlayLastsAsLongAsItsSoundEachTime)
{
    // At the null output's real pace: a play that returned before its sound
    // had been heard would let the guard's next step overtake it.
    platform::MpvSound sound;
    for (int play = 0; play < 2; ++play) {
        const auto called = std::chrono::steady_clock::now();
        ASSERT_TRUE(sound.PlaySync(kTone));
        // Some slack below the tone's 0.2 s for the output's own clock.
        EXPECT_GE(std::chrono::steady_clock::now() - called, std::chrono::milliseconds(150)) << "play " << play;
    }
}

TEST_F(MpvSoundTest, NothingPlayableIsAFailureAndLeavesThePlayerUsable)
{
    std::ofstream(folder / "empty.wav");
    std::ofstream(folder / "text.wav") << "a shopping list, not a sound\n";
    platform::MpvSound sound(kUntimed);
    for (const std::string& path : {folder / "missing.wav", folder / "empty.wav", folder / "text.wav",
                                    std::string(TEST_DATA_DIR "/corrupt.wav"), std::string(TEST_DATA_DIR "/corrupt.avi"),
                                    std::string(TEST_DATA_DIR "/silent.avi"), folder.path(), std::string()})
        EXPECT_FALSE(sound.PlaySync(path)) << path;
    EXPECT_TRUE(sound.PlaySync(kTone));
}

TEST_F(MpvSoundTest, AMissingAudioDeviceIsAFailureNotSilence)
{
    environment.SilenceEverySoundServer(MissingCardAlsaConfig());
    for (const char* output : {"alsa", "jack", "pulse"}) {
        environment.Set("HAUNTWATCH_AO", output);
        platform::MpvSound sound;
        EXPECT_FALSE(sound.PlaySync(kTone)) << output;
    }
}

TEST_F(MpvSoundTest, WithoutAChoiceOnlyRealDevicesAreTried)
{
    environment.Unset("HAUNTWATCH_AO");
    environment.SilenceEverySoundServer(MissingCardAlsaConfig());
    platform::MpvSound sound;
    EXPECT_FALSE(sound.PlaySync(kTone)) << "no device may mean no null output";
}

TEST_F(MpvSoundTest, NamesThatLookLikeUrlsOrOptionsAreOnlyFileNames)
{
    std::filesystem::create_directory(folder / "http:");
    std::filesystem::copy_file(kTone, folder / "http:/x.wav");
    std::filesystem::copy_file(kTone, folder / "--ao=pcm.wav");
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    platform::MpvSound sound(kUntimed);
    EXPECT_TRUE(sound.PlaySync("http://x.wav"));
    EXPECT_TRUE(sound.PlaySync("--ao=pcm.wav"));
    EXPECT_FALSE(sound.PlaySync("http://127.0.0.1:9/x.wav"));
    std::filesystem::current_path(saved);
}

// Each list names a pipe nobody writes to: opening it would hang the play, so
// the test only ends if the files a list names are left alone.
TEST_F(MpvSoundTest, ListsOfOtherFilesAreNotFollowed)
{
    const std::string pipe = folder / "pipe.wav";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::ofstream(folder / "playlist.wav") << "#EXTM3U\n" << pipe << "\n" << kTone << "\n";
    std::ofstream(folder / "edit-list.wav") << "# mpv EDL v0\n" << pipe << ",0,1\n";
    std::ofstream(folder / "cue-sheet.wav") << "FILE \"pipe.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    platform::MpvSound sound(kUntimed);
    for (const char* list : {"playlist.wav", "edit-list.wav", "cue-sheet.wav"})
        EXPECT_FALSE(sound.PlaySync(folder / list)) << list;
    EXPECT_TRUE(sound.PlaySync(kTone));
}


// A sound server that stops answering in the middle of a play must not hold
// the guard for good: the play fails as timed out once past its length and
// the patience, and the next play works as soon as the server is back.
TEST_F(MpvSoundTest, AServerThatStallsMidPlayTimesTheSoundOutAndTheNextPlayWorks)
{
    PulseServer pulse;
    ASSERT_TRUE(pulse.Start()) << pulse.Log();
    environment.Set("HAUNTWATCH_AO", "pulse");
    const std::string longSound = folder / "long.wav";
    WriteTone(longSound, 3.0);
    platform::MpvSound sound({}, platform::MpvPatience{std::chrono::seconds(2), std::chrono::seconds(30)});
    std::atomic<bool> paused{false};
    std::thread stopper([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < giveUp && pulse.PactlOutput({"list", "short", "sink-inputs"}).empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!pulse.PactlOutput({"list", "short", "sink-inputs"}).empty()) {
            pulse.Pause();
            paused = true;
        }
    });
    const bool played = sound.PlaySync(longSound);
    stopper.join();
    ASSERT_TRUE(paused) << "the sound never reached the server";
    EXPECT_FALSE(played);
    EXPECT_EQ(sound.LastFailure(), platform::PlayFailure::TimedOut);

    // While the server stays away, stuck handles do not pile up: a second
    // play times out too, and later ones fail at once without a new handle.
    EXPECT_FALSE(sound.PlaySync(kTone));
    EXPECT_EQ(platform::HandlesBeingDestroyed(), 2);
    EXPECT_FALSE(sound.PlaySync(kTone));
    EXPECT_EQ(sound.LastFailure(), platform::PlayFailure::TimedOut);
    EXPECT_EQ(platform::HandlesBeingDestroyed(), 2);

    pulse.Resume();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (platform::HandlesBeingDestroyed() > 0 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(platform::HandlesBeingDestroyed(), 0) << "the stuck handles went once the server was back";
    EXPECT_TRUE(sound.PlaySync(kTone)) << "the next play works once the server is back";
    EXPECT_EQ(sound.LastFailure(), platform::PlayFailure::None);
}

}  // namespace
