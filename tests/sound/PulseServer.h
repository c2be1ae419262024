#pragma once
// A private PulseAudio server for one test: its own runtime and home folders
// in a temporary folder, a socket there, and null sinks (the first is the
// default) whose monitors can be recorded.  The test process and every
// program it runs reach it, and only it, through PULSE_SERVER.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"

struct NullSink {
    std::string name;
    std::string description;
};

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

class PulseServer {
public:
    explicit PulseServer(std::vector<NullSink> sinks) : sinks_(std::move(sinks))
    {
        std::filesystem::create_directories(folder / "run");
        std::filesystem::create_directories(folder / "home");
        std::filesystem::permissions(folder / "run", std::filesystem::perms::owner_all);
        address_ = "unix:" + socket();
        Remember("PULSE_SERVER", address_);
        // The client side's cookie and files stay in the temporary folder.
        Remember("PULSE_COOKIE", folder / "home/cookie");
        Remember("PULSE_RUNTIME_PATH", folder / "run");
        Remember("PULSE_CLIENTCONFIG", folder / "client.conf");
        std::ofstream(folder / "client.conf") << "autospawn = no\n";
    }

    ~PulseServer()
    {
        Stop();
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            it->second.empty() ? ::unsetenv(it->first.c_str()) : ::setenv(it->first.c_str(), it->second.c_str(), 1);
    }

    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and returns once it answers.
    bool Start()
    {
        std::ofstream script(folder / "server.pa");
        for (const NullSink& sink : sinks_)
            script << LoadSink(sink) << "\n";
        script << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket() << "\n";
        if (!sinks_.empty())
            script << "set-default-sink " << sinks_.front().name << "\n";
        script.close();

        server_ = std::make_unique<QProcess>();
        server_->setProcessEnvironment(Environment());
        server_->setProcessChannelMode(QProcess::MergedChannels);
        server_->setStandardOutputFile(QString::fromStdString(folder / "server.log"), QIODevice::Append);
        server_->start(QStringLiteral("pulseaudio"),
                       {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
                        "--log-target=stderr", "-F", QString::fromStdString(folder / "server.pa")});
        if (!server_->waitForStarted(10000))
            return false;
        return WaitFor([this] { return server_->state() == QProcess::Running && Pactl({"info"}) == 0; }, 20000);
    }

    void Stop()
    {
        if (!server_ || server_->state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(server_->processId()), SIGTERM);
        if (!server_->waitForFinished(10000)) {
            server_->kill();
            server_->waitForFinished(5000);
        }
    }

    // pactl's exit status; its standard output into `output`.
    int Pactl(const QStringList& arguments, std::string* output = nullptr) const
    {
        QProcess pactl;
        pactl.setProcessEnvironment(Environment());
        pactl.start(QStringLiteral("pactl"), arguments);
        if (!pactl.waitForFinished(10000))
            return -1;
        if (output)
            *output = pactl.readAllStandardOutput().toStdString();
        return pactl.exitStatus() == QProcess::NormalExit ? pactl.exitCode() : -1;
    }

    // The module index of a sink, for unloading it.
    std::string ModuleOf(const std::string& sink) const
    {
        std::string list;
        Pactl({"list", "short", "sinks"}, &list);
        std::string modules;
        Pactl({"list", "short", "modules"}, &modules);
        // Each null sink's module carries its sink_name argument.
        std::istringstream lines(modules);
        for (std::string line; std::getline(lines, line);)
            if (line.find("sink_name=" + sink + " ") != std::string::npos ||
                line.ends_with("sink_name=" + sink))
                return line.substr(0, line.find('\t'));
        return {};
    }

    std::string Log() const
    {
        std::ifstream in(folder / "server.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    const std::string& Address() const { return address_; }
    TempFolder folder;

private:
    static std::string LoadSink(const NullSink& sink)
    {
        std::string description;
        for (char c : sink.description) {
            if (c == ' ')
                description += '\\';
            description += c;
        }
        return "load-module module-null-sink sink_name=" + sink.name + " sink_properties=device.description=\"" +
               description + "\"";
    }

    std::string socket() const { return folder / "run/pulse.socket"; }

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", QString::fromStdString(folder / "home"));
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(folder / "run"));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder / "home/.config"));
        environment.insert("PULSE_SERVER", QString::fromStdString(address_));
        environment.remove("DBUS_SESSION_BUS_ADDRESS");
        return environment;
    }

    void Remember(const std::string& name, const std::string& value)
    {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? old : "");
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    std::vector<NullSink> sinks_;
    std::string address_;
    std::unique_ptr<QProcess> server_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

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
