#include "MovieCommandParser.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

namespace platform {

namespace {

using Parsed = std::variant<MovieCommand, MovieError>;

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// `rest` is the text after "OPEN ".
Parsed ParseOpen(const std::string& rest)
{
    static const std::string kAlias = " ALIAS ";
    const size_t alias = Upper(rest).rfind(kAlias);
    if (alias == std::string::npos || alias == 0)
        return kMovieBadSyntax;
    const std::vector<std::string> name = Words(rest.substr(alias + kAlias.size()));
    if (name.size() != 1)
        return kMovieBadSyntax;
    return MovieCommand{MovieCommand::Verb::Open, Upper(name[0]), rest.substr(0, alias)};
}

// The program only ever plays full screen and waits, so those are the only
// flags there are; a play always does both.
Parsed ParsePlay(const std::vector<std::string>& words)
{
    if (words.size() < 2)
        return kMovieBadSyntax;
    for (size_t i = 2; i < words.size(); ++i)
        if (Upper(words[i]) != "FULLSCREEN" && Upper(words[i]) != "WAIT")
            return kMovieBadSyntax;
    return MovieCommand{MovieCommand::Verb::Play, Upper(words[1]), {}};
}

Parsed ParseClose(const std::vector<std::string>& words)
{
    if (words.size() != 2)
        return kMovieBadSyntax;
    return MovieCommand{MovieCommand::Verb::Close, Upper(words[1]), {}};
}

}  // namespace

Parsed MovieCommandParser::Parse(const std::string& text)
{
    const std::vector<std::string> words = Words(text);
    if (words.empty())
        return kMovieUnknownCommand;
    const std::string verb = Upper(words[0]);
    if (verb == "OPEN") {
        const size_t afterVerb = text.find_first_not_of(" \t") + verb.size() + 1;
        return ParseOpen(text.substr(std::min(afterVerb, text.size())));
    }
    if (verb == "PLAY")
        return ParsePlay(words);
    if (verb == "CLOSE")
        return ParseClose(words);
    return kMovieUnknownCommand;
}

}  // namespace platform
