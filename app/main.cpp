// The composition root: Qt, the real services, the one application object,
// and the parts of the program that watch the guard from beside it.
#include <QApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <utility>
#include <vector>

#include "CFrameWnd.h"
#include "CQwendrikApp.h"
#include "CWinApp.h"
#include "LongWait.h"
#include "MpvOptions.h"
#include "ProgramOptions.h"
#include "ProgramParts.h"
#include "QtMessenger.h"
#include "RealServices.h"
#include "PlanCommand.h"
#include "Supervision.h"

// In sanitizer builds: Qt, fontconfig and D-Bus keep caches for the life of
// the process, which LeakSanitizer would report at every exit.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

CQwendrikApp theApp;

namespace {

std::vector<CString> FrameworkArguments(const ProgramOptions& options)
{
    return options.rest;
}

// Qt takes X11 unless told otherwise, through Xwayland, and where there is
// none it aborts.  In a Wayland session the program is a Wayland client,
// with X11 as the fallback; a platform the person chose is kept.
std::vector<char*> WithNativePlatform(int argc, char** argv)
{
    static char option[] = "-platform";
    static char platforms[] = "wayland;xcb";
    std::vector<char*> arguments(argv, argv + argc);
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool named = std::any_of(arguments.begin(), arguments.end(), [](const char* argument) {
        return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
    });
    if ((!chosen || !*chosen) && wayland && *wayland && !named && !arguments.empty())
        arguments.insert(arguments.begin() + 1, {option, platforms});
    arguments.push_back(nullptr);
    return arguments;
}

// While the program runs: what a normal end does before main returns.
std::function<void()> endingFromInside;

// Qt's X11 platform ends the process with exit(1), from inside the event
// loop, when the display goes away (an X server that ended, a lost
// connection).  main never returns, and the exit handlers would then tear
// down the application's windows under a platform that is gone, and crash.
// So the lines of a normal end are written here, and the process ends at
// once with a failure status, for a supervising unit to start it again; the
// duty record stays, as for any end that is not the person's.
void EndedFromInside()
{
    if (const std::function<void()> end = std::exchange(endingFromInside, nullptr)) {
        end();
        std::fflush(nullptr);
        std::_Exit(1);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // Before any thread: nothing started later inherits the service manager's socket.
    trip::ServiceManagerLink managerLink = trip::TakeServiceManagerLink();
    // Options that need no window are answered before Qt looks for a display.
    const ProgramOptions early = ParseProgramOptions(argc, argv);
    if (!early.error.empty()) {
        std::fprintf(stderr, "hauntwatch: %s\n", early.error.c_str());
        return 2;
    }
    if (early.help) {
        std::fputs(ProgramUsage().c_str(), stdout);
        return 0;
    }
    if (early.version) {
        std::printf("hauntwatch %s\n", HAUNTWATCH_VERSION);
        return 0;
    }
    if (early.plan)
        return trip::RunPlanCommand(*early.plan, std::cout, std::cerr);

    platform::AnnounceAudioIdentity();
    std::vector<char*> qtArgv = WithNativePlatform(argc, argv);
    int qtArgc = static_cast<int>(qtArgv.size()) - 1;
    QApplication qtApp(qtArgc, qtArgv.data());
    // Ties the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("hauntwatch"));
    // Qt has taken its own options (-display, -platform, ...) off by now.
    QStringList qtArguments = QCoreApplication::arguments();
    std::vector<QByteArray> encoded;
    for (const QString& argument : qtArguments)
        encoded.push_back(QFile::encodeName(argument));
    std::vector<const char*> pointers;
    for (const QByteArray& argument : encoded)
        pointers.push_back(argument.constData());
    const ProgramOptions options = ParseProgramOptions(static_cast<int>(pointers.size()), pointers.data());

    trip::Supervision supervision(std::move(managerLink));
    // A play holds the window thread for as long as it lasts; the heartbeat
    // goes on from inside its wait.
    if (supervision.Watched())
        platform::InstallLongWaitHook([&supervision] { supervision.Alive(); }, supervision.BeatSpacing());

    RealServices services;
    ProgramParts parts(options, [&supervision] { supervision.Ready(); });
    parts.JoinTo(theApp);
    parts.SetUnattendedUntilUp([&services](bool unattended) { services.Messenger().SetUnattended(unattended); });

    endingFromInside = [&parts, &supervision] {
        parts.WriteLastLines();
        supervision.Stopping();
    };
    std::atexit(EndedFromInside);

    theApp.SetCommandLine(FrameworkArguments(options));
    const int status = theApp.Run();
    endingFromInside = nullptr;
    // Handed over to the running program: this start did its part.
    if (theApp.HandedOver() && status == 0)
        supervision.Ready();
    supervision.Stopping();
    platform::UninstallLongWaitHook();
    return status;
}
