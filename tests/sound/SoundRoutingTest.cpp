// Where the sound goes: the guard's plays (and its own sounds) and the
// picker's preview through the chosen output, heard at the sinks' monitors of
// a real server; the default when the chosen one is gone.
#include "SoundRoutingFixture.h"

#include <thread>

#include "MpvOptions.h"
#include "MpvPreviewPlayer.h"

namespace {

TEST_F(SoundRoutingTest, TheGuardsSoundsGoToTheChosenOutputOnlyAndANewChoiceTakesOver)
{
    ChooseInSettings("b");
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& settings) { SetNoise(settings, 0, 1, kTone.c_str()); });
    ASSERT_TRUE(Start());
    {
        SinkRecording a("a", home / "a1.raw");
        SinkRecording b("b", home / "b1.raw");
        ASSERT_TRUE(a.Running() && b.Running());
        view()->OnTurnMeOn();  // the guard-on sound
        clock.Advance(60);
        timer.Fire(view());  // the slot's sound
        ASSERT_TRUE(b.HeardSomething()) << "the chosen output plays";
        b.Stop();
        a.Stop();
        EXPECT_LT(a.Peak(), SinkRecording::kHeard) << "and the default does not";
    }
    EXPECT_TRUE(Problems().empty()) << Problems().front();

    module->Choice().Choose("a");
    SinkRecording a("a", home / "a2.raw");
    SinkRecording b("b", home / "b2.raw");
    ASSERT_TRUE(a.Running() && b.Running());
    clock.Advance(60);
    timer.Fire(view());
    ASSERT_TRUE(a.HeardSomething()) << "the next play takes the new choice";
    a.Stop();
    b.Stop();
    EXPECT_LT(b.Peak(), SinkRecording::kHeard);
    EXPECT_EQ(ProblemLog.problemCount, 0);
}

TEST_F(SoundRoutingTest, WhenTheChosenOutputIsGoneTheDefaultPlaysAndTheReportSaysSo)
{
    ChooseInSettings("b");
    MakeModule();
    ASSERT_TRUE(server.UnloadSink("b"));
    ASSERT_TRUE(ServerKnown([](const sound::SoundServerView& v) { return v.outputs.size() == 1; }));
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& settings) { SetNoise(settings, 0, 1, kTone.c_str()); });
    ASSERT_TRUE(Start());
    view()->OnTurnMeOn();
    SinkRecording a("a", home / "a.raw");
    ASSERT_TRUE(a.Running());
    clock.Advance(60);
    timer.Fire(view());
    EXPECT_TRUE(a.HeardSomething());
    EXPECT_EQ(Problems(), (std::vector<std::string>{"At 10:00 the chosen output is gone: playing through Living room",
                                                    "At 10:01 the chosen output is gone: playing through Living room"}))
        << "at the start and at the pass, and nothing failed to play";
}

TEST_F(SoundRoutingTest, ThePickersPreviewPlaysThroughTheChosenOutput)
{
    ChooseInSettings("b");
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    SinkRecording a("a", home / "a.raw");
    SinkRecording b("b", home / "b.raw");
    ASSERT_TRUE(a.Running() && b.Running());
    platform::MpvPreviewPlayer preview(PostToWindowThread);
    bool ended = false;
    preview.onEnded = [&](bool played) { ended = played; };
    ASSERT_TRUE(preview.Play(kTone, {}));
    ASSERT_TRUE(WaitFor([&] { return ended; }));
    EXPECT_TRUE(b.HeardSomething());
    a.Stop();
    EXPECT_LT(a.Peak(), SinkRecording::kHeard);
}

// The mixer keeps Hauntwatch's mute for every later play: a stream muted
// there during a play is nobody hearing Mervo, said once a pass, and Play
// Through's remedy lets the next play be heard.
TEST_F(SoundRoutingTest, HauntwatchMutedInTheMixerIsNobodyHearingHimUntilSetRight)
{
    platform::AnnounceAudioIdentity();
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& settings) { SetNoise(settings, 0, 1, kTone.c_str()); });
    ASSERT_TRUE(Start());
    view()->OnTurnMeOn();
    std::string stream;
    std::thread mixer([&] {
        for (int tries = 0; tries < 400 && stream.empty(); ++tries) {
            const std::string inputs = server.PactlOutput({"list", "short", "sink-inputs"});
            if (!inputs.empty()) {
                server.Pactl({"set-sink-input-mute", inputs.substr(0, inputs.find('\t')), "1"});
                stream = server.PactlOutput({"list", "sink-inputs"});
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    clock.Advance(60);
    timer.Fire(view());
    mixer.join();
    EXPECT_NE(stream.find("application.name = \"Hauntwatch\""), std::string::npos) << stream;
    EXPECT_NE(stream.find("application.icon_name = \"hauntwatch\""), std::string::npos) << stream;
    EXPECT_EQ(stream.find("media.role"), std::string::npos) << "a role would share its memory with other programs";
    EXPECT_EQ(UnheardLines(),
              (std::vector<std::string>{"At 10:01 nobody can hear Mervo: Hauntwatch is muted in the mixer (Living room)"}));

    clock.Advance(60);
    timer.Fire(view());
    EXPECT_EQ(Unheard(), 2) << "the server's memory says it before the next pass, and the pass's play only once";

    ASSERT_TRUE(module->Watcher().SetOwnStreamRight());
    ASSERT_TRUE(ServerKnown([](const SoundServerView& v) { return v.ownStream == sound::StreamMemory{false, 100}; }));
    SinkRecording a("a", home / "a.raw");
    ASSERT_TRUE(a.Running());
    clock.Advance(60);
    timer.Fire(view());
    EXPECT_TRUE(a.HeardSomething());
    EXPECT_EQ(Unheard(), 2);

    // PipeWire lists the entry as it was until WirePlumber stores a play's
    // mute: set right again, the server's answer is unchanged and must win.
    module->Watcher().NoteOwnStream(sound::StreamMemory{true, 100});
    ASSERT_TRUE(module->Watcher().SetOwnStreamRight());
    EXPECT_TRUE(ServerKnown([](const SoundServerView& v) { return v.ownStream == sound::StreamMemory{false, 100}; }));
}

}  // namespace
