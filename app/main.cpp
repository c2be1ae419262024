// The composition root: Qt, the real services, the one application object,
// and the parts of the program that watch the guard from beside it.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <iostream>

#include "CFrameWnd.h"
#include "CQwendrikApp.h"
#include "CWinApp.h"
#include "GuardAccess.h"
#include "GuardEventsFanout.h"
#include "LongWait.h"
#include "ProgramOptions.h"
#include "QtMessenger.h"
#include "RealServices.h"
#include "Diary.h"
#include "PlanCommand.h"
#include "RemoteControl.h"
#include "SoundModule.h"
#include "Supervision.h"
#include "TripModule.h"

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

// Calls `add` with the main window once it is up (after any message the
// start-up shows first) until it says it has added its menu items.
void WhenMainWindowIsUp(std::function<bool(QWidget*)> add)
{
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, add = std::move(add)] {
        CFrameWnd* frame = AfxGetMainWnd();
        if (frame && add(frame->GetSafeHwnd()))
            poll->deleteLater();
        else
            poll->setInterval(100);
    });
    poll->start(0);
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

    QApplication qtApp(argc, argv);
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
    if (supervision.Supervised())
        platform::InstallLongWaitHook([&supervision] { supervision.Alive(); }, supervision.BeatSpacing());

    RealServices services;
    GuardEventsFanout listeners;
    InstallGuardEvents(&listeners);
    ViewGuardAccess access;
    trip::TripModule trip(access, options.resume);
    listeners.Add(&trip.Events());
    sound::SoundModule soundModule(access);
    listeners.Add(&soundModule.Listener());
    soundModule.SetUnheardSink([](const sound::UnheardNote& note) {
        trip::Diary::Append(note.at, "unheard", {note.reason, note.output});
    });

    remote::RemoteControl remoteControl(access);
    listeners.Add(&remoteControl);
    remoteControl.SetDiary([](const std::string& line) { trip::Diary::Append("remote", {line}); });
    soundModule.SetFindingSink([&remoteControl](bool unheard) { remoteControl.SetUnheard(unheard); });
    // "&Say Whut?" always lists the trip's items, then Play Through, then
    // Remote Control.  Only the program that runs connects: a second start
    // for the same home folder hands its file over and ends before any
    // frame, and under the same client id it would push the running program
    // off the broker.
    WhenMainWindowIsUp([&](QWidget* window) {
        if (!trip.AutostartAction() || !soundModule.AddMenuItem(window))
            return false;
        remoteControl.Start();
        remoteControl.AttachTo(window);
        supervision.Ready();
        return true;
    });
    // A start with --resume that finds this home folder's program running
    // (the autostart entry a moment after a start by hand, or the unit's
    // start while the program runs unsupervised) hands the resume over.
    if (options.resume)
        theApp.SetOptionsToHandOver({QStringLiteral("--resume")});
    theApp.SetHandedOverOptionHandler([&trip](const QString& option) {
        if (option == QStringLiteral("--resume"))
            trip.ResumeHandedOver();
    });

    // Nobody is there to close a message box on a start after a restart.
    services.Messenger().SetUnattended(options.resume);
    QTimer::singleShot(0, [&] { trip.AfterStartUp(); });
    QTimer::singleShot(0, [&] { services.Messenger().SetUnattended(false); });

    theApp.SetCommandLine(FrameworkArguments(options));
    const int status = theApp.Run();
    // Handed over to the running program: this start did its part.
    if (theApp.HandedOver() && status == 0)
        supervision.Ready();
    supervision.Stopping();
    platform::UninstallLongWaitHook();
    InstallGuardEvents(nullptr);
    return status;
}
