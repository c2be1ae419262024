#include "MpvMovieCommands.h"

#include <sys/stat.h>

#include "MovieCommandParser.h"

namespace platform {

namespace {

MCIERROR ErrorOf(MpvPlayer::Outcome outcome)
{
    switch (outcome) {
    case MpvPlayer::Outcome::Played:
        return kMovieOk;
    case MpvPlayer::Outcome::NotAFile:
        return kMovieCannotOpen;
    case MpvPlayer::Outcome::NoVideoOutput:
        return kMovieNoDisplay;
    case MpvPlayer::Outcome::NoPlayer:
        return kMovieNoService;
    case MpvPlayer::Outcome::TimedOut:
        return kMovieTimedOut;
    case MpvPlayer::Outcome::NoAudioOutput:
        return kMovieNoAudio;
    case MpvPlayer::Outcome::CannotPlay:
        break;
    }
    return kMovieCannotPlay;
}

}  // namespace

MpvMovieCommands::MpvMovieCommands(std::vector<MpvPlayer::Option> tuning)
    : player_(MpvPlayer::Kind::Movie, std::move(tuning))
{
}

MCIERROR MpvMovieCommands::SendCommand(const std::string& text)
{
    const auto parsed = MovieCommandParser::Parse(text);
    if (const auto* error = std::get_if<MovieError>(&parsed))
        return *error;
    const auto& command = std::get<MovieCommand>(parsed);
    switch (command.verb) {
    case MovieCommand::Verb::Open:
        return Open(command.alias, command.path);
    case MovieCommand::Verb::Play:
        return Play(command.alias);
    case MovieCommand::Verb::Close:
        return Close(command.alias);
    }
    return kMovieUnknownCommand;
}

// Opening only checks that the file is there; whether it decodes shows when
// it plays.  Opening an alias again replaces its file.
MCIERROR MpvMovieCommands::Open(const std::string& alias, const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return kMovieCannotOpen;
    openFiles_[alias] = path;
    return kMovieOk;
}

MCIERROR MpvMovieCommands::Play(const std::string& alias)
{
    const auto file = openFiles_.find(alias);
    if (file == openFiles_.end())
        return kMovieUnknownAlias;
    return ErrorOf(player_.PlayToEnd(file->second));
}

MCIERROR MpvMovieCommands::Close(const std::string& alias)
{
    return openFiles_.erase(alias) ? kMovieOk : kMovieUnknownAlias;
}

}  // namespace platform
