#pragma once

#include "NetworkDevice.h"
#include "SerialPort.h"
#include "TelnetClient.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <optional>

// The serial layer over a serial device server: socket://HOST:PORT passes
// the bytes as they are, rfc2217://HOST:PORT speaks telnet and sets the
// server's port to the link's speed, 8 data bits, no parity, 1 stop bit.
// Blocking, as the link is: the connection and each wait block the calling
// thread, never spinning. Never listens.
class NetworkSerialPort final : public SerialPort {
public:
    // A server that has not answered the telnet options and the speed by then
    // keeps its own settings (a server may refuse any of them).
    static constexpr int NegotiationLimitMs = 1000;

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
    QString lostConnection() const override { return m_lost; }

private:
    bool connectTo(const QDeadlineTimer& deadline);
    bool negotiate(int baud);
    bool fail(QAbstractSocket::SocketError error, const QString& systemText);
    // Takes what has arrived: data to the input, the telnet answers sent.
    void takeIn();
    // False, with the reason kept, once the connection is gone.
    bool connected();
    void send(const QByteArray& bytes);

    QTcpSocket m_socket;
    std::optional<TelnetClient> m_telnet; // rfc2217:// only
    NetworkDevice::Address m_address;
    QString m_device;
    bool m_open = false;
    bool m_purgesAnswered = true;
    QString m_lost;
    QByteArray m_input;
    qsizetype m_inputRead = 0;
    int m_errorNumber = 0;
    QString m_errorString;
};
