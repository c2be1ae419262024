#include "MpvMovieCommands.h"

#include <sys/stat.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "MovieCommandParser.h"

namespace platform {

namespace {

bool HasDisplay()
{
    auto set = [](const char* name) { const char* v = std::getenv(name); return v && *v; };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("HAUNTWATCH_VO");
}

// Esc and q end a clip early; "stop" rather than "quit" keeps the handle for the next one.
std::string KeyBindingsFile()
{
    char path[] = "/tmp/hauntwatch-keys-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0)
        return {};
    static const char kBindings[] = "ESC stop\nq stop\nQ stop\n";
    const bool written = ::write(fd, kBindings, sizeof kBindings - 1) == static_cast<ssize_t>(sizeof kBindings - 1);
    ::close(fd);
    return written ? path : std::string();
}

}  // namespace

MpvMovieCommands::MpvMovieCommands()
    : keyBindings_(KeyBindingsFile()),
      player_({{"input-conf", keyBindings_}, {"fs", "yes"}, {"vo", VideoOutputs()}, {"ao", AudioOutputs()}, {"ao-null-untimed", "yes"},
               {"force-window", "no"}, {"input-default-bindings", "yes"}, {"input-vo-keyboard", "yes"},
               {"keep-open", "no"}, {"title", "Hauntwatch"}})
{
}

MpvMovieCommands::~MpvMovieCommands()
{
    if (!keyBindings_.empty())
        ::unlink(keyBindings_.c_str());
}

MCIERROR MpvMovieCommands::SendCommand(const std::string& text)
{
    const std::optional<MovieCommand> command = MovieCommandParser::Parse(text);
    if (!command)
        return kMovieUnknownCommand;
    switch (command->verb) {
    case MovieCommand::Verb::Open: {
        struct stat info {};
        if (::stat(command->path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return kMovieCannotOpen;
        openFiles_[command->alias] = command->path;
        return kMovieOk;
    }
    case MovieCommand::Verb::Play:
        return Play(command->alias);
    case MovieCommand::Verb::Close:
        return openFiles_.erase(command->alias) ? kMovieOk : kMovieUnknownAlias;
    }
    return kMovieUnknownCommand;
}

MCIERROR MpvMovieCommands::Play(const std::string& alias)
{
    const auto file = openFiles_.find(alias);
    if (file == openFiles_.end())
        return kMovieUnknownAlias;
    if (!HasDisplay())
        return kMovieNoDisplay;
    switch (player_.PlayToEnd(file->second)) {
    case MpvPlayer::Result::Played:
        return kMovieOk;
    case MpvPlayer::Result::NoFile:
        return kMovieCannotOpen;
    case MpvPlayer::Result::Failed:
        break;
    }
    return kMovieCannotPlay;
}

}  // namespace platform
