#pragma once
// One client of one broker on libmosquitto.  The network runs on
// libmosquitto's own thread (mosquitto_loop_start); creating, connecting and
// stopping the client (a name lookup, a join) run on a worker thread of this
// class; the window's thread only hands over messages and learns, by queued
// calls, what happened.  Nothing here waits on the network on the thread
// that calls it, and no socket is opened for listening.
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RemoteMessages.h"

namespace remote {

namespace detail {
struct LinkShared;
struct LinkWorker;
struct LinkReport;
}  // namespace detail

enum class LinkState {
    Off,            // no broker set
    Connecting,     // the first attempt is under way
    Connected,
    Refused,        // the broker turned the login down
    Unreachable,    // no broker answered yet: libmosquitto keeps trying
    Lost,           // the connection broke: libmosquitto keeps trying
    TlsFailed,      // the broker's certificate or the TLS handshake failed
    Misconfigured,  // an address or a setting that cannot work
};

struct LinkStatus {
    LinkState state = LinkState::Off;
    QString detail;       // the broker's or the system's words, where there are any
    int retryInSeconds = 0;  // when this class tries again by itself; 0: libmosquitto's own back-off, or never
};

struct LinkOptions {
    std::string host;
    int port = 1883;
    bool tls = false;
    std::string caFile;  // empty: the system's certificate folder
    std::string user;
    std::string password;
    std::string clientId;
    Message will;  // retained, sent by the broker when the connection dies
    std::vector<std::string> subscriptions;
    int keepAliveSeconds = 30;
};

struct RetryDelays {
    // libmosquitto's own reconnection after a lost or unreachable broker:
    // from `reconnectMin` seconds, growing with the square of the attempts,
    // up to `reconnectMax`.
    unsigned reconnectMin = 2;
    unsigned reconnectMax = 30;
    // A refused login is not retried by libmosquitto; this class tries again
    // this long after (new settings try at once).
    int refusedSeconds = 600;
    // After a failed TLS handshake or a protocol error libmosquitto gives up;
    // this class starts over after this long, doubling each time.
    int fatalMinSeconds = 5;
    int fatalMaxSeconds = 300;
};

class MqttConnection final : public QObject {
    Q_OBJECT
public:
    explicit MqttConnection(QObject* parent = nullptr);
    // Waits up to a few seconds for the worker to let go of the broker.
    ~MqttConnection() override;
    MqttConnection(const MqttConnection&) = delete;
    MqttConnection& operator=(const MqttConnection&) = delete;

    void SetRetryDelays(const RetryDelays& delays) { delays_ = delays; }

    // Connects (after closing any connection there is) and returns at once.
    void Open(const LinkOptions& options);
    // Sends `goodbye` (retained) when connected, then disconnects; returns at once.
    void Close(const std::optional<Message>& goodbye = std::nullopt);

    // A retained message sent now when connected, and again at every
    // connection, in the order first kept: what the broker should hold.
    void Keep(const std::string& topic, const std::string& payload);
    // Everything kept, sent again (Home Assistant came back).
    void SendKeptAgain();
    // Sent now when connected, dropped otherwise.
    void Send(const std::string& topic, const std::string& payload, bool retain);

    LinkStatus Status() const { return status_; }
    // Until every open and close handed to the worker has been done, at most
    // `timeout`; false when it was not.  For the exit, tests and benchmarks.
    bool Settle(std::chrono::milliseconds timeout);

Q_SIGNALS:
    void StatusChanged(const remote::LinkStatus& status);
    // On the window's thread.  `retained`: the broker held it from before the
    // subscription, rather than passing it on as it came.
    void MessageArrived(const QString& topic, const QByteArray& payload, bool retained);

public:
    // What the threads report, delivered on the window's thread.
    void Deliver(const detail::LinkReport& report);

private:
    void SetStatus(LinkStatus status);
    // Sends the goodbye and hands the client to the worker to be stopped.
    void LetGo(const std::optional<Message>& goodbye);
    void StartOver();
    void StartOverIn(int seconds);
    void StartWatchdog();

    std::shared_ptr<detail::LinkShared> shared_;
    std::shared_ptr<detail::LinkWorker> worker_;
    std::optional<LinkOptions> options_;
    RetryDelays delays_;
    LinkStatus status_;
    int fatalDelay_ = 0;
    int startTroubles_ = 0;
    QTimer retry_;
    // libmosquitto keeps trying on its own after a lost broker; if nothing
    // is heard for far longer than its back-off and a keep-alive, this class
    // starts over rather than trust a loop that may have ended.
    QTimer watchdog_;
};

// A line for the person: what the link is doing.
QString StatusText(const LinkStatus& status, const QString& broker);

}  // namespace remote

Q_DECLARE_METATYPE(remote::LinkStatus)
