#include "NetworkDevice.h"

#include "DeviceText.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace NetworkDevice {

namespace {

const QString Separator = QStringLiteral("://");

bool isHostName(const QString& host) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_]([A-Za-z0-9_.-]*)$"));
    return name.match(host).hasMatch();
}

// The system reads a host whose last part is a number (127.1, 2130706433,
// 0x7f.1) as an IPv4 address, octal and hexadecimal parts included: 0177.0.0.1
// is 127.0.0.1 to it and 177.0.0.1 to a reader. Only the plain form is taken,
// so that what the settings say and where the link connects are the same.
bool isLenientNumber(const QString& host) {
    static const QRegularExpression numericEnd(
        QStringLiteral("(^|\\.)(0[xX][0-9A-Fa-f]*|[0-9]+)$"));
    static const QRegularExpression dottedQuad(
        QStringLiteral("^((25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\\.){3}"
                       "(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])$"));
    return numericEnd.match(host).hasMatch() && !dottedQuad.match(host).hasMatch();
}

} // namespace

QString Address::hostPort() const {
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(port);
}

bool isNetwork(const QString& device) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(device.trimmed()).hasMatch();
}

std::variant<Address, QString> parse(const QString& device) {
    const QString text = device.trimmed();
    const QString shown = DeviceText::shown(text);
    const QString usage =
        QStringLiteral("%1 is not a serial device server: write socket://HOST:PORT or "
                       "rfc2217://HOST:PORT (an IPv6 address in brackets, as in [::1])")
            .arg(shown);
    const qsizetype schemeEnd = text.indexOf(Separator);
    if (schemeEnd < 0)
        return usage;
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
        if (isLenientNumber(address.host)) {
            const QHostAddress read(address.host);
            return QStringLiteral("%1 is not a serial device server: write an IPv4 address as "
                                  "four numbers from 0 to 255 without leading zeros%2")
                .arg(
                    shown,
                    read.isNull()
                        ? QString()
                        : QStringLiteral(" (%1 stands for %2)").arg(address.host, read.toString()));
        }
    }
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    if (!digits.match(portText).hasMatch())
        return usage;
    const int port = portText.toInt();
    if (port < 1 || port > 65535)
        return QStringLiteral("the port of %1 is not a number from 1 to 65535").arg(shown);
    address.port = quint16(port);
    return address;
}

std::optional<QString> problem(const QString& device) {
    const auto parsed = parse(device);
    if (const QString* why = std::get_if<QString>(&parsed))
        return *why;
    return std::nullopt;
}

} // namespace NetworkDevice
