#pragma once
// What a sink of the private sound server plays, recorded from its monitor,
// and the bounded wait the Qt tests use for what a person could hear or see.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "PrivatePulseServer.h"

// Waits, bounded, for what a person could see; false when it never came.
inline bool WaitFor(const std::function<bool()>& seen, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!seen()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// What a sink plays, recorded from its monitor as raw 16-bit mono samples.
class SinkRecording {
public:
    SinkRecording(const std::string& sink, const std::string& path) : path_(path)
    {
        parec_.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        parec_.start(QStringLiteral("parec"), {"-d", QString::fromStdString(sink + ".monitor"), "--raw",
                                                "--format=s16le", "--rate=44100", "--channels=1",
                                                "--latency-msec=20", QString::fromStdString(path)});
    }
    ~SinkRecording() { Stop(); }

    // The monitor sends silence all the time, so a growing file is a
    // recording under way.
    bool Running() const
    {
        return WaitFor([this] {
            std::error_code ignored;
            return std::filesystem::file_size(path_, ignored) > 0 && ignored.value() == 0;
        });
    }

    void Stop()
    {
        if (parec_.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(parec_.processId()), SIGTERM);
        parec_.waitForFinished(5000);
    }

    // The loudest sample so far, 0 to 1.
    double Peak() const
    {
        std::ifstream in(path_, std::ios::binary);
        double peak = 0;
        for (std::int16_t sample; in.read(reinterpret_cast<char*>(&sample), sizeof sample);)
            peak = std::max(peak, std::abs(sample) / 32768.0);
        return peak;
    }

    // Waits, bounded, until the sink has played something louder than a
    // whisper; the tone plays at an eighth of full scale.
    bool HeardSomething(int timeoutMs = 10000) const
    {
        return WaitFor([this] { return Peak() > kHeard; }, timeoutMs);
    }

    static constexpr double kHeard = 0.03;

private:
    std::string path_;
    QProcess parec_;
};
