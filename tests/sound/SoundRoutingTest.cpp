// Where the sound goes: the guard's plays (and its own sounds) and the
// picker's preview through the chosen output, heard at the sinks' monitors of
// a real server; the default when the chosen one is gone.
#include "SoundRoutingFixture.h"

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

}  // namespace
