// What the sound check adds to a guard start ("Turn Me On" to the end of its
// first pass), median over many starts, taken in turns in one run: no check
// (the program before it), the check with the server answering and the
// output heard, with the output muted (a problem line and a message), and
// with no server at all.  The guard-on sound is left out (a sound service
// that returns at once): it plays for seconds and would hide everything else.
#include <QApplication>
#include <QSettings>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CMainFrame.h"
#include "CQwendrikApp.h"
#include "CQwendrikView.h"
#include "ViewGuardAccess.h"
#include "GuardScheduler.h"
#include "Messenger.h"
#include "ProblemLog.h"
#include "Sound.h"
#include "SoundModule.h"
#include "UserSettings.h"
#include "WallClockTimerService.h"

namespace {

class Silence final : public platform::SoundService {
public:
    bool PlaySync(const std::string&) override { return true; }
};

class CountingMessenger final : public platform::Messenger {
public:
    void ShowMessage(const std::string&) override { ++shown; }
    void ShowWithoutWaiting(const std::string&) override { ++shown; }
    int shown = 0;
};

struct Variant {
    const char* name;
    GuardEvents* listener;
    std::vector<double> us;
};

bool WaitUntil(sound::SoundModule& module, sound::SoundServerView::State state)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (module.Watcher().View().state != state) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::unique_ptr<sound::SoundModule> ModuleFor(GuardAccess& access, const char* output)
{
    UserSettings().setValue("Sound/Output", output);
    return std::make_unique<sound::SoundModule>(access);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Percentile90(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() * 9 / 10];
}

}  // namespace

int main(int argc, char** argv)
{
    const char* benchHome = std::getenv("HAUNTWATCH_BENCH_HOME");
    if (!benchHome || !std::getenv("PULSE_SERVER")) {
        std::fprintf(stderr, "run through run.sh: it starts the sound server\n");
        return 2;
    }
    const std::string home = std::string(benchHome) + "/hauntwatch";
    std::filesystem::create_directories(home);
    ::setenv("HAUNTWATCH_HOME", home.c_str(), 1);
    QApplication qtApp(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(home + "/config"));

    Silence silence;
    CountingMessenger messenger;
    platform::WallClockTimerService timer;
    platform::InstallSoundService(&silence);
    platform::InstallMessenger(&messenger);
    platform::InstallTimerService(&timer);

    CQwendrikApp app;
    app.SetCommandLine({});
    if (!app.InitInstance()) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    auto* view = static_cast<CQwendrikView*>(static_cast<CMainFrame*>(app.m_pMainWnd)->GetActiveView());

    ViewGuardAccess access;
    using State = sound::SoundServerView::State;
    const auto heard = ModuleFor(access, "a");
    const auto muted = ModuleFor(access, "b");
    const bool connected = WaitUntil(*heard, State::Known) && WaitUntil(*muted, State::Known);
    // Connected modules keep their connection; this one finds no server, now
    // and at every start's nudge.
    const std::string server = std::getenv("PULSE_SERVER");
    ::setenv("PULSE_SERVER", ("unix:" + home + "/no-server").c_str(), 1);
    const auto none = ModuleFor(access, "");
    if (!connected || !WaitUntil(*none, State::NoServer)) {
        std::fprintf(stderr, "the modules did not learn the server's state\n");
        return 1;
    }

    std::vector<Variant> variants = {
        {"no check", nullptr, {}},
        {"check, output heard", &heard->Listener(), {}},
        {"check, output muted (line, message)", &muted->Listener(), {}},
        {"check, no sound server", &none->Listener(), {}},
    };
    constexpr int kRounds = 300;
    int lines = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (Variant& variant : variants) {
            InstallGuardEvents(variant.listener);
            const auto started = std::chrono::steady_clock::now();
            view->OnTurnMeOn();
            const auto done = std::chrono::steady_clock::now();
            lines += ProblemLog.problemCount;
            view->OnStopGuard();
            InstallGuardEvents(nullptr);
            variant.us.push_back(std::chrono::duration<double, std::micro>(done - started).count());
            QCoreApplication::processEvents();
        }
    }
    if (guardOn != 0 || lines != kRounds || messenger.shown < kRounds) {
        std::fprintf(stderr, "unexpected: %d problem lines and %d messages in %d rounds\n", lines, messenger.shown,
                     kRounds);
        return 1;
    }

    std::printf("guard start (Turn Me On through its first pass), %d starts each, taken in turns\n", kRounds);
    const double reference = Median(variants.front().us);
    for (const Variant& variant : variants)
        std::printf("  %-38s median %8.1f us   p90 %8.1f us   %.2fx\n", variant.name, Median(variant.us),
                    Percentile90(variant.us), Median(variant.us) / reference);
    app.ExitInstance();
    platform::InstallTimerService(nullptr);
    platform::InstallMessenger(nullptr);
    platform::InstallSoundService(nullptr);
    ::setenv("PULSE_SERVER", server.c_str(), 1);
    return 0;
}
