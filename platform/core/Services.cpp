// The old-named calls, each a thin call into the service installed for the process.
#include <string>

#include "HomeFolder.h"
#include "MovieCommands.h"
#include "PreviewPlayer.h"
#include "ProgramStarter.h"
#include "Sound.h"
#include "Timer.h"

namespace platform {
namespace {
SoundService* soundService = nullptr;
MovieCommandService* movieService = nullptr;
ProgramStarter* programStarter = nullptr;
TimerService* timerService = nullptr;

PreviewPlayerFactory& InstalledPreviewFactory()
{
    static PreviewPlayerFactory factory;
    return factory;
}
}

void InstallSoundService(SoundService* service) { soundService = service; }
SoundService* InstalledSoundService() { return soundService; }
PlayFailure LastSoundFailure() { return soundService ? soundService->LastFailure() : PlayFailure::NoSoundOutput; }
void InstallMovieCommandService(MovieCommandService* service) { movieService = service; }
MovieCommandService* InstalledMovieCommandService() { return movieService; }
void InstallProgramStarter(ProgramStarter* starter) { programStarter = starter; }
ProgramStarter* InstalledProgramStarter() { return programStarter; }
void InstallTimerService(TimerService* service) { timerService = service; }
TimerService* InstalledTimerService() { return timerService; }
void InstallPreviewPlayerFactory(PreviewPlayerFactory factory) { InstalledPreviewFactory() = std::move(factory); }

std::unique_ptr<PreviewPlayer> MakePreviewPlayer()
{
    return InstalledPreviewFactory() ? InstalledPreviewFactory()() : nullptr;
}

}  // namespace platform

namespace win {

BOOL PlaySoundA(const char* path, void* /*module*/, DWORD /*flags*/)
{
    auto* service = platform::InstalledSoundService();
    if (!service || !path)
        return FALSE;
    return service->PlaySync(platform::ProgramFilePath(path)) ? TRUE : FALSE;
}

MCIERROR mciSendStringA(const char* command, char* returnText, UINT returnLength, void* /*callbackWindow*/)
{
    if (returnText && returnLength > 0)
        returnText[0] = '\0';
    auto* service = platform::InstalledMovieCommandService();
    if (!service)
        return platform::kMovieNoService;
    return service->SendCommand(command ? command : "");
}

UINT WinExec(const char* commandLine, UINT showCommand)
{
    static const std::string prefix = "Start ";
    auto* starter = platform::InstalledProgramStarter();
    const std::string line = commandLine ? commandLine : "";
    if (!starter || line.compare(0, prefix.size(), prefix) != 0)
        return kStartFileNotFound;
    return starter->StartFile(line.substr(prefix.size()), showCommand);
}

UINT_PTR SetTimer(platform::TimerWindow* window, UINT_PTR id, UINT delayMs, TIMERPROC /*proc*/)
{
    auto* service = platform::InstalledTimerService();
    if (!service || !window)
        return 0;
    return service->Set(window, id, delayMs) ? id : 0;
}

BOOL KillTimer(platform::TimerWindow* window, UINT_PTR id)
{
    auto* service = platform::InstalledTimerService();
    if (!service || !window)
        return FALSE;
    service->Kill(window, id);
    return TRUE;
}

}  // namespace win
