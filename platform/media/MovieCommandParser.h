#pragma once
// Reads one movie command string: "OPEN <path> ALIAS <name>",
// "PLAY <name> [FULLSCREEN] [WAIT]", "CLOSE <name>".  Keywords and aliases
// are case-blind; the path of an OPEN is everything between "OPEN " and the
// last " ALIAS ", spaces and all.
#include <string>
#include <variant>

#include "MovieCommands.h"

namespace platform {

struct MovieCommand {
    enum class Verb { Open, Play, Close };
    Verb verb;
    std::string alias;  // upper case
    std::string path;   // OPEN only
};

class MovieCommandParser {
public:
    // The command, or the error number for a text that is none:
    // kMovieUnknownCommand for an unknown verb, kMovieBadSyntax for a known
    // verb with the wrong words after it.
    static std::variant<MovieCommand, MovieError> Parse(const std::string& text);
};

}  // namespace platform
