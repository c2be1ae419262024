#include "RealServices.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "Messenger.h"
#include "MovieCommands.h"
#include "MpvMovieCommands.h"
#include "MpvPreviewPlayer.h"
#include "MpvSound.h"
#include "PreviewPlayer.h"
#include "ProgramStarter.h"
#include "QtMessenger.h"
#include "Sound.h"
#include "Timer.h"
#include "WallClockTimerService.h"
#include "LogindSleepInhibitor.h"
#include "XdgProgramStarter.h"

namespace {

// mpv's threads reach the window thread through its event queue.
void PostToWindowThread(std::function<void()> function)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(function), Qt::QueuedConnection);
}

}  // namespace

struct RealServices::Parts {
    platform::QtMessenger messenger;
    platform::MpvSound sound;
    platform::MpvMovieCommands movies;
    platform::XdgProgramStarter starter;
    platform::WallClockTimerService timer;
    platform::LogindSleepInhibitor sleepInhibitor;
};

RealServices::RealServices() : parts_(std::make_unique<Parts>())
{
    platform::InstallMessenger(&parts_->messenger);
    platform::InstallSoundService(&parts_->sound);
    platform::InstallMovieCommandService(&parts_->movies);
    platform::InstallProgramStarter(&parts_->starter);
    platform::InstallTimerService(&parts_->timer);
    platform::InstallSleepInhibitor(&parts_->sleepInhibitor);
    platform::InstallPreviewPlayerFactory([] { return std::make_unique<platform::MpvPreviewPlayer>(PostToWindowThread); });
}

platform::QtMessenger& RealServices::Messenger()
{
    return parts_->messenger;
}

RealServices::~RealServices()
{
    platform::InstallPreviewPlayerFactory({});
    platform::InstallSleepInhibitor(nullptr);
    platform::InstallTimerService(nullptr);
    platform::InstallProgramStarter(nullptr);
    platform::InstallMovieCommandService(nullptr);
    platform::InstallSoundService(nullptr);
    platform::InstallMessenger(nullptr);
}
