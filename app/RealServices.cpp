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
#include "XdgProgramStarter.h"

struct RealServices::Parts {
    platform::QtMessenger messenger;
    platform::MpvSound sound;
    platform::MpvMovieCommands movies;
    platform::XdgProgramStarter starter;
    platform::WallClockTimerService timer;
};

RealServices::RealServices() : parts_(std::make_unique<Parts>())
{
    platform::InstallMessenger(&parts_->messenger);
    platform::InstallSoundService(&parts_->sound);
    platform::InstallMovieCommandService(&parts_->movies);
    platform::InstallProgramStarter(&parts_->starter);
    platform::InstallTimerService(&parts_->timer);
}

RealServices::~RealServices()
{
    platform::InstallTimerService(nullptr);
    platform::InstallProgramStarter(nullptr);
    platform::InstallMovieCommandService(nullptr);
    platform::InstallSoundService(nullptr);
    platform::InstallMessenger(nullptr);
}
