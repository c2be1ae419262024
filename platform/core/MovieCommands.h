#pragma once
// The movie command-string interface: "OPEN <path> ALIAS <name>",
// "PLAY <name> FULLSCREEN WAIT", "CLOSE <name>".
#include <string>

#include "WinTypes.h"

namespace platform {

// Error numbers a movie command can answer with; 0 is success.
enum MovieError : MCIERROR {
    kMovieOk = 0,
    kMovieUnknownCommand = 261,
    kMovieBadSyntax = 262,
    kMovieUnknownAlias = 263,
    kMovieCannotOpen = 275,
    kMovieCannotPlay = 276,
    kMovieNoDisplay = 277,
    kMovieNoService = 278,
    kMovieTimedOut = 279,   // the clip never ended
    kMovieNoAudio = 280,    // no audio output would take the clip's sound
};

class MovieCommandService {
public:
    virtual ~MovieCommandService() = default;
    virtual MCIERROR SendCommand(const std::string& command) = 0;
};

void InstallMovieCommandService(MovieCommandService* service);
MovieCommandService* InstalledMovieCommandService();

}  // namespace platform

namespace win {
MCIERROR mciSendStringA(const char* command, char* returnText, UINT returnLength, void* callbackWindow);
}
