#pragma once

#include <QAbstractSocket>
#include <QString>
#include <QTcpSocket>
#include <optional>
#include <variant>

// A serial port reached through a serial device server, named as other
// serial tools name it: socket://HOST:PORT (raw TCP, the server sets the
// speed) or rfc2217://HOST:PORT (telnet with the COM port option, the
// client sets it). HOST is a name, an IPv4 address or an IPv6 address in
// brackets.
namespace NetworkDevice {

enum class Kind { Socket, Rfc2217 };

// A connection (name lookup included) that takes longer has failed.
constexpr int ConnectLimitMs = 3000;

struct Address {
    Kind kind = Kind::Socket;
    QString host; // without brackets
    quint16 port = 0;

    // "10.1.2.3:3001", "[::1]:3001"
    QString hostPort() const;
};

// The device text names a network device (it has a scheme), well formed or not.
bool isNetwork(const QString& device);

// The address, or one sentence saying what is wrong with the text.
std::variant<Address, QString> parse(const QString& device);
// Why the text is no usable network device; nullopt when it is one.
std::optional<QString> problem(const QString& device);

// A failed connection in words that name host and port:
// "connection refused by 10.1.2.3:3001".
QString failure(const Address& address, QAbstractSocket::SocketError error,
                const QString& systemText);
// The same as the error number the link shows with it (never 0).
int failureNumber(QAbstractSocket::SocketError error);

// Acknowledges what was just read at once rather than after the system's
// delay (40 ms on Linux), for a server that sends one message in pieces
// without TCP_NODELAY (ser2net by default) and holds each later piece until
// the first is acknowledged. Called when a read ends inside a message (an
// acknowledgement on its own costs a packet; normally the next byte sent
// carries it).
void acknowledgeAtOnce(const QTcpSocket& socket);

} // namespace NetworkDevice
