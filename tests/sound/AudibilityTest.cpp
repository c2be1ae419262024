// The rules on what the server said, including what a test server cannot
// show (a jack with nothing plugged in, the server's stand-in output).
#include <gtest/gtest.h>

#include "Audibility.h"
#include "OutputChoice.h"

namespace {

using sound::Audibility;
using sound::Judge;
using sound::SoundOutput;
using sound::SoundServerView;
using sound::Unheard;

SoundServerView Server(std::vector<SoundOutput> outputs, std::string defaultOutput = "speakers")
{
    return SoundServerView{SoundServerView::State::Known, std::move(defaultOutput), std::move(outputs), {}};
}

SoundOutput Output(std::string name, std::string description, bool muted = false, int percent = 100,
                   bool unplugged = false)
{
    return SoundOutput{std::move(name), std::move(description), muted, percent, unplugged};
}

std::string UnheardText(const Audibility& audibility)
{
    return audibility.unheard ? sound::UnheardLine(CTime(2026, 12, 7, 23, 5, 0), *audibility.unheard) : "";
}

TEST(AudibilityTest, TheFirstReasonThatHoldsIsTheOneTold)
{
    const auto line = [](SoundOutput output) { return UnheardText(Judge(Server({output}), "")); };
    EXPECT_EQ(line(Output("speakers", "Speakers", true, 2, true)),
              "At 23:05 nobody can hear Mervo: the speakers are unplugged (Speakers)");
    EXPECT_EQ(line(Output("speakers", "Speakers", true, 2)),
              "At 23:05 nobody can hear Mervo: the sound is muted (Speakers)");
    EXPECT_EQ(line(Output("speakers", "Speakers", false, 2)),
              "At 23:05 nobody can hear Mervo: the volume is at 2% (Speakers)");
    EXPECT_EQ(line(Output("speakers", "Speakers", false, 4)),
              "At 23:05 nobody can hear Mervo: the volume is at 4% (Speakers)");
    EXPECT_EQ(line(Output("speakers", "Speakers", false, 0)),
              "At 23:05 nobody can hear Mervo: the volume is at 0% (Speakers)");
    EXPECT_EQ(line(Output("speakers", "Speakers", false, 5)), "") << "5 % is heard";
    EXPECT_EQ(line(Output("speakers", "Speakers", false, 150)), "");

    // Then Hauntwatch's own stream, whose volume scales the output's.
    const auto stream = [](int outputPercent, sound::StreamMemory own) {
        return UnheardText(Judge(Server({Output("speakers", "Speakers", false, outputPercent)}), "", own));
    };
    EXPECT_EQ(stream(100, {true, 100}), "At 23:05 nobody can hear Mervo: Hauntwatch is muted in the mixer (Speakers)");
    EXPECT_EQ(stream(100, {false, 4}), "At 23:05 nobody can hear Mervo: Hauntwatch's own volume is at 4% (Speakers)");
    EXPECT_EQ(stream(20, {false, 20}),
              "At 23:05 nobody can hear Mervo: Hauntwatch's own volume is at 20% of the output's 20% (Speakers)");
    EXPECT_EQ(stream(50, {false, 10}), "") << "10% of 50% is heard";
    EXPECT_EQ(UnheardText(Judge(Server({Output("speakers", "Speakers", true)}), "", sound::StreamMemory{true, 100})),
              "At 23:05 nobody can hear Mervo: the sound is muted (Speakers)")
        << "the output's own fault comes first";
    SoundServerView remembered = Server({Output("speakers", "Speakers")});
    remembered.ownStream = sound::StreamMemory{true, 100};
    EXPECT_NE(sound::Advice(Judge(remembered, "")).find("Play Through"), std::string::npos)
        << "without a play, the server's memory is judged, and the advice says where to mend it";
}

TEST(AudibilityTest, NoOutputAtAllOrOnlyTheServersStandIn)
{
    EXPECT_EQ(UnheardText(Judge(Server({}, ""), "")), "At 23:05 nobody can hear Mervo: there is no sound output");
    EXPECT_EQ(UnheardText(Judge(Server({Output("auto_null", "Dummy Output")}, "auto_null"), "")),
              "At 23:05 nobody can hear Mervo: there is no sound output");
    EXPECT_EQ(UnheardText(Judge(Server({Output("hdmi", "TV")}, "speakers"), "")),
              "At 23:05 nobody can hear Mervo: there is no sound output")
        << "a default the server does not list plays nowhere";
}

TEST(AudibilityTest, TheChosenOutputIsCheckedAndWhenGoneTheDefaultIs)
{
    const SoundServerView server =
        Server({Output("speakers", "Speakers", true), Output("door", "Front door", false, 3)}, "speakers");
    EXPECT_EQ(UnheardText(Judge(server, "door")), "At 23:05 nobody can hear Mervo: the volume is at 3% (Front door)");
    EXPECT_FALSE(Judge(server, "door").fallback);

    const Audibility gone = Judge(server, "garage");
    ASSERT_TRUE(gone.fallback);
    EXPECT_EQ(sound::FallbackLine(CTime(2026, 12, 7, 23, 5, 0), *gone.fallback),
              "At 23:05 the chosen output is gone: playing through Speakers");
    EXPECT_EQ(UnheardText(gone), "At 23:05 nobody can hear Mervo: the sound is muted (Speakers)");

    const Audibility nothing = Judge(Server({}, ""), "garage");
    EXPECT_FALSE(nothing.fallback) << "nothing plays it instead";
    EXPECT_EQ(UnheardText(nothing), "At 23:05 nobody can hear Mervo: there is no sound output");
}

TEST(AudibilityTest, NothingIsClaimedBeforeOrWithoutTheServersAnswer)
{
    for (const auto state : {SoundServerView::State::NoServer, SoundServerView::State::Settling}) {
        const SoundServerView view{state, "", {}};
        const Audibility audibility = Judge(view, "door");
        EXPECT_FALSE(audibility.unheard);
        EXPECT_FALSE(audibility.fallback);
        EXPECT_EQ(sound::Advice(audibility), "");
    }
}

TEST(AudibilityTest, TheAdviceSaysWhatIsWrongAndHowToMendIt)
{
    const std::string muted = sound::Advice(Judge(Server({Output("speakers", "Speakers", true)}), ""));
    EXPECT_NE(muted.find("the sound is muted (Speakers)"), std::string::npos) << muted;
    EXPECT_NE(muted.find("Unmute"), std::string::npos) << muted;
    const std::string unplugged = sound::Advice(Judge(Server({Output("speakers", "Speakers", false, 100, true)}), ""));
    EXPECT_NE(unplugged.find("Plug"), std::string::npos) << unplugged;
    const std::string gone = sound::Advice(Judge(Server({Output("speakers", "Speakers")}), "door"));
    EXPECT_NE(gone.find("plays through Speakers"), std::string::npos) << gone;
    EXPECT_EQ(sound::Advice(Judge(Server({Output("speakers", "Speakers")}), "")), "");
}

TEST(AudibilityTest, PlaysGoToTheChosenOutputOnlyWhileTheServerMayHaveIt)
{
    const SoundServerView server = Server({Output("speakers", "Speakers"), Output("door", "Front door")});
    EXPECT_EQ(sound::MpvAudioDevice(server, "door"), "pulse/door");
    EXPECT_EQ(sound::MpvAudioDevice(server, ""), "") << "the desktop's default";
    EXPECT_EQ(sound::MpvAudioDevice(server, "garage"), "") << "gone: the default plays";
    EXPECT_EQ(sound::MpvAudioDevice(SoundServerView{SoundServerView::State::NoServer, "", {}, {}}, "door"), "")
        << "no server: whatever the machine plays through";
    EXPECT_EQ(sound::MpvAudioDevice(SoundServerView{SoundServerView::State::Settling, "", {}, {}}, "door"), "pulse/door")
        << "while the server is asked, the choice stands";
}

}  // namespace
