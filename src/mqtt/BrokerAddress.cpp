#include "BrokerAddress.h"

#include <QUrl>

namespace {

QString hostPort(const BrokerAddress& a) {
    const QString host = a.host.contains(u':') ? u'[' + a.host + u']' : a.host;
    return host + u':' + QString::number(a.port);
}

} // namespace

QString BrokerAddress::url() const {
    return (tls ? QStringLiteral("mqtts://") : QStringLiteral("mqtt://")) + hostPort(*this);
}

std::string BrokerAddress::serverUri() const {
    return ((tls ? QStringLiteral("ssl://") : QStringLiteral("tcp://")) + hostPort(*this))
        .toStdString();
}

std::variant<BrokerAddress, QString> BrokerAddress::parse(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"mqtt" && scheme != u"mqtts"))
        return QStringLiteral("'%1' is no broker address (mqtt://HOST:PORT or mqtts://HOST:PORT)")
            .arg(text);
    if (url.host().isEmpty())
        return QStringLiteral("'%1' names no host").arg(text);
    if (!url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
        return QStringLiteral("'%1' holds more than mqtt://HOST:PORT").arg(text);
    BrokerAddress address;
    address.tls = scheme == u"mqtts";
    address.host = url.host();
    const int port = url.port(address.tls ? 8883 : 1883);
    if (port < 1 || port > 65535)
        return QStringLiteral("'%1': the port must be 1..65535").arg(text);
    address.port = quint16(port);
    address.path = url.path().mid(1);
    return address;
}
