#include <gtest/gtest.h>

#include "CTime.h"
#include "EngineState.h"
#include "FakeClock.h"
#include "FakeMovieCommands.h"
#include "FakeProgramStarter.h"
#include "FakeSound.h"
#include "NoisePlayer.h"
#include "TimeZoneGuard.h"

namespace {

class NoisePlayerTest : public EngineTest {
protected:
    TimeZoneGuard zone{"UTC"};
    platform::FakeClock clock{CTime(2026, 12, 6, 14, 5, 30).GetTime()};
    platform::FakeSound sound;
    platform::FakeMovieCommands movies;
    platform::FakeProgramStarter starter;
};

TEST_F(NoisePlayerTest, TheLastThreeCharactersAloneDecideTheKind)
{
    PlayNoise("/n/door.wav", 1);
    PlayNoise("/n/clipavi", 1);
    PlayNoise("/n/door.WAV", 1);
    PlayNoise("av", 1);
    EXPECT_EQ(sound.played, (std::vector<std::string>{"/n/door.wav"}));
    EXPECT_EQ(movies.commands.size(), 3u);
    EXPECT_EQ(starter.started, (std::vector<std::string>{"/n/door.WAV", "av"}));
    EXPECT_EQ(starter.lastShowCommand, 3u);
    EXPECT_EQ(ProblemLog.problemCount, 0);
}

TEST_F(NoisePlayerTest, AMovieIsOpenedPlayedAndClosedEveryRepeatWhateverOpenSaid)
{
    movies.otherResult = platform::kMovieCannotOpen;
    PlayNoise("/my movies/the party.avi", 2);
    const std::vector<std::string> once = {
        "OPEN /my movies/the party.avi ALIAS MOVIE", "PLAY MOVIE FULLSCREEN WAIT", "CLOSE MOVIE"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(movies.commands, twice);
    EXPECT_EQ(ProblemLog.problemCount, 0) << "only the play command decides";
}

TEST_F(NoisePlayerTest, EveryFailedAttemptWritesItsLineWithTheTimeOfTheCall)
{
    sound.result = false;
    // Plays take time; every line still carries the time read when the call began.
    sound.onPlay = [this](const std::string&) { clock.Advance(600); };
    PlayNoise("c:\\noises\\door.wav", 2);
    movies.playResult = platform::kMovieCannotPlay;
    PlayNoise("/m/clip.avi", 1);
    starter.result = 2;
    PlayNoise("/d/notes.txt", 1);
    ASSERT_EQ(ProblemLog.problemCount, 4);
    EXPECT_EQ(ProblemLog.problemLines[0].str(), "At 14:05 couldn't play wavc:\\noises\\door.wav");
    EXPECT_EQ(ProblemLog.problemLines[1].str(), "At 14:05 couldn't play wavc:\\noises\\door.wav");
    EXPECT_EQ(ProblemLog.problemLines[2].str(), "At 14:25 couldn't play avi/m/clip.avi");
    EXPECT_EQ(ProblemLog.problemLines[3].str(), "At 14:25 couldn't start/d/notes.txt");
}

TEST_F(NoisePlayerTest, StartResultsUpTo31AreFailures)
{
    starter.result = 31;
    PlayNoise("/a.txt", 1);
    starter.result = 32;
    PlayNoise("/b.txt", 1);
    EXPECT_EQ(ProblemLog.problemCount, 1);
}

TEST_F(NoisePlayerTest, NoRepeatsPlayNothing)
{
    PlayNoise("/n/door.wav", 0);
    PlayNoise("/n/door.wav", -3);
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(clock.Reads(), 2);
}

TEST_F(NoisePlayerTest, OnlyTheFirst95LinesAreShownAndTheNextOnesOverwriteTheHiddenSlot)
{
    sound.result = false;
    for (int i = 0; i < 97; ++i)
        PlayNoise(CString("/n/" + std::to_string(i) + ".wav"), 1);
    EXPECT_EQ(ProblemLog.problemCount, 95);
    EXPECT_EQ(ProblemLog.problemLines[94].str(), "At 14:05 couldn't play wav/n/94.wav");
    EXPECT_EQ(ProblemLog.problemLines[95].str(), "At 14:05 couldn't play wav/n/96.wav");
    EXPECT_TRUE(ProblemLog.problemLines[96].IsEmpty());
    ProblemLog.Empty();
    EXPECT_EQ(ProblemLog.problemCount, 0);
}

}  // namespace
