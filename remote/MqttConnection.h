#pragma once
// One client of one broker on libmosquitto.  Each connection runs on a thread
// of its own that does all the waiting: the name lookup, the connection and
// the TLS handshake, libmosquitto's network loop (mosquitto_loop, with the
// library told that threads are used), the pauses between attempts and the
// goodbye.  Only libmosquitto's documented calls and results decide what
// happened.  The window's thread hands over messages to keep or send and
// learns, by queued calls, what the link is doing; nothing here waits on the
// network on that thread, and no socket is opened for listening.
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RemoteMessages.h"

namespace remote {

namespace detail {
struct Kept;
struct Link;
struct LinkReport;
}  // namespace detail

enum class LinkState {
    Off,            // no broker set
    Connecting,     // the first attempt is under way
    Connected,
    Refused,        // the broker turned the login down
    Unreachable,    // no broker answered yet: trying again
    Lost,           // the connection broke: trying again
    TlsFailed,      // the broker's certificate or the TLS handshake failed
    Misconfigured,  // an address or a setting that cannot work
};

struct LinkStatus {
    LinkState state = LinkState::Off;
    QString detail;          // the broker's or the system's words, where there are any
    int retryInSeconds = 0;  // when the link tries again by itself; 0: now, or never
};

struct LinkOptions {
    std::string host;
    int port = 1883;
    bool tls = false;
    std::string caFile;  // empty: the system's certificate store
    std::string user;
    std::string password;
    std::string clientId;
    Message will;  // retained, sent by the broker when the connection dies
    std::vector<std::string> subscriptions;
    int keepAliveSeconds = 30;
};

struct RetryDelays {
    // After a lost or unreachable broker: from `reconnectMin` seconds,
    // growing with the square of the attempts, up to `reconnectMax`.
    unsigned reconnectMin = 2;
    unsigned reconnectMax = 30;
    // A refused login is tried again only this long after (new settings try at once).
    int refusedSeconds = 600;
    // After a failed TLS handshake or a setting that cannot work: from this
    // long, doubling each time.
    int fatalMinSeconds = 5;
    int fatalMaxSeconds = 300;
};

// A message as it comes, on the link's thread, before anything is copied:
// what to keep of it is the receiver's choice.
struct Incoming {
    std::string_view topic;
    const char* payload;
    std::size_t length;
    bool retained;  // the broker held it from before the subscription
    detail::Link* link;
};
using Receiver = std::function<void(const Incoming& message)>;

class MqttConnection final : public QObject {
    Q_OBJECT
public:
    explicit MqttConnection(QObject* parent = nullptr);
    // Waits up to a few seconds for the link's thread to say goodbye.
    ~MqttConnection() override;
    MqttConnection(const MqttConnection&) = delete;
    MqttConnection& operator=(const MqttConnection&) = delete;

    void SetRetryDelays(const RetryDelays& delays) { delays_ = delays; }
    // Called on the link's thread for every message on the subscriptions;
    // set before Open.
    void SetReceiver(Receiver receiver) { receiver_ = std::move(receiver); }

    // Connects (after closing any connection there is) and returns at once.
    void Open(const LinkOptions& options);
    // Sends `goodbye` (retained) when connected, then disconnects; returns at once.
    void Close(const std::optional<Message>& goodbye = std::nullopt);

    // A retained message sent now when connected, and again at every
    // connection, in the order first kept: what the broker should hold.
    void Keep(const std::string& topic, const std::string& payload);
    // No longer kept; what the broker holds stays until something replaces it.
    void Forget(const std::string& topic);
    // Everything kept, sent again (Home Assistant came back).
    void SendKeptAgain();
    // The same from the receiver, on the link's thread: answered there,
    // whatever the window's thread is busy with.
    static void SendKeptAgain(const Incoming& from);
    // Sent now when connected, dropped otherwise.
    void Send(const std::string& topic, const std::string& payload, bool retain);

    LinkStatus Status() const { return status_; }
    // Until every link closed so far has ended, at most `timeout`; false
    // when one has not.  For the exit, tests and benchmarks.
    bool Settle(std::chrono::milliseconds timeout);

Q_SIGNALS:
    void StatusChanged(const remote::LinkStatus& status);

public:
    // What the link's thread reports, delivered on the window's thread.
    void Deliver(const detail::LinkReport& report);

private:
    void SetStatus(LinkStatus status);
    void LetGo(const std::optional<Message>& goodbye);

    std::shared_ptr<detail::Kept> kept_;
    std::shared_ptr<detail::Link> link_;
    std::vector<std::shared_ptr<detail::Link>> closing_;
    std::optional<LinkOptions> options_;
    Receiver receiver_;
    RetryDelays delays_;
    LinkStatus status_;
    // A link that could not even be set up (a CA file that cannot be read)
    // is made again after this long, doubling each time.
    int setupDelay_ = 0;
    QTimer setupAgain_;
};

// A line for the person: what the link is doing.
QString StatusText(const LinkStatus& status, const QString& broker);

}  // namespace remote

Q_DECLARE_METATYPE(remote::LinkStatus)
