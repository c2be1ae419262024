// The watcher against a real server: what it learns, how it follows the
// server's changes, and that it finds the server again after it went away.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "SinkRecording.h"
#include "SoundServerWatcher.h"

namespace {

using sound::SoundServerView;
using sound::SoundServerWatcher;
using State = SoundServerView::State;

// Quick retries, so a server that comes back is found within the test.
constexpr SoundServerWatcher::Timing kQuick{50, 400, 3000, 200};

class SoundServerWatcherTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()) << server.Log(); }

    bool Knows(const std::function<bool(const SoundServerView&)>& what)
    {
        return WaitFor([&] { return watcher->View().state == State::Known && what(watcher->View()); });
    }
    const sound::SoundOutput* Find(const std::string& name) const { return watcher->View().Find(name); }

    PulseServer server{{{"a", "Living room"}, {"b", "Front door"}}};
    std::unique_ptr<SoundServerWatcher> watcher;
};

TEST_F(SoundServerWatcherTest, LearnsTheOutputsAndFollowsEveryChange)
{
    watcher = std::make_unique<SoundServerWatcher>(kQuick);
    EXPECT_EQ(watcher->View().state, State::Settling) << "asking from the start, answered later";
    ASSERT_TRUE(Knows([](const SoundServerView& v) { return v.outputs.size() == 2; }));
    EXPECT_EQ(watcher->View().defaultOutput, "a");
    ASSERT_TRUE(Find("a") && Find("b"));
    EXPECT_EQ(Find("a")->description, "Living room");
    EXPECT_EQ(Find("b")->description, "Front door");
    EXPECT_FALSE(Find("b")->muted);
    EXPECT_EQ(Find("b")->volumePercent, 100);
    EXPECT_FALSE(Find("b")->unplugged) << "a null sink has no jack to pull";

    ASSERT_EQ(server.Pactl({"set-sink-mute", "b", "1"}), 0);
    EXPECT_TRUE(Knows([&](const SoundServerView&) { return Find("b")->muted; })) << "mute";
    ASSERT_EQ(server.Pactl({"set-sink-volume", "a", "2%"}), 0);
    EXPECT_TRUE(Knows([&](const SoundServerView&) { return Find("a")->volumePercent == 2; })) << "volume";
    // One channel loud enough is heard: the loudest counts.
    ASSERT_EQ(server.Pactl({"set-sink-volume", "a", "2%", "60%"}), 0);
    EXPECT_TRUE(Knows([&](const SoundServerView&) { return Find("a")->volumePercent == 60; })) << "balance";
    ASSERT_EQ(server.Pactl({"set-default-sink", "b"}), 0);
    EXPECT_TRUE(Knows([](const SoundServerView& v) { return v.defaultOutput == "b"; })) << "default";
    const std::string module = server.ModuleOf("b");
    ASSERT_FALSE(module.empty());
    ASSERT_EQ(server.Pactl({"unload-module", module}), 0);
    EXPECT_TRUE(Knows([&](const SoundServerView& v) { return !Find("b") && v.outputs.size() == 1; })) << "unloaded";
}

TEST_F(SoundServerWatcherTest, ForgetsAServerThatWentAwayAndFindsItWhenItComesBack)
{
    watcher = std::make_unique<SoundServerWatcher>(kQuick);
    ASSERT_TRUE(Knows([](const SoundServerView& v) { return !v.outputs.empty(); }));
    server.Stop();
    ASSERT_TRUE(WaitFor([&] { return watcher->View().state == State::NoServer; }));
    EXPECT_TRUE(watcher->View().outputs.empty()) << "nothing is claimed of a server that is gone";

    ASSERT_TRUE(server.Start()) << server.Log();
    EXPECT_TRUE(Knows([](const SoundServerView& v) { return v.outputs.size() == 2 && v.defaultOutput == "a"; }));
}

TEST(SoundServerWatcherWithoutServerTest, KnowsNothingAndAsksAgainWhenNudged)
{
    TempFolder folder;
    const char* old = std::getenv("PULSE_SERVER");
    const std::string kept = old ? old : "";
    ::setenv("PULSE_SERVER", ("unix:" + folder / "no-server").c_str(), 1);
    {
        // Retries far apart: only a nudge asks again within the test.
        SoundServerWatcher watcher({60000, 60000, 3000, 300});
        ASSERT_TRUE(WaitFor([&] { return watcher.View().state == State::NoServer; }));
        EXPECT_TRUE(watcher.View().outputs.empty());

        QSignalSpy changes(&watcher, &SoundServerWatcher::Changed);
        // A nudge right after an attempt is left to the next retry.
        watcher.Nudge();
        EXPECT_EQ(watcher.View().state, State::NoServer);
        ASSERT_TRUE(WaitFor([&] {
            watcher.Nudge();
            return watcher.View().state == State::Settling;
        })) << "a nudge a little later asks again";
        EXPECT_TRUE(WaitFor([&] { return watcher.View().state == State::NoServer; }));
        EXPECT_EQ(changes.count(), 2) << "settling, then none again";
    }
    old ? ::setenv("PULSE_SERVER", kept.c_str(), 1) : ::unsetenv("PULSE_SERVER");
}

}  // namespace
