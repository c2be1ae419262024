// The composition root: Qt, the real services, the one application object,
// and the parts of the program that watch the guard from beside it.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "CFrameWnd.h"
#include "CQwendrikApp.h"
#include "GuardAccess.h"
#include "GuardEventsFanout.h"
#include "ProgramOptions.h"
#include "QtMessenger.h"
#include "RealServices.h"
#include "RemoteControl.h"

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

// Menu items go into the frame's menu bar once the frame is there.
void WhenFrameIsUp(std::function<void(QWidget*)> attach)
{
    QTimer::singleShot(0, [attach = std::move(attach)]() mutable {
        if (CFrameWnd* frame = AfxGetMainWnd())
            attach(frame->GetSafeHwnd());
        else
            QTimer::singleShot(250, [attach = std::move(attach)]() mutable { WhenFrameIsUp(std::move(attach)); });
    });
}

}  // namespace

int main(int argc, char** argv)
{
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
    if (early.plan) {
        std::fprintf(stderr, "hauntwatch: --plan is not available in this build\n");
        return 2;
    }

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

    RealServices services;
    GuardEventsFanout listeners;
    InstallGuardEvents(&listeners);
    ViewGuardAccess access;

    // The remote control's diary lines and the audible check's finding
    // (RemoteControl::SetDiary, RemoteControl::SetUnheard) are connected
    // where those parts are made.
    remote::RemoteControl remoteControl(access);
    listeners.Add(&remoteControl);
    // Only the program that runs connects: a second start for the same home
    // folder hands its file over and ends before any frame, and under the
    // same client id it would push the running program off the broker.
    WhenFrameIsUp([&remoteControl](QWidget* frame) {
        remoteControl.Start();
        remoteControl.AttachTo(frame);
    });

    // Nobody is there to close a message box on a start after a restart.
    services.Messenger().SetUnattended(options.resume);
    QTimer::singleShot(0, [&] { services.Messenger().SetUnattended(false); });

    theApp.SetCommandLine(FrameworkArguments(options));
    const int status = theApp.Run();
    InstallGuardEvents(nullptr);
    return status;
}
