#include "RealServices.h"

#include "Messenger.h"
#include "MovieCommands.h"
#include "MpvMovieCommands.h"
#include "MpvSound.h"
#include "ProgramStarter.h"
#include "QtMessenger.h"
#include "Sound.h"
#include "Timer.h"
#include "WallClockTimerService.h"
#include "LogindSleepInhibitor.h"
#include "XdgProgramStarter.h"

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
}

RealServices::~RealServices()
{
    platform::InstallSleepInhibitor(nullptr);
    platform::InstallTimerService(nullptr);
    platform::InstallProgramStarter(nullptr);
    platform::InstallMovieCommandService(nullptr);
    platform::InstallSoundService(nullptr);
    platform::InstallMessenger(nullptr);
}
