#include "MqttConnection.h"

#include <mosquitto.h>

#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace remote {

namespace {

// Retained state goes out at QoS 0: every connection sends all of it again,
// and a QoS 1 message queued while offline could otherwise arrive after, and
// overwrite, a newer value sent at reconnection.
constexpr int kPublishQos = 0;
constexpr int kSubscribeQos = 1;
constexpr auto kExitPatience = std::chrono::seconds(3);
// How long one turn of the network loop may wait for the socket: the longest
// a close waits to be noticed.
constexpr int kLoopTurnMs = 200;
// How long a goodbye may take to leave.
constexpr auto kGoodbyePatience = std::chrono::seconds(1);

void InitLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString Reason(int rc, int error)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(error));
    if (rc == MOSQ_ERR_EAI)
        return QStringLiteral("the host name is not known");
    return QString::fromUtf8(mosquitto_strerror(rc));
}

}  // namespace

namespace detail {

struct LinkReport {
    enum Kind { Connected, Refused, Failed, TlsFailed, SetupFailed } kind = Connected;
    const Link* link = nullptr;
    QString detail{};
    bool wasConnected = false;
    bool tls = false;  // a setup that failed on a TLS setting
    int retryInSeconds = 0;
};

// What is kept for the broker, shared by the connection and all its links.
struct Kept {
    std::mutex mutex;
    std::vector<Message> messages;
};

// One connection's state, shared by the window's thread and the link's own.
// Locks are taken in the order kept, then link.
struct Link {
    std::shared_ptr<Kept> kept;
    LinkOptions options;
    RetryDelays delays;

    std::mutex mutex;
    std::condition_variable wake;
    MqttConnection* owner = nullptr;  // cleared when the connection lets go
    bool stopping = false;
    std::optional<Message> goodbye;
    mosquitto* client = nullptr;
    bool connected = false;
    bool done = false;
    std::condition_variable ended;

    // Held while the receiver runs, so that once the connection has let go
    // no call into its owner is running or will run.
    std::mutex receiving;
    Receiver receiver;

    // The link's thread alone.
    std::string lastLogged;
    bool refused = false;

    void Post(LinkReport report)
    {
        std::lock_guard lock(mutex);
        if (!owner)
            return;
        report.link = this;
        MqttConnection* target = owner;
        QMetaObject::invokeMethod(
            target, [target, report = std::move(report)] { target->Deliver(report); }, Qt::QueuedConnection);
    }

    // Waits `seconds`, or until the link is closed; true when it was.
    bool Pause(int seconds)
    {
        std::unique_lock lock(mutex);
        return wake.wait_for(lock, std::chrono::seconds(seconds), [&] { return stopping; });
    }

    bool Stopping()
    {
        std::lock_guard lock(mutex);
        return stopping;
    }

    // With `kept` and `mutex` held.
    void PublishKept()
    {
        for (const Message& message : kept->messages)
            mosquitto_publish(client, nullptr, message.topic.c_str(), static_cast<int>(message.payload.size()),
                              message.payload.data(), kPublishQos, true);
    }
};

}  // namespace detail

namespace {

using detail::Link;
using Report = detail::LinkReport;

// libmosquitto's callbacks, on the link's thread.

void OnConnect(mosquitto* client, void* data, int rc)
{
    auto* link = static_cast<Link*>(data);
    if (rc != 0) {
        // The same account would only be refused again: the loop ends and
        // the link waits long before another try.
        link->refused = true;
        mosquitto_disconnect(client);
        const QString why = rc == 4 || rc == 5 ? QStringLiteral("wrong user name or password")
                                               : QString::fromUtf8(mosquitto_connack_string(rc));
        link->Post(Report{.kind = Report::Refused, .detail = why, .retryInSeconds = link->delays.refusedSeconds});
        return;
    }
    {
        std::lock_guard keptLock(link->kept->mutex);
        std::lock_guard lock(link->mutex);
        link->connected = true;
        for (const std::string& topic : link->options.subscriptions)
            mosquitto_subscribe(client, nullptr, topic.c_str(), kSubscribeQos);
        // From here, not from the window's thread: a reconnection puts the
        // retained state back even while the window is busy with a play.
        link->PublishKept();
    }
    link->Post(Report{.kind = Report::Connected});
}

void OnDisconnect(mosquitto* /*client*/, void* data, int /*rc*/)
{
    auto* link = static_cast<Link*>(data);
    std::lock_guard lock(link->mutex);
    link->connected = false;
}

void OnMessage(mosquitto* /*client*/, void* data, const mosquitto_message* message)
{
    auto* link = static_cast<Link*>(data);
    std::lock_guard lock(link->receiving);
    if (link->receiver)
        link->receiver(Incoming{message->topic, static_cast<const char*>(message->payload),
                                static_cast<std::size_t>(std::max(message->payloadlen, 0)), message->retain, link});
}

// Kept only to show the person what OpenSSL or the network said; nothing is
// decided on it.
void OnLog(mosquitto* /*client*/, void* data, int level, const char* text)
{
    if (level & (MOSQ_LOG_ERR | MOSQ_LOG_WARNING))
        static_cast<Link*>(data)->lastLogged = text;
}

// Makes the client; an empty text when it could be, else why not.
QString SetUp(Link& link, bool* tls)
{
    const LinkOptions& options = link.options;
    mosquitto* client = mosquitto_new(options.clientId.c_str(), true, &link);
    if (!client)
        return QStringLiteral("the client could not be made: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    {
        std::lock_guard lock(link.mutex);
        link.client = client;
    }
    // The network loop runs on this thread while the window's thread publishes.
    mosquitto_threaded_set(client, true);
    mosquitto_connect_callback_set(client, OnConnect);
    mosquitto_disconnect_callback_set(client, OnDisconnect);
    mosquitto_message_callback_set(client, OnMessage);
    mosquitto_log_callback_set(client, OnLog);
    mosquitto_int_option(client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_will_set(client, options.will.topic.c_str(), static_cast<int>(options.will.payload.size()),
                       options.will.payload.data(), 1, true);
    if (!options.user.empty())
        mosquitto_username_pw_set(client, options.user.c_str(), options.password.empty() ? nullptr : options.password.c_str());
    if (!options.tls)
        return {};
    *tls = true;
    // The certificate is checked against these authorities and the host
    // name (libmosquitto's default; tls_insecure is never set).
    // The system's store alone turns TLS on (libmosquitto 2.0.11 takes no
    // empty CA file and folder in mosquitto_tls_set).
    if (options.caFile.empty()) {
        if (mosquitto_int_option(client, MOSQ_OPT_TLS_USE_OS_CERTS, 1) != MOSQ_ERR_SUCCESS)
            return QStringLiteral("the system's certificates cannot be used");
    } else if (mosquitto_tls_set(client, options.caFile.c_str(), nullptr, nullptr, nullptr, nullptr) != MOSQ_ERR_SUCCESS) {
        return QStringLiteral("the CA file %1 cannot be read").arg(QString::fromStdString(options.caFile));
    }
    return {};
}

// What a failed connection or loop turn tells the person.
QString Detail(const Link& link, int rc, int error)
{
    return rc == MOSQ_ERR_TLS && !link.lastLogged.empty() ? QString::fromStdString(link.lastLogged) : Reason(rc, error);
}

// The goodbye and the disconnection of a link that is closed while connected.
void SayGoodbye(Link& link)
{
    std::optional<Message> goodbye;
    bool connected = false;
    {
        std::lock_guard lock(link.mutex);
        goodbye = link.goodbye;
        connected = link.connected;
    }
    if (!connected)
        return;
    if (goodbye)
        mosquitto_publish(link.client, nullptr, goodbye->topic.c_str(), static_cast<int>(goodbye->payload.size()),
                          goodbye->payload.data(), kPublishQos, true);
    mosquitto_disconnect(link.client);
    const auto giveUp = std::chrono::steady_clock::now() + kGoodbyePatience;
    while (std::chrono::steady_clock::now() < giveUp && mosquitto_loop(link.client, kLoopTurnMs, 1) == MOSQ_ERR_SUCCESS) {
    }
}

// The link's whole life, on its own thread.
void Run(std::shared_ptr<Link> link)
{
    InitLibrary();
    bool tls = false;
    if (const QString trouble = SetUp(*link, &tls); !trouble.isEmpty()) {
        link->Post(Report{.kind = Report::SetupFailed, .detail = trouble, .tls = tls});
    } else {
        const LinkOptions& options = link->options;
        const RetryDelays& delays = link->delays;
        int attempts = 0;
        int fatalDelay = 0;
        // Once connected, every failure is part of an outage, not a broker
        // that never answered.
        bool everConnected = false;
        while (!link->Stopping()) {
            link->refused = false;
            link->lastLogged.clear();
            errno = 0;
            int rc = attempts == 0 ? mosquitto_connect(link->client, options.host.c_str(), options.port, options.keepAliveSeconds)
                                   : mosquitto_reconnect(link->client);
            int error = errno;
            ++attempts;
            if (rc == MOSQ_ERR_SUCCESS) {
                while (!link->Stopping() && (rc = mosquitto_loop(link->client, kLoopTurnMs, 1)) == MOSQ_ERR_SUCCESS) {
                    std::lock_guard lock(link->mutex);
                    if (link->connected) {
                        everConnected = true;
                        attempts = 1;
                        fatalDelay = 0;
                    }
                }
                error = errno;
                if (link->Stopping())
                    break;
            }
            {
                std::lock_guard lock(link->mutex);
                link->connected = false;
            }
            if (link->refused) {
                if (link->Pause(delays.refusedSeconds))
                    break;
                continue;
            }
            Report report;
            if (rc == MOSQ_ERR_TLS) {
                fatalDelay = fatalDelay == 0 ? delays.fatalMinSeconds : std::min(fatalDelay * 2, delays.fatalMaxSeconds);
                report = Report{.kind = Report::TlsFailed, .detail = Detail(*link, rc, error), .retryInSeconds = fatalDelay};
            } else {
                // Past the longest wait the count need not grow.
                const unsigned tries = static_cast<unsigned>(std::min(attempts, 64));
                report = Report{.kind = Report::Failed,
                                .detail = Detail(*link, rc, error),
                                .wasConnected = everConnected,
                                .retryInSeconds = static_cast<int>(std::min(delays.reconnectMin * tries * tries, delays.reconnectMax))};
            }
            link->Post(report);
            if (link->Pause(report.retryInSeconds))
                break;
        }
        SayGoodbye(*link);
    }
    mosquitto* client = nullptr;
    {
        std::lock_guard lock(link->mutex);
        client = std::exchange(link->client, nullptr);
        link->connected = false;
    }
    if (client)
        mosquitto_destroy(client);
    std::lock_guard lock(link->mutex);
    link->done = true;
    link->ended.notify_all();
}

}  // namespace

MqttConnection::MqttConnection(QObject* parent) : QObject(parent), kept_(std::make_shared<detail::Kept>())
{
    qRegisterMetaType<remote::LinkStatus>();
    setupAgain_.setSingleShot(true);
    connect(&setupAgain_, &QTimer::timeout, this, [this] {
        if (options_)
            Open(*options_);
    });
}

MqttConnection::~MqttConnection()
{
    Close();
    // A name lookup that hangs must not hold the program's exit for long;
    // such a link then ends on its own, holding only what it shares.
    Settle(kExitPatience);
}

void MqttConnection::Open(const LinkOptions& options)
{
    LetGo(std::nullopt);
    options_ = options;
    link_ = std::make_shared<Link>();
    link_->kept = kept_;
    link_->options = options;
    link_->delays = delays_;
    link_->owner = this;
    link_->receiver = receiver_;
    SetStatus({LinkState::Connecting, {}, 0});
    std::thread(Run, link_).detach();
}

void MqttConnection::Close(const std::optional<Message>& goodbye)
{
    LetGo(goodbye);
    if (options_) {
        options_.reset();
        SetStatus({LinkState::Off, {}, 0});
    }
}

void MqttConnection::LetGo(const std::optional<Message>& goodbye)
{
    setupAgain_.stop();
    if (!link_)
        return;
    {
        std::lock_guard lock(link_->receiving);
        link_->receiver = nullptr;
    }
    {
        std::lock_guard lock(link_->mutex);
        link_->owner = nullptr;
        link_->stopping = true;
        link_->goodbye = goodbye;
        link_->wake.notify_all();
    }
    std::erase_if(closing_, [](const std::shared_ptr<Link>& link) {
        std::lock_guard lock(link->mutex);
        return link->done;
    });
    closing_.push_back(std::exchange(link_, nullptr));
}

void MqttConnection::Keep(const std::string& topic, const std::string& payload)
{
    std::lock_guard keptLock(kept_->mutex);
    auto kept = std::find_if(kept_->messages.begin(), kept_->messages.end(), [&](const Message& m) { return m.topic == topic; });
    if (kept == kept_->messages.end())
        kept_->messages.push_back({topic, payload});
    else
        kept->payload = payload;
    if (!link_)
        return;
    std::lock_guard lock(link_->mutex);
    if (link_->connected && link_->client)
        mosquitto_publish(link_->client, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
                          kPublishQos, true);
}

void MqttConnection::Forget(const std::string& topic)
{
    std::lock_guard keptLock(kept_->mutex);
    std::erase_if(kept_->messages, [&](const Message& m) { return m.topic == topic; });
}

void MqttConnection::SendKeptAgain()
{
    if (!link_)
        return;
    std::lock_guard keptLock(kept_->mutex);
    std::lock_guard lock(link_->mutex);
    if (link_->connected && link_->client)
        link_->PublishKept();
}

void MqttConnection::SendKeptAgain(const Incoming& from)
{
    Link& link = *from.link;
    std::lock_guard keptLock(link.kept->mutex);
    std::lock_guard lock(link.mutex);
    if (link.connected && link.client)
        link.PublishKept();
}

void MqttConnection::Send(const std::string& topic, const std::string& payload, bool retain)
{
    if (!link_)
        return;
    std::lock_guard lock(link_->mutex);
    if (link_->connected && link_->client)
        mosquitto_publish(link_->client, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
                          kPublishQos, retain);
}

bool MqttConnection::Settle(std::chrono::milliseconds timeout)
{
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    for (const std::shared_ptr<Link>& link : closing_) {
        std::unique_lock lock(link->mutex);
        if (!link->ended.wait_until(lock, giveUp, [&] { return link->done; }))
            return false;
    }
    return true;
}

void MqttConnection::SetStatus(LinkStatus status)
{
    status_ = std::move(status);
    Q_EMIT StatusChanged(status_);
}

void MqttConnection::Deliver(const detail::LinkReport& report)
{
    if (report.link != link_.get())
        return;
    switch (report.kind) {
    case Report::Connected:
        setupDelay_ = 0;
        SetStatus({LinkState::Connected, {}, 0});
        return;
    case Report::Refused:
        SetStatus({LinkState::Refused, report.detail, report.retryInSeconds});
        return;
    case Report::TlsFailed:
        SetStatus({LinkState::TlsFailed, report.detail, report.retryInSeconds});
        return;
    case Report::SetupFailed:
        setupDelay_ = setupDelay_ == 0 ? delays_.fatalMinSeconds : std::min(setupDelay_ * 2, delays_.fatalMaxSeconds);
        SetStatus({report.tls ? LinkState::TlsFailed : LinkState::Misconfigured, report.detail, setupDelay_});
        setupAgain_.start(std::chrono::seconds(setupDelay_));
        return;
    case Report::Failed:
        SetStatus({report.wasConnected ? LinkState::Lost : LinkState::Unreachable, report.detail, report.retryInSeconds});
        return;
    }
}

QString StatusText(const LinkStatus& status, const QString& broker)
{
    const QString again = status.retryInSeconds >= 120   ? QStringLiteral(" Trying again in %1 minutes.").arg(status.retryInSeconds / 60)
                          : status.retryInSeconds > 0    ? QStringLiteral(" Trying again in %1 seconds.").arg(status.retryInSeconds)
                                                         : QString();
    switch (status.state) {
    case LinkState::Off:
        return QStringLiteral("Off: no broker is set.");
    case LinkState::Connecting:
        return QStringLiteral("Connecting to %1…").arg(broker);
    case LinkState::Connected:
        return QStringLiteral("Connected to %1.").arg(broker);
    case LinkState::Refused:
        return QStringLiteral("Refused by %1: %2.").arg(broker, status.detail) + again;
    case LinkState::Unreachable:
        return QStringLiteral("Cannot reach %1 (%2).").arg(broker, status.detail) +
               (again.isEmpty() ? QStringLiteral(" Still trying.") : again);
    case LinkState::Lost:
        return QStringLiteral("Lost the connection to %1 (%2).").arg(broker, status.detail) +
               (again.isEmpty() ? QStringLiteral(" Reconnecting.") : again);
    case LinkState::TlsFailed:
        return QStringLiteral("TLS failed with %1: %2.").arg(broker, status.detail) + again;
    case LinkState::Misconfigured:
        return QStringLiteral("Not connected: %1.").arg(status.detail) + again;
    }
    return {};
}

}  // namespace remote
