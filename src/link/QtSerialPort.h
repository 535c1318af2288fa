#pragma once

#include "SerialPort.h"

#include <QList>
#include <QSerialPort>
#include <QSerialPortInfo>

// The serial layer over QSerialPort: real ports, USB adapters and pseudo-terminals.
class QtSerialPort final : public SerialPort {
public:
    // Port number N is COMN on Windows and /dev/ttyS<N-1> elsewhere, unless
    // the settings name a device.
    static QString deviceFor(const PortSettings& settings);
    // The board's line on a port: the given speed, 8 data bits, no parity,
    // one stop bit, no flow control.
    static void SetUpLine(QSerialPort& port, qint32 baud);
    // The serial ports the system reports, by device name.
    static QList<QSerialPortInfo> SystemPorts();

    bool open(const PortSettings& settings) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    int errorNumber() const override { return m_errorNumber; }
    QString errorString() const override { return m_errorString; }
    QString portName() const override { return m_device; }
    // The driver agreed to pass received bytes on at once (Linux serial
    // drivers that know the setting); false where it refused or on other systems.
    bool lowLatency() const { return m_lowLatency; }

    void discardInput() override;
    int bytesAvailable() override;
    bool writeByte(quint8 byte) override;
    bool waitForByte(int timeoutMs) override;
    int readByte() override;
    // The device went away under the open port (a USB adapter pulled out, a
    // pseudo-terminal whose other side closed); opening it again by its name
    // takes it back once it is there again. Kept until an open succeeds.
    QString lostConnection() const override { return m_lost; }

private:
    // True, and the reason kept, when the device has gone.
    bool noteIfGone();
    // Nothing reads the port between exchanges: with QSerialPort's notifiers
    // on, every turn of the event loop would poll the terminal, and a
    // terminal's poll waits for the kernel to hand over what came in. Qt
    // keeps them as children of the port; where it does not, nothing changes.
    void quietNotifiers();

    QSerialPort m_port;
    QString m_device;
    bool m_lowLatency = false;
    int m_errorNumber = 0;
    QString m_errorString;
    QString m_lost;
};
