#pragma once

#include <QString>
#include <optional>
#include <variant>

// A serial port reached through a serial device server, named as other
// serial tools name it: socket://HOST:PORT (raw TCP, the server sets the
// speed) or rfc2217://HOST:PORT (telnet with the COM port option, the
// client sets it). HOST is a name, an IPv4 address as four numbers, or an
// IPv6 address in brackets.
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

// The device text names a server, well formed or not: it begins with a word
// and a colon ("socket://", "rfc2217:/", "tcp:"), which no local device
// path does.
bool isNetwork(const QString& device);

// The address, or one sentence saying what is wrong with the text.
std::variant<Address, QString> parse(const QString& device);
// Why the text is no usable network device; nullopt when it is one.
std::optional<QString> problem(const QString& device);

} // namespace NetworkDevice
