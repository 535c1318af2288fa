#pragma once

#include "Baud.h"

#include <QString>

// What the link needs of a serial port, and nothing more: 8 data bits, no
// parity, one stop bit, no flow control, single bytes in and out.
struct PortSettings {
    int portNumber = 1; // 1..99, the platform's Nth port
    QString baud = QStringLiteral("9600");
    QString device; // optional explicit device path; overrides the number
    Baud speed() const { return Baud::fromText(baud); }
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens (or reopens) the port. On failure errorNumber/errorString say why.
    virtual bool open(const PortSettings& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int errorNumber() const = 0;
    virtual QString errorString() const = 0;
    virtual QString portName() const = 0;

    virtual void discardInput() = 0;
    virtual int bytesAvailable() = 0;
    virtual bool writeByte(quint8 byte) = 0;
    // Blocks until a byte can be read or timeoutMs has passed; never spins.
    virtual bool waitForByte(int timeoutMs) = 0;
    virtual int readByte() = 0; // -1 when none is there

    // Why an open port can carry no more bytes (a network connection the
    // server closed), in words; empty while it works. Such a port waits for
    // nothing: waitForByte returns at once. Opening it again reconnects.
    virtual QString lostConnection() const { return {}; }
    // What an open port knows of a silence the cable question does not say
    // (a network connection: which server, and the speed it set), in words;
    // empty where it knows nothing more.
    virtual QString silence() const { return {}; }
};
