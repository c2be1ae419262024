#pragma once
// A PulseAudio server of the test's own: its runtime and home folders and
// its socket in a fresh temporary folder, null sinks (the first is the
// default) whose monitors can be recorded.  While it lives the test process,
// and every program it runs, reach it and only it through PULSE_SERVER;
// nothing of the machine's own sound set-up is touched or needed.  Plain
// C++, so tests without Qt use it too.  Never started, it stands for a
// machine with no sound server: the socket it names is not there.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "TempFolder.h"

extern char** environ;

struct NullSink {
    std::string name;
    std::string description;
};

class PulseServer {
public:
    explicit PulseServer(std::vector<NullSink> sinks = {{"a", "a"}}) : sinks_(std::move(sinks))
    {
        std::filesystem::create_directories(folder / "run");
        std::filesystem::create_directories(folder / "home");
        std::filesystem::permissions(folder / "run", std::filesystem::perms::owner_all);
        address_ = "unix:" + Socket();
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
            it->second ? ::setenv(it->first.c_str(), it->second->c_str(), 1) : ::unsetenv(it->first.c_str());
    }

    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server (again) with its sinks and returns once it answers.
    bool Start()
    {
        std::ofstream script(folder / "server.pa");
        for (const NullSink& sink : sinks_)
            script << "load-module " << SinkModule(sink) << "\n";
        // The memory of each program's mute and volume, as desktops have it.
        script << "load-module module-stream-restore restore_device=false\n";
        script << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << Socket() << "\n";
        if (!sinks_.empty())
            script << "set-default-sink " << sinks_.front().name << "\n";
        script.close();

        std::vector<std::string> args = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                         "--use-pid-file=no", "--disable-shm=yes", "--system=no",
                                         "--log-target=file:" + (folder / "server.log"), "-F", folder / "server.pa"};
        // Its runtime and configuration folders are the test's, so it never
        // meets the user's server.
        std::vector<std::string> env = {"HOME=" + (folder / "home"), "XDG_RUNTIME_DIR=" + (folder / "run"),
                                        "XDG_CONFIG_HOME=" + (folder / "home/.config"),
                                        "PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin")};
        pid_ = Spawn(args, env);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (pid_ > 0 && std::chrono::steady_clock::now() < giveUp) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            if (Pactl({"info"}) == 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    void Stop() { End(SIGTERM); }
    // Gone at once, as a crashed server is: no goodbye to its clients.
    void Kill() { End(SIGKILL); }
    // Stalled, as a server swapped out or stopped in a debugger: it holds
    // its connections and answers nothing.
    void Pause() const { ::kill(pid_, SIGSTOP); }
    void Resume() const { ::kill(pid_, SIGCONT); }

    // pactl's exit status (-1 when it could not run); its standard output
    // into `output`.
    int Pactl(const std::vector<std::string>& arguments, std::string* output = nullptr) const
    {
        std::string command = "pactl " + ShellWord("--server=" + address_);
        for (const std::string& argument : arguments)
            command += " " + ShellWord(argument);
        command += " 2>/dev/null";
        std::string text;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            return -1;
        char buffer[4096];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, got);
        const int status = ::pclose(pipe);
        if (output)
            *output = text;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string PactlOutput(const std::vector<std::string>& arguments) const
    {
        std::string output;
        Pactl(arguments, &output);
        return output;
    }

    // The module index of a sink; empty when it has none.
    std::string ModuleOf(const std::string& sink) const
    {
        // Each null sink's module carries its sink_name argument.
        std::istringstream lines(PactlOutput({"list", "short", "modules"}));
        for (std::string line; std::getline(lines, line);)
            if (line.find("sink_name=" + sink + " ") != std::string::npos || line.ends_with("sink_name=" + sink))
                return line.substr(0, line.find('\t'));
        return {};
    }

    // A speaker switched off, and back on.
    bool UnloadSink(const std::string& sink) const
    {
        const std::string module = ModuleOf(sink);
        return !module.empty() && Pactl({"unload-module", module}) == 0;
    }
    bool LoadSink(const NullSink& sink) const
    {
        std::vector<std::string> arguments = {"load-module", "module-null-sink", "sink_name=" + sink.name,
                                              "sink_properties='device.description=\"" + sink.description + "\"'"};
        return Pactl(arguments) == 0;
    }

    std::string Log() const
    {
        std::ifstream in(folder / "server.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    const std::string& Address() const { return address_; }
    TempFolder folder;

private:
    static std::string ShellWord(const std::string& word)
    {
        std::string quoted = "'";
        for (char c : word)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }

    static std::string SinkModule(const NullSink& sink)
    {
        std::string description;
        for (char c : sink.description) {
            if (c == ' ')
                description += '\\';
            description += c;
        }
        return "module-null-sink sink_name=" + sink.name + " sink_properties=device.description=\"" + description + "\"";
    }

    static pid_t Spawn(std::vector<std::string>& args, std::vector<std::string>& env)
    {
        std::vector<char*> argv, envp;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        pid_t pid = -1;
        return ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0 ? pid : -1;
    }

    void End(int signal)
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGCONT);
        ::kill(pid_, signal);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    std::string Socket() const { return folder / "run/pulse.socket"; }

    void Remember(const std::string& name, const std::string& value)
    {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    std::vector<NullSink> sinks_;
    std::string address_;
    pid_t pid_ = -1;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
