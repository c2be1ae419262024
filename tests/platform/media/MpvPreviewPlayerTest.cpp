#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "MediaTestEnvironment.h"
#include "MpvPreviewPlayer.h"

namespace {

using namespace std::chrono_literals;

// Stands for the window thread's event queue: mpv's threads post, the test's
// thread runs what was posted.
class PostedWork {
public:
    platform::MpvPreviewPlayer::Poster Poster()
    {
        return [this](std::function<void()> work) {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(work));
            posted_.notify_one();
        };
    }
    // Runs posted work until `done` holds or the time is up.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s)
    {
        const auto giveUp = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            std::unique_lock lock(mutex_);
            if (!posted_.wait_until(lock, giveUp, [this] { return !queue_.empty(); }))
                return false;
            auto work = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            work();
        }
        return true;
    }

    // Runs what has been posted so far, without waiting for more; how much that was.
    size_t RunPosted()
    {
        std::deque<std::function<void()>> now;
        {
            std::lock_guard lock(mutex_);
            now.swap(queue_);
        }
        for (auto& work : now)
            work();
        return now.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
};

class MpvPreviewPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        environment.Set("HAUNTWATCH_AO", "null");
        environment.Set("HAUNTWATCH_VO", "null");
        player.onEnded = [this](bool played) { ends.push_back(played ? "played" : "failed"); };
    }
    ScopedEnvironment environment;
    PostedWork work;
    platform::MpvPreviewPlayer player{work.Poster()};
    std::vector<std::string> ends;
};

TEST_F(MpvPreviewPlayerTest, PlayReturnsAtOnceThePicturesComeAndTheEndIsToldOnTheOwnersThread)
{
    // Pictures through libmpv's own renderer, not an output of its choice.
    environment.Unset("HAUNTWATCH_VO");
    std::vector<int> pictureSizes;
    int litPixels = 0;
    player.onFrame = [&](const platform::PreviewFrame& frame) {
        pictureSizes.push_back(frame.width * 1000 + frame.height);
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x)
                litPixels += frame.pixels[y * frame.stride + x * 4 + 1] > 32 ? 1 : 0;
    };
    // The clip's sound lasts a second at the null output's real pace.
    ASSERT_TRUE(player.Play(TEST_DATA_DIR "/clip.avi", {160, 120}));
    // A Play that had waited for the end would have posted it by now.
    work.RunPosted();
    EXPECT_TRUE(ends.empty()) << "Play returned while the clip still played";
    ASSERT_TRUE(work.RunUntil([&] { return !ends.empty(); })) << "the end was never told";
    EXPECT_EQ(ends, std::vector<std::string>{"played"});
    ASSERT_FALSE(pictureSizes.empty()) << "no picture was drawn";
    EXPECT_EQ(pictureSizes.front(), 160 * 1000 + 120) << "drawn at the size asked for";
    EXPECT_GT(litPixels, 0) << "only black was drawn";
}

TEST_F(MpvPreviewPlayerTest, StoppedAndReplacedPlaysTellNothingAndAFileThatCannotPlayFails)
{
    EXPECT_FALSE(player.Play(TEST_DATA_DIR "/no-such.wav", {}));
    EXPECT_FALSE(player.Play(TEST_DATA_DIR, {})) << "a folder";
    ASSERT_TRUE(player.Play(TEST_DATA_DIR "/clip.avi", {}));
    player.Stop();
    ASSERT_TRUE(player.Play(TEST_DATA_DIR "/clip.avi", {}));
    ASSERT_TRUE(player.Play(TEST_DATA_DIR "/tone.wav", {})) << "replaces the clip";
    ASSERT_TRUE(work.RunUntil([&] { return !ends.empty(); }));
    ASSERT_TRUE(player.Play(TEST_DATA_DIR "/corrupt.wav", {}));
    ASSERT_TRUE(work.RunUntil([&] { return ends.size() >= 2; }));
    EXPECT_EQ(ends, (std::vector<std::string>{"played", "failed"}));
    // The stopped and replaced clips would have ended well within this.
    work.RunUntil([] { return false; }, 1500ms);
    EXPECT_EQ(ends.size(), 2u);
}

TEST_F(MpvPreviewPlayerTest, WorkPostedAfterThePlayerHasGoneDoesNothing)
{
    PostedWork late;
    {
        platform::MpvPreviewPlayer brief(late.Poster());
        brief.onEnded = [this](bool) { ends.push_back("told"); };
        ASSERT_TRUE(brief.Play(TEST_DATA_DIR "/tone.wav", {}));
    }
    // mpv has posted its wake-ups by the time the player is gone; run later,
    // they must find nothing to tell.
    EXPECT_GT(late.RunPosted(), 0u) << "nothing was posted, so nothing was proven";
    EXPECT_TRUE(ends.empty());
}

}  // namespace
