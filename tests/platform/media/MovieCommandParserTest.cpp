#include <gtest/gtest.h>

#include "MovieCommandParser.h"

namespace {

using platform::MovieCommand;
using platform::MovieCommandParser;

MovieCommand Command(const std::string& text)
{
    const auto parsed = MovieCommandParser::Parse(text);
    EXPECT_TRUE(std::holds_alternative<MovieCommand>(parsed)) << text;
    return std::holds_alternative<MovieCommand>(parsed) ? std::get<MovieCommand>(parsed) : MovieCommand{};
}

MCIERROR Error(const std::string& text)
{
    const auto parsed = MovieCommandParser::Parse(text);
    return std::holds_alternative<platform::MovieError>(parsed) ? MCIERROR{std::get<platform::MovieError>(parsed)} : MCIERROR{0};
}

TEST(MovieCommandParserTest, OpenKeepsThePathWholeUpToTheLastAlias)
{
    const MovieCommand open = Command("OPEN /my movies/alias ALIAS night.avi ALIAS MOVIE");
    EXPECT_EQ(open.verb, MovieCommand::Verb::Open);
    EXPECT_EQ(open.path, "/my movies/alias ALIAS night.avi");
    EXPECT_EQ(open.alias, "MOVIE");
    const MovieCommand lower = Command("open  c:\\two  spaces\\ x.avi alias Movie");
    EXPECT_EQ(lower.path, " c:\\two  spaces\\ x.avi");
    EXPECT_EQ(lower.alias, "MOVIE");
}

TEST(MovieCommandParserTest, PlayAndCloseNameAnAliasInAnyCase)
{
    const MovieCommand play = Command("play Movie fullscreen Wait");
    EXPECT_EQ(play.verb, MovieCommand::Verb::Play);
    EXPECT_EQ(play.alias, "MOVIE");
    EXPECT_EQ(Command("PLAY clip").verb, MovieCommand::Verb::Play);
    const MovieCommand close = Command("Close movie");
    EXPECT_EQ(close.verb, MovieCommand::Verb::Close);
    EXPECT_EQ(close.alias, "MOVIE");
}

TEST(MovieCommandParserTest, UnknownVerbsAndWrongWordsHaveTheirOwnErrors)
{
    for (const char* text : {"", "   ", "PAUSE MOVIE", "OPENED /x.avi ALIAS M", "SEEK MOVIE TO START"})
        EXPECT_EQ(Error(text), platform::kMovieUnknownCommand) << text;
    for (const char* text : {"OPEN", "OPEN /x.avi", "OPEN  ALIAS MOVIE", "OPEN /x.avi ALIAS", "OPEN /x.avi ALIAS A B",
                             "PLAY", "PLAY MOVIE FROM 0", "CLOSE", "CLOSE A B"})
        EXPECT_EQ(Error(text), platform::kMovieBadSyntax) << text;
}

}  // namespace
