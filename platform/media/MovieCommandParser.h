#pragma once
// Reads one movie command string.  Keywords are case-blind; the path of an
// OPEN is everything between "OPEN " and the last " ALIAS ", spaces and all.
#include <optional>
#include <string>

namespace platform {

struct MovieCommand {
    enum class Verb { Open, Play, Close };
    Verb verb;
    std::string alias;
    std::string path;  // OPEN only
};

class MovieCommandParser {
public:
    // Nothing when the text is not one of the three commands.
    static std::optional<MovieCommand> Parse(const std::string& text);
};

}  // namespace platform
