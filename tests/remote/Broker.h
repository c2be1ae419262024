#pragma once
// A private Mosquitto on a free loopback port with a generated configuration,
// and a small client of it that records what it hears, for the remote
// control's tests and benchmarks.
#include <arpa/inet.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace broker_test {

// Waits for `condition` while the window thread's events run; false after `timeout`.
inline bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A port nobody listens on at the moment of asking.
inline int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

inline bool Run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

struct BrokerOptions {
    // With a user, anonymous logins are refused and only this account logs in.
    std::string user{};
    std::string password{};
    // With a certificate, the listener speaks TLS only.
    std::string caFile{};
    std::string certFile{};
    std::string keyFile{};
};

class Broker {
public:
    Broker(const std::string& folder, BrokerOptions options = {})
        : folder_(folder), options_(std::move(options)), port_(FreePort())
    {
        std::filesystem::create_directories(folder_);
        if (!options_.user.empty())
            Run("mosquitto_passwd -b -c '" + folder_ + "/passwords' '" + options_.user + "' '" + options_.password + "'");
        std::ofstream config(folder_ + "/mosquitto.conf");
        config << "listener " << port_ << " 127.0.0.1\n"
               << "allow_anonymous " << (options_.user.empty() ? "true" : "false") << "\n"
               // A restarted broker has forgotten every retained message, so
               // what it holds after a restart was sent again.
               << "persistence false\n"
               << "log_dest file " << LogPath() << "\n"
               << "log_type all\n"
               << "connection_messages true\n";
        // Started as root, Mosquitto would become the user "mosquitto", who may
        // not write here.
        if (const passwd* me = ::getpwuid(::geteuid()))
            config << "user " << me->pw_name << "\n";
        if (!options_.user.empty())
            config << "password_file " << folder_ << "/passwords\n";
        if (!options_.certFile.empty())
            config << "cafile " << options_.caFile << "\ncertfile " << options_.certFile << "\nkeyfile "
                   << options_.keyFile << "\n";
    }
    ~Broker() { Stop(); }
    Broker(const Broker&) = delete;
    Broker& operator=(const Broker&) = delete;

    // Starts it and waits until it says it is running; false if it does not.
    bool Start()
    {
        const std::size_t logged = Log().size();
        process_.setProgram(QStringLiteral("mosquitto"));
        process_.setArguments({QStringLiteral("-c"), QString::fromStdString(folder_ + "/mosquitto.conf")});
        process_.setStandardOutputFile(QString::fromStdString(folder_ + "/stdout.log"), QIODevice::Append);
        process_.setStandardErrorFile(QString::fromStdString(folder_ + "/stdout.log"), QIODevice::Append);
        process_.start();
        if (!process_.waitForStarted(10000))
            return false;
        return WaitFor([&] { return Log().find(" running", logged) != std::string::npos; }, std::chrono::seconds(10));
    }

    void Stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    int port() const { return port_; }
    std::string Url() const { return (options_.certFile.empty() ? "mqtt://127.0.0.1:" : "mqtts://localhost:") + std::to_string(port_); }
    std::string LogPath() const { return folder_ + "/broker.log"; }
    std::string Log() const { return ReadFile(LogPath()); }

private:
    std::string folder_;
    BrokerOptions options_;
    int port_;
    QProcess process_;
};

// A certificate authority, a server certificate it signed for localhost and
// 127.0.0.1, and a second authority that signed nothing here.
struct Certificates {
    explicit Certificates(const std::string& folder)
        : ca(folder + "/ca.crt"), cert(folder + "/server.crt"), key(folder + "/server.key"), otherCa(folder + "/other-ca.crt")
    {
        const std::string f = "'" + folder + "'";
        const std::string ec = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
        made = Run("cd " + f + " && openssl req -x509" + ec + " -keyout ca.key -out ca.crt -days 2 -subj '/CN=Hauntwatch test CA'") &&
               Run("cd " + f + " && openssl req -x509" + ec + " -keyout other-ca.key -out other-ca.crt -days 2 -subj '/CN=Somebody else'") &&
               Run("cd " + f + " && openssl req" + ec + " -keyout server.key -out server.csr -subj '/CN=localhost'") &&
               Run("cd " + f + " && printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\\n' > san.ext && "
                   "openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out server.crt -days 2 -extfile san.ext");
    }
    std::string ca, cert, key, otherCa;
    bool made = false;
};

struct Heard {
    std::string topic;
    std::string payload;
    bool retained;
};

// A client of the test's own, on libmosquitto's thread: subscribes to
// `patterns` at once, records every message, publishes commands.  With an
// `id`, it connects under that one (a stray client).
class Listener {
public:
    Listener(int port, const std::vector<std::string>& patterns, std::string id = {})
    {
        static std::once_flag once;
        std::call_once(once, [] { mosquitto_lib_init(); });
        // A second client with the same id would push the first off the broker.
        static int made = 0;
        if (id.empty())
            id = "test-listener-" + std::to_string(::getpid()) + "-" + std::to_string(++made);
        client_ = mosquitto_new(id.c_str(), true, this);
        mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
            auto* me = static_cast<Listener*>(self);
            std::lock_guard lock(me->mutex_);
            me->heard_.push_back({m->topic, std::string(static_cast<const char*>(m->payload), m->payloadlen), m->retain});
        });
        mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
            auto* me = static_cast<Listener*>(self);
            std::lock_guard lock(me->mutex_);
            ++me->subscribed_;
        });
        mosquitto_publish_callback_set(client_, [](mosquitto*, void* self, int mid) {
            auto* me = static_cast<Listener*>(self);
            std::lock_guard lock(me->mutex_);
            me->published_.push_back(mid);
        });
        mosquitto_connect_callback_set(client_, [](mosquitto*, void* self, int rc) {
            auto* me = static_cast<Listener*>(self);
            std::lock_guard lock(me->mutex_);
            me->connack_ = rc;
        });
        mosquitto_disconnect_callback_set(client_, [](mosquitto* client, void* self, int) {
            auto* me = static_cast<Listener*>(self);
            std::lock_guard lock(me->mutex_);
            if (!me->connack_)
                me->connack_ = -1;
            // Only the test's own disconnection ends it; no reconnecting.
            mosquitto_disconnect(client);
        });
        connected_ = mosquitto_connect(client_, "127.0.0.1", port, 30) == MOSQ_ERR_SUCCESS &&
                     mosquitto_loop_start(client_) == MOSQ_ERR_SUCCESS &&
                     WaitFor([&] {
                         std::lock_guard lock(mutex_);
                         return connack_.has_value();
                     }, std::chrono::seconds(10));
        {
            std::lock_guard lock(mutex_);
            connected_ = connected_ && connack_ == 0;
        }
        if (!connected_)
            return;
        for (const std::string& pattern : patterns)
            mosquitto_subscribe(client_, nullptr, pattern.c_str(), 1);
        const int wanted = static_cast<int>(patterns.size());
        connected_ = connected_ && WaitFor([&] {
                         std::lock_guard lock(mutex_);
                         return subscribed_ == wanted;
                     }, std::chrono::seconds(10));
    }
    ~Listener()
    {
        mosquitto_disconnect(client_);
        mosquitto_loop_stop(client_, false);
        mosquitto_destroy(client_);
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    bool connected() const { return connected_; }

    // Published at QoS 1 and acknowledged by the broker on return.
    bool Publish(const std::string& topic, const std::string& payload, bool retain = false)
    {
        int mid = 0;
        if (mosquitto_publish(client_, &mid, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 1, retain) != MOSQ_ERR_SUCCESS)
            return false;
        return WaitFor([&] {
            std::lock_guard lock(mutex_);
            return std::find(published_.begin(), published_.end(), mid) != published_.end();
        }, std::chrono::seconds(10));
    }

    // Published as fast as the client sends, at QoS 0, then a QoS 1 one on
    // the same topic's neighbour: once that is acknowledged, the broker has
    // passed all of them on (it keeps the order of one client's messages).
    bool Flood(const std::string& topic, const std::vector<std::string>& payloads)
    {
        for (const std::string& payload : payloads)
            if (mosquitto_publish(client_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 0, false) !=
                MOSQ_ERR_SUCCESS)
                return false;
        return Publish(topic + "/flood-end", "");
    }

    std::vector<Heard> All() const
    {
        std::lock_guard lock(mutex_);
        return heard_;
    }
    std::vector<Heard> On(const std::string& topic) const
    {
        std::vector<Heard> found;
        for (const Heard& h : All())
            if (h.topic == topic)
                found.push_back(h);
        return found;
    }
    std::optional<std::string> Latest(const std::string& topic) const
    {
        const std::vector<Heard> found = On(topic);
        return found.empty() ? std::nullopt : std::optional(found.back().payload);
    }
    std::size_t Count() const
    {
        std::lock_guard lock(mutex_);
        return heard_.size();
    }
    // Until the latest message on `topic` is `payload`.
    bool WaitFor(const std::string& topic, const std::string& payload,
                 std::chrono::milliseconds timeout = std::chrono::seconds(15)) const
    {
        return broker_test::WaitFor([&] { return Latest(topic) == payload; }, timeout);
    }
    // Until `count` messages have come on `topic` in all.
    bool WaitForCount(const std::string& topic, std::size_t count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(15)) const
    {
        return broker_test::WaitFor([&] { return On(topic).size() >= count; }, timeout);
    }

private:
    static bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
    {
        return broker_test::WaitFor(condition, timeout);
    }

    mosquitto* client_ = nullptr;
    bool connected_ = false;
    mutable std::mutex mutex_;
    std::vector<Heard> heard_;
    std::vector<int> published_;
    int subscribed_ = 0;
    std::optional<int> connack_;
};

}  // namespace broker_test
