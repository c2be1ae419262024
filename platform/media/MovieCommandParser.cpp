#include "MovieCommandParser.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace platform {

namespace {

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool StartsWithKeyword(const std::string& text, const char* keyword)
{
    const std::string word = std::string(keyword) + " ";
    return text.size() > word.size() && Upper(text.substr(0, word.size())) == word;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::optional<MovieCommand> ParseOpen(const std::string& text)
{
    const std::string upper = Upper(text);
    const size_t alias = upper.rfind(" ALIAS ");
    constexpr size_t kOpenLength = 5;
    if (alias == std::string::npos || alias <= kOpenLength)
        return std::nullopt;
    const std::vector<std::string> name = Words(text.substr(alias + 7));
    if (name.size() != 1)
        return std::nullopt;
    return MovieCommand{MovieCommand::Verb::Open, Upper(name[0]), text.substr(kOpenLength, alias - kOpenLength)};
}

}  // namespace

std::optional<MovieCommand> MovieCommandParser::Parse(const std::string& text)
{
    if (StartsWithKeyword(text, "OPEN"))
        return ParseOpen(text);
    const std::vector<std::string> words = Words(text);
    if (words.size() == 4 && Upper(words[0]) == "PLAY" && Upper(words[2]) == "FULLSCREEN" && Upper(words[3]) == "WAIT")
        return MovieCommand{MovieCommand::Verb::Play, Upper(words[1]), {}};
    if (words.size() == 2 && Upper(words[0]) == "CLOSE")
        return MovieCommand{MovieCommand::Verb::Close, Upper(words[1]), {}};
    return std::nullopt;
}

}  // namespace platform
