#pragma once

#include "NetworkConnection.h"
#include "SerialPort.h"

// The serial layer over a serial device server: socket://HOST:PORT passes
// the bytes as they are, rfc2217://HOST:PORT speaks telnet and sets the
// server's port to the link's speed, 8 data bits, no parity, 1 stop bit.
// Blocking, as the link is: connecting runs the thread's events (user input
// aside) until the connection is made or has failed, and each wait for a
// byte blocks the calling thread, never spinning.
class NetworkSerialPort final : public SerialPort {
public:
    bool open(const PortSettings& settings) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    int errorNumber() const override { return m_errorNumber; }
    QString errorString() const override { return m_errorString; }
    QString portName() const override { return m_device; }

    void discardInput() override;
    int bytesAvailable() override;
    bool writeByte(quint8 byte) override;
    bool waitForByte(int timeoutMs) override;
    int readByte() override;
    QString lostConnection() const override;
    QString silence() const override;

private:
    NetworkConnection m_connection;
    QString m_device;
    bool m_open = false;
    bool m_purgesAnswered = true;
    int m_errorNumber = 0;
    QString m_errorString;
};
