#include "NetworkDevice.h"

#include <QHostAddress>
#include <QRegularExpression>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace NetworkDevice {

namespace {

const QString Separator = QStringLiteral("://");

bool isHostName(const QString& host) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_]([A-Za-z0-9_.-]*)$"));
    return name.match(host).hasMatch();
}

} // namespace

QString Address::hostPort() const {
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(port);
}

bool isNetwork(const QString& device) {
    return device.contains(Separator);
}

std::variant<Address, QString> parse(const QString& device) {
    const QString text = device.trimmed();
    const QString usage =
        QStringLiteral("%1 is not a serial device server: write socket://HOST:PORT or "
                       "rfc2217://HOST:PORT (an IPv6 address in brackets, as in [::1])")
            .arg(text);
    const qsizetype schemeEnd = text.indexOf(Separator);
    const QString scheme = text.left(schemeEnd).toLower();
    Address address;
    if (scheme == u"socket")
        address.kind = Kind::Socket;
    else if (scheme == u"rfc2217")
        address.kind = Kind::Rfc2217;
    else
        return usage;
    const QString rest = text.mid(schemeEnd + Separator.size());
    QString portText;
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0 || rest.mid(close + 1, 1) != u":")
            return usage;
        address.host = rest.mid(1, close - 1);
        portText = rest.mid(close + 2);
        const QHostAddress literal(address.host);
        if (literal.protocol() != QAbstractSocket::IPv6Protocol)
            return usage;
    } else {
        if (rest.count(u':') != 1)
            return usage;
        address.host = rest.section(u':', 0, 0);
        portText = rest.section(u':', 1);
        if (!isHostName(address.host))
            return usage;
    }
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    if (!digits.match(portText).hasMatch())
        return usage;
    const int port = portText.toInt();
    if (port < 1 || port > 65535)
        return QStringLiteral("the port of %1 is not a number from 1 to 65535").arg(text);
    address.port = quint16(port);
    return address;
}

std::optional<QString> problem(const QString& device) {
    const auto parsed = parse(device);
    if (const QString* why = std::get_if<QString>(&parsed))
        return *why;
    return std::nullopt;
}

QString failure(const Address& address, QAbstractSocket::SocketError error,
                const QString& systemText) {
    const QString where = address.hostPort();
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("connection refused by %1").arg(where);
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("the host of %1 cannot be found (no such name)").arg(where);
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("no connection to %1 within %2 s")
            .arg(where)
            .arg(ConnectLimitMs / 1000);
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("connection closed by %1").arg(where);
    default:
        return QStringLiteral("no connection to %1: %2").arg(where, systemText);
    }
}

int failureNumber(QAbstractSocket::SocketError error) {
    // Qt counts from 0 (a refused connection) and -1 (unknown): shifted, so
    // that no failure reads as "Error Number = 0".
    return int(error) + 2;
}

void acknowledgeAtOnce([[maybe_unused]] const QTcpSocket& socket) {
#ifdef Q_OS_LINUX
    const int on = 1;
    ::setsockopt(int(socket.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

} // namespace NetworkDevice
