#include <gtest/gtest.h>

#include "MovieCommandParser.h"

namespace {

using platform::MovieCommand;
using platform::MovieCommandParser;

TEST(MovieCommandParserTest, OpenKeepsThePathWholeUpToTheLastAlias)
{
    const auto open = MovieCommandParser::Parse("OPEN /my movies/alias ALIAS night.avi ALIAS MOVIE");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->verb, MovieCommand::Verb::Open);
    EXPECT_EQ(open->path, "/my movies/alias ALIAS night.avi");
    EXPECT_EQ(open->alias, "MOVIE");
    const auto lower = MovieCommandParser::Parse("open /a b.avi alias movie");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->path, "/a b.avi");
    EXPECT_EQ(lower->alias, "MOVIE");
}

TEST(MovieCommandParserTest, PlayAndCloseNameAnAliasInAnyCase)
{
    const auto play = MovieCommandParser::Parse("play Movie fullscreen Wait");
    ASSERT_TRUE(play);
    EXPECT_EQ(play->verb, MovieCommand::Verb::Play);
    EXPECT_EQ(play->alias, "MOVIE");
    const auto close = MovieCommandParser::Parse("CLOSE movie");
    ASSERT_TRUE(close);
    EXPECT_EQ(close->verb, MovieCommand::Verb::Close);
}

TEST(MovieCommandParserTest, AnythingElseIsNotACommand)
{
    for (const char* text : {"", "OPEN", "OPEN /x.avi", "OPEN  ALIAS MOVIE", "OPEN /x.avi ALIAS", "PLAY MOVIE",
                             "PLAY MOVIE FULLSCREEN", "PAUSE MOVIE", "CLOSE", "CLOSE A B", "OPENED /x ALIAS M"})
        EXPECT_FALSE(MovieCommandParser::Parse(text)) << text;
}

}  // namespace
