#include "MqttConnection.h"

#include <mosquitto.h>

#include <QMetaObject>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace remote {

namespace {

// Retained state goes out at QoS 0: every connection sends all of it again,
// and a QoS 1 message libmosquitto queued while offline could otherwise
// arrive after, and overwrite, a newer value sent at reconnection.
constexpr int kPublishQos = 0;
constexpr int kSubscribeQos = 1;
// Where Debian keeps the system's trusted certificates, hashed for OpenSSL.
constexpr char kSystemCertificates[] = "/etc/ssl/certs";
constexpr auto kExitPatience = std::chrono::seconds(3);

void InitLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// libmosquitto 2.0's loop_forever returns, ending its thread, on these
// results and on EPROTO (a TLS failure); on any other it reconnects by itself.
bool EndsTheLoop(int rc, int error)
{
    switch (rc) {
    case MOSQ_ERR_NOMEM:
    case MOSQ_ERR_PROTOCOL:
    case MOSQ_ERR_INVAL:
    case MOSQ_ERR_NOT_FOUND:
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_PAYLOAD_SIZE:
    case MOSQ_ERR_NOT_SUPPORTED:
    case MOSQ_ERR_AUTH:
    case MOSQ_ERR_ACL_DENIED:
    case MOSQ_ERR_UNKNOWN:
    case MOSQ_ERR_EAI:
    case MOSQ_ERR_PROXY:
        return true;
    default:
        return error == EPROTO;
    }
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
    enum Kind { Connected, Refused, Disconnected, StartTrouble, SetupFailed, Message } kind = Connected;
    int generation = 0;
    int rc = 0;
    int error = 0;
    QString detail{};
    bool loopEnded = false;
    QString topic{};
    QByteArray payload{};
    bool retained = false;
};

// What the window's, the worker's and libmosquitto's threads share.
struct LinkShared {
    std::mutex mutex;
    MqttConnection* owner = nullptr;  // cleared when the connection goes
    int generation = 0;               // of the client that may still report
    mosquitto* client = nullptr;      // once the worker has made it
    bool connected = false;
    std::vector<remote::Message> kept;
    std::vector<std::string> subscriptions;

    // Hands a report to the window's thread; nothing once the owner is gone
    // or the client that reports has been replaced.  Called with `mutex` held.
    void Post(LinkReport report)
    {
        if (!owner || report.generation != generation)
            return;
        MqttConnection* target = owner;
        QMetaObject::invokeMethod(
            target, [target, report = std::move(report)] { target->Deliver(report); }, Qt::QueuedConnection);
    }
    void PostLocked(LinkReport report)
    {
        std::lock_guard lock(mutex);
        Post(std::move(report));
    }
};

// The user data of one libmosquitto client: which connection, which attempt.
struct Attempt {
    std::shared_ptr<LinkShared> shared;
    int generation;
    std::string lastError;  // the last error libmosquitto logged (OpenSSL's words)
    bool tlsFailed = false;  // reported once per attempt
};

// One thread that runs the calls that may wait: the name lookup of
// mosquitto_connect_async and the join of mosquitto_loop_stop.
struct LinkWorker {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<std::function<void()>> jobs;
    bool busy = false;
    bool ending = false;
    std::thread thread;

    static void Run(std::shared_ptr<LinkWorker> self)
    {
        std::unique_lock lock(self->mutex);
        for (;;) {
            self->wake.wait(lock, [&] { return self->ending || !self->jobs.empty(); });
            if (self->jobs.empty())
                return;
            std::function<void()> job = std::move(self->jobs.front());
            self->jobs.pop_front();
            self->busy = true;
            lock.unlock();
            job();
            lock.lock();
            self->busy = false;
            if (self->jobs.empty())
                self->idle.notify_all();
        }
    }

    void Add(std::function<void()> job)
    {
        std::lock_guard lock(mutex);
        jobs.push_back(std::move(job));
        wake.notify_one();
    }

    bool WaitIdle(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex);
        return idle.wait_for(lock, timeout, [&] { return jobs.empty() && !busy; });
    }
};

}  // namespace detail

namespace {

using Shared = detail::LinkShared;
using Report = detail::LinkReport;
using detail::Attempt;

// libmosquitto's callbacks, on its thread (or, for the log, on the worker's
// while it connects).  They keep errno: loop_forever reads it afterwards.

void OnConnect(mosquitto* client, void* data, int rc)
{
    const int savedErrno = errno;
    auto* attempt = static_cast<Attempt*>(data);
    Shared& shared = *attempt->shared;
    if (rc != 0) {
        // Left to itself libmosquitto would log in again and again with the
        // same refused account; it stays refused until the settings change
        // or a long wait is over.
        mosquitto_disconnect(client);
        shared.PostLocked(Report{.kind = Report::Refused, .generation = attempt->generation, .rc = rc});
        errno = savedErrno;
        return;
    }
    std::lock_guard lock(shared.mutex);
    if (attempt->generation == shared.generation) {
        // Sent from here, not from the window's thread: a reconnection puts
        // the retained state back even while the window is busy with a play.
        shared.connected = true;
        for (const std::string& topic : shared.subscriptions)
            mosquitto_subscribe(client, nullptr, topic.c_str(), kSubscribeQos);
        for (const remote::Message& message : shared.kept)
            mosquitto_publish(client, nullptr, message.topic.c_str(), static_cast<int>(message.payload.size()),
                              message.payload.data(), kPublishQos, true);
    }
    shared.Post(Report{.kind = Report::Connected, .generation = attempt->generation});
    errno = savedErrno;
}

void OnDisconnect(mosquitto* /*client*/, void* data, int rc)
{
    const int savedErrno = errno;
    auto* attempt = static_cast<Attempt*>(data);
    Shared& shared = *attempt->shared;
    std::lock_guard lock(shared.mutex);
    if (attempt->generation == shared.generation)
        shared.connected = false;
    // 0: asked for (a close, or a refused login that was already reported).
    if (rc != 0 && !attempt->tlsFailed)
        shared.Post(Report{.kind = Report::Disconnected,
                           .generation = attempt->generation,
                           .rc = rc,
                           .error = savedErrno,
                           .detail = QString::fromStdString(attempt->lastError),
                           .loopEnded = EndsTheLoop(rc, savedErrno)});
    attempt->lastError.clear();
    errno = savedErrno;
}

void OnMessage(mosquitto* /*client*/, void* data, const mosquitto_message* message)
{
    const int savedErrno = errno;
    auto* attempt = static_cast<Attempt*>(data);
    attempt->shared->PostLocked(Report{.kind = Report::Message,
                                       .generation = attempt->generation,
                                       .topic = QString::fromUtf8(message->topic),
                                       .payload = QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                                       .retained = message->retain});
    errno = savedErrno;
}

// A failed TLS handshake ends libmosquitto's loop without a disconnect
// callback; OpenSSL's complaint in the log is the only sign of it.
void OnLog(mosquitto* /*client*/, void* data, int level, const char* text)
{
    if (!(level & (MOSQ_LOG_ERR | MOSQ_LOG_WARNING)))
        return;
    auto* attempt = static_cast<Attempt*>(data);
    attempt->lastError = text;
    if (attempt->tlsFailed || std::strncmp(text, "OpenSSL Error", 13) != 0)
        return;
    attempt->tlsFailed = true;
    attempt->shared->PostLocked(Report{.kind = Report::Disconnected,
                                       .generation = attempt->generation,
                                       .rc = MOSQ_ERR_TLS,
                                       .detail = QString::fromUtf8(text),
                                       .loopEnded = true});
}

// On the worker: makes the client and starts it.  Whatever fails is reported;
// a client that was closed meanwhile is dropped.
void StartClient(const std::shared_ptr<Shared>& shared, int generation, const LinkOptions& options,
                 const RetryDelays& delays)
{
    InitLibrary();
    auto* attempt = new Attempt{shared, generation, {}};
    mosquitto* client = mosquitto_new(options.clientId.c_str(), true, attempt);
    auto setupFailed = [&](const QString& why, bool tls) {
        shared->PostLocked(Report{.kind = Report::SetupFailed, .generation = generation, .rc = tls ? 1 : 0, .detail = why});
        if (client)
            mosquitto_destroy(client);
        delete attempt;
    };
    if (!client)
        return setupFailed(QStringLiteral("the client could not be made: %1").arg(QString::fromLocal8Bit(std::strerror(errno))), false);
    mosquitto_connect_callback_set(client, OnConnect);
    mosquitto_disconnect_callback_set(client, OnDisconnect);
    mosquitto_message_callback_set(client, OnMessage);
    mosquitto_log_callback_set(client, OnLog);
    mosquitto_int_option(client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_will_set(client, options.will.topic.c_str(), static_cast<int>(options.will.payload.size()),
                       options.will.payload.data(), 1, true);
    if (!options.user.empty())
        mosquitto_username_pw_set(client, options.user.c_str(), options.password.empty() ? nullptr : options.password.c_str());
    if (options.tls) {
        // The certificate is checked against these authorities and the host
        // name (libmosquitto's default; tls_insecure is never set).
        const int rc = options.caFile.empty()
                           ? mosquitto_tls_set(client, nullptr, kSystemCertificates, nullptr, nullptr, nullptr)
                           : mosquitto_tls_set(client, options.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS)
            return setupFailed(options.caFile.empty()
                                   ? QStringLiteral("the system's certificates in %1 cannot be read").arg(QString::fromLatin1(kSystemCertificates))
                                   : QStringLiteral("the CA file %1 cannot be read").arg(QString::fromStdString(options.caFile)),
                               true);
    }
    mosquitto_reconnect_delay_set(client, delays.reconnectMin, delays.reconnectMax, true);
    {
        std::lock_guard lock(shared->mutex);
        if (generation != shared->generation) {
            mosquitto_destroy(client);
            delete attempt;
            return;
        }
        shared->client = client;
    }
    // May wait on the name lookup; the loop then retries a failed first
    // attempt with the back-off above.
    const int rc = mosquitto_connect_async(client, options.host.c_str(), options.port, options.keepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS && !attempt->tlsFailed)
        shared->PostLocked(Report{.kind = Report::StartTrouble,
                                  .generation = generation,
                                  .rc = rc,
                                  .error = errno,
                                  .detail = QString::fromStdString(attempt->lastError)});
    if (mosquitto_loop_start(client) != MOSQ_ERR_SUCCESS)
        shared->PostLocked(Report{.kind = Report::SetupFailed, .generation = generation,
                                  .detail = QStringLiteral("the network thread could not be started")});
}

// On the worker: the client's thread ends (at once when it is waiting to
// reconnect) and the client goes.
void StopClient(mosquitto* client)
{
    mosquitto_disconnect(client);
    mosquitto_loop_stop(client, false);
    auto* attempt = static_cast<Attempt*>(mosquitto_userdata(client));
    mosquitto_destroy(client);
    delete attempt;
}

}  // namespace

MqttConnection::MqttConnection(QObject* parent)
    : QObject(parent), shared_(std::make_shared<Shared>()), worker_(std::make_shared<detail::LinkWorker>())
{
    qRegisterMetaType<remote::LinkStatus>();
    shared_->owner = this;
    worker_->thread = std::thread(&detail::LinkWorker::Run, worker_);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &MqttConnection::StartOver);
    watchdog_.setSingleShot(true);
    connect(&watchdog_, &QTimer::timeout, this, &MqttConnection::StartOver);
}

MqttConnection::~MqttConnection()
{
    Close();
    {
        std::lock_guard lock(shared_->mutex);
        shared_->owner = nullptr;
    }
    {
        std::lock_guard lock(worker_->mutex);
        worker_->ending = true;
        worker_->wake.notify_one();
    }
    // A name lookup that hangs must not hold the program's exit for long; the
    // worker then finishes on its own, holding only what it shares.
    if (worker_->WaitIdle(kExitPatience))
        worker_->thread.join();
    else
        worker_->thread.detach();
}

void MqttConnection::Open(const LinkOptions& options)
{
    LetGo(std::nullopt);
    options_ = options;
    int generation = 0;
    {
        std::lock_guard lock(shared_->mutex);
        generation = ++shared_->generation;
        shared_->subscriptions = options.subscriptions;
    }
    SetStatus({LinkState::Connecting, {}, 0});
    StartWatchdog();
    worker_->Add([shared = shared_, generation, options, delays = delays_] { StartClient(shared, generation, options, delays); });
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
    retry_.stop();
    watchdog_.stop();
    mosquitto* client = nullptr;
    {
        std::lock_guard lock(shared_->mutex);
        if (goodbye && shared_->connected && shared_->client)
            mosquitto_publish(shared_->client, nullptr, goodbye->topic.c_str(), static_cast<int>(goodbye->payload.size()),
                              goodbye->payload.data(), kPublishQos, true);
        client = shared_->client;
        shared_->client = nullptr;
        shared_->connected = false;
        // Whatever the old client still reports is not heard.
        ++shared_->generation;
    }
    if (client)
        worker_->Add([client] { StopClient(client); });
}

void MqttConnection::Keep(const std::string& topic, const std::string& payload)
{
    std::lock_guard lock(shared_->mutex);
    auto kept = std::find_if(shared_->kept.begin(), shared_->kept.end(), [&](const Message& m) { return m.topic == topic; });
    if (kept == shared_->kept.end())
        shared_->kept.push_back({topic, payload});
    else
        kept->payload = payload;
    if (shared_->connected && shared_->client)
        mosquitto_publish(shared_->client, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
                          kPublishQos, true);
}

void MqttConnection::SendKeptAgain()
{
    std::lock_guard lock(shared_->mutex);
    if (!shared_->connected || !shared_->client)
        return;
    for (const Message& message : shared_->kept)
        mosquitto_publish(shared_->client, nullptr, message.topic.c_str(), static_cast<int>(message.payload.size()),
                          message.payload.data(), kPublishQos, true);
}

void MqttConnection::Send(const std::string& topic, const std::string& payload, bool retain)
{
    std::lock_guard lock(shared_->mutex);
    if (shared_->connected && shared_->client)
        mosquitto_publish(shared_->client, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
                          kPublishQos, retain);
}

bool MqttConnection::Settle(std::chrono::milliseconds timeout)
{
    return worker_->WaitIdle(timeout);
}

void MqttConnection::SetStatus(LinkStatus status)
{
    status_ = std::move(status);
    Q_EMIT StatusChanged(status_);
}

void MqttConnection::StartOver()
{
    if (options_)
        Open(*options_);
}

void MqttConnection::StartWatchdog()
{
    const auto keepAlive = std::chrono::seconds(options_ ? options_->keepAliveSeconds : 0);
    watchdog_.start(std::chrono::seconds(2 * delays_.reconnectMax) + keepAlive + std::chrono::seconds(30));
}

void MqttConnection::StartOverIn(int seconds)
{
    watchdog_.stop();
    retry_.start(std::chrono::seconds(seconds));
}

void MqttConnection::Deliver(const detail::LinkReport& report)
{
    {
        std::lock_guard lock(shared_->mutex);
        if (report.generation != shared_->generation)
            return;
    }
    switch (report.kind) {
    case Report::Message:
        Q_EMIT MessageArrived(report.topic, report.payload, report.retained);
        return;
    case Report::Connected:
        fatalDelay_ = 0;
        startTroubles_ = 0;
        watchdog_.stop();
        SetStatus({LinkState::Connected, {}, 0});
        return;
    case Report::Refused: {
        const QString why = report.rc == 4 || report.rc == 5 ? QStringLiteral("wrong user name or password")
                                                               : QString::fromUtf8(mosquitto_connack_string(report.rc));
        SetStatus({LinkState::Refused, why, delays_.refusedSeconds});
        StartOverIn(delays_.refusedSeconds);
        return;
    }
    case Report::SetupFailed:
        fatalDelay_ = fatalDelay_ == 0 ? delays_.fatalMinSeconds : std::min(fatalDelay_ * 2, delays_.fatalMaxSeconds);
        SetStatus({report.rc ? LinkState::TlsFailed : LinkState::Misconfigured, report.detail, fatalDelay_});
        StartOverIn(fatalDelay_);
        return;
    case Report::StartTrouble: {
        // libmosquitto 2.0 leaves a client whose first connection failed at
        // once (a refused port, an unknown host) disconnected for good: its
        // loop ends without trying again, so this class does, with the same
        // back-off libmosquitto uses.
        // Past the longest wait the count need not grow; unbounded, its
        // square would overflow after some weeks of a router that is off.
        startTroubles_ = std::min(startTroubles_ + 1, 64);
        const unsigned grown = delays_.reconnectMin * static_cast<unsigned>(startTroubles_ * startTroubles_);
        const int delay = static_cast<int>(std::min(grown, delays_.reconnectMax));
        SetStatus({LinkState::Unreachable, Reason(report.rc, report.error), delay});
        StartOverIn(delay);
        return;
    }
    case Report::Disconnected: {
        const bool wasConnected = status_.state == LinkState::Connected;
        // A failed handshake shows as a TLS result, as EPROTO, or only in
        // what OpenSSL said through libmosquitto's log.
        const bool tls = report.rc == MOSQ_ERR_TLS || report.error == EPROTO ||
                         report.detail.startsWith(QLatin1String("OpenSSL Error"));
        const QString detail = tls && !report.detail.isEmpty() ? report.detail : Reason(report.rc, report.error);
        if (report.loopEnded || tls) {
            fatalDelay_ = fatalDelay_ == 0 ? delays_.fatalMinSeconds : std::min(fatalDelay_ * 2, delays_.fatalMaxSeconds);
            SetStatus({tls ? LinkState::TlsFailed : wasConnected ? LinkState::Lost : LinkState::Unreachable, detail, fatalDelay_});
            StartOverIn(fatalDelay_);
            return;
        }
        SetStatus({wasConnected ? LinkState::Lost : LinkState::Unreachable, detail, 0});
        StartWatchdog();
        return;
    }
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
