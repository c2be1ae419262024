#pragma once
// SoundAppTest with the real libmpv player for the guard's sounds, its own
// guard-on and -off sounds made short (a copy of the test tone in its home
// folder), and nothing in the environment that would pick another output.
#include <QMetaObject>
#include <filesystem>

#include "MpvSound.h"
#include "SoundAppTest.h"

inline const std::string kTone = TEST_DATA_DIR "/tone.wav";

inline void PostToWindowThread(std::function<void()> function)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(function), Qt::QueuedConnection);
}

class SoundRoutingTest : public SoundAppTest {
protected:
    void SetUp() override
    {
        SoundAppTest::SetUp();
        if (const char* ao = std::getenv("HAUNTWATCH_AO"))
            keptAudioOutput_ = ao;
        ::unsetenv("HAUNTWATCH_AO");
        for (const char* own : {"thanks.wav", "mervo.wav"})
            std::filesystem::copy_file(kTone, home / own);
        platform::InstallSoundService(&player);
    }

    void TearDown() override
    {
        platform::InstallSoundService(&sound);
        if (keptAudioOutput_)
            ::setenv("HAUNTWATCH_AO", keptAudioOutput_->c_str(), 1);
        SoundAppTest::TearDown();
    }

    // A stalled server times a play out a few seconds past its end.
    platform::MpvSound player{{}, platform::MpvPatience{std::chrono::seconds(3), std::chrono::seconds(20)}};

private:
    std::optional<std::string> keptAudioOutput_;
};
