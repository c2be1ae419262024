#pragma once
// A PulseAudio server of the test's own, on a socket in a fresh folder, with
// null sinks; pointed at by PULSE_SERVER while it lives.  Nothing of the
// machine's own sound set-up is touched or needed.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"

extern char** environ;

class PrivatePulseServer {
public:
    explicit PrivatePulseServer(std::vector<std::string> sinks = {"a"})
    {
        const std::string runtime = folder_ / "run";
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        socket_ = folder_ / "run/native";
        std::ofstream script(folder_ / "server.pa");
        script << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket_ << "\n";
        for (const std::string& sink : sinks)
            script << "load-module module-null-sink sink_name=" << sink << " sink_properties=device.description=" << sink
                   << "\n";
        script << "set-default-sink " << sinks.front() << "\n";
        script.close();
        previous_ = std::getenv("PULSE_SERVER") ? std::optional<std::string>(std::getenv("PULSE_SERVER")) : std::nullopt;
        ::setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
        const std::string config = folder_ / "server.pa";
        const std::string home = folder_.path();
        std::vector<std::string> args = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                         "--disable-shm=yes", "--use-pid-file=no", "--system=no",
                                         "--log-target=file:" + (folder_ / "pulse.log"), "-F", config};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        // Its runtime and config folders are the test's, so it never meets the user's server.
        std::vector<std::string> env = {"HOME=" + home, "XDG_RUNTIME_DIR=" + runtime, "XDG_CONFIG_HOME=" + home,
                                        "PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin")};
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (::posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (pid_ > 0 && std::chrono::steady_clock::now() < giveUp && !Answers())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    ~PrivatePulseServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGCONT);
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        previous_ ? ::setenv("PULSE_SERVER", previous_->c_str(), 1) : ::unsetenv("PULSE_SERVER");
    }
    PrivatePulseServer(const PrivatePulseServer&) = delete;
    PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

    bool Running() const { return pid_ > 0 && Answers(); }
    void Pause() const { ::kill(pid_, SIGSTOP); }
    void Resume() const { ::kill(pid_, SIGCONT); }

    // What `pactl ARGS` prints to its standard output.
    std::string Pactl(const std::string& args) const
    {
        const std::string command = "pactl --server=unix:" + socket_ + " " + args + " 2>/dev/null";
        std::string out;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                out.append(buffer, got);
            ::pclose(pipe);
        }
        return out;
    }

private:
    bool Answers() const { return Pactl("info").find("Server Name") != std::string::npos; }

    TempFolder folder_;
    std::string socket_;
    pid_t pid_ = -1;
    std::optional<std::string> previous_;
};
