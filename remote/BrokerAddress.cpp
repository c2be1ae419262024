#include "BrokerAddress.h"

#include <QUrl>

namespace remote {

QString BrokerAddress::ToString() const
{
    const QString shownHost = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1://%2:%3").arg(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), shownHost).arg(port);
}

std::optional<BrokerAddress> ParseBrokerAddress(const QString& text, QString* error)
{
    auto refuse = [error](const QString& why) -> std::optional<BrokerAddress> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QString trimmed = text.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) ||
        !trimmed.contains(QLatin1String("://")))
        return refuse(QStringLiteral("the broker must be written mqtt://host:port or mqtts://host:port"));
    if (url.host().isEmpty())
        return refuse(QStringLiteral("the broker address names no host"));
    if (!url.userInfo().isEmpty())
        return refuse(QStringLiteral("put the user name and password in their own fields, not in the address"));
    if (!(url.path().isEmpty() || url.path() == QLatin1String("/")) || url.hasQuery() || url.hasFragment())
        return refuse(QStringLiteral("the broker address takes a host and a port only"));
    BrokerAddress address;
    address.tls = scheme == QLatin1String("mqtts");
    address.host = url.host();
    // QUrl accepts a port of 0 and takes "host:" as no port at all.
    const int port = url.port(-1);
    if (port == 0)
        return refuse(QStringLiteral("port 0 is not a broker's port"));
    address.port = port > 0 ? port : (address.tls ? kTlsPort : kPlainPort);
    return address;
}

}  // namespace remote
