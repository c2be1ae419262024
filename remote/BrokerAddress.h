#pragma once
// Where the broker is, as the person types it: mqtt://host:port for a plain
// connection, mqtts://host:port for TLS with the certificate checked.
#include <QString>
#include <optional>

namespace remote {

inline constexpr int kPlainPort = 1883;
inline constexpr int kTlsPort = 8883;

struct BrokerAddress {
    QString host;  // an IPv6 address without its brackets
    int port = kPlainPort;
    bool tls = false;

    // mqtt://host:port again, with brackets around an IPv6 address.
    QString ToString() const;
};

// Nothing and a one-line reason when the text is not such an address.  The
// port may be left out (1883, or 8883 for mqtts); user names, paths, queries
// and fragments are refused: the account has fields of its own.
std::optional<BrokerAddress> ParseBrokerAddress(const QString& text, QString* error = nullptr);

}  // namespace remote
