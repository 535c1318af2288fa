#pragma once

#include <QString>
#include <string>
#include <variant>

// Where the plant's broker is, as a user writes it: mqtt://HOST:PORT, or
// mqtts://HOST:PORT for TLS. HOST is a name, an IPv4 address or an IPv6
// address in brackets; the port defaults to 1883 (8883 with TLS).
struct BrokerAddress {
    bool tls = false;
    QString host; // without brackets
    quint16 port = 1883;
    // What follows HOST:PORT ("/plant2" in mqtt://broker:1883/plant2), without
    // the leading slash; empty when nothing does.
    QString path;

    // mqtt://HOST:PORT, as the user reads it in messages.
    QString url() const;
    // The same in the form the Paho library takes: tcp://HOST:PORT, ssl://HOST:PORT.
    std::string serverUri() const;

    // The address, or one sentence saying what is wrong with the text.
    static std::variant<BrokerAddress, QString> parse(const QString& text);
};
