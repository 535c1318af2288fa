#pragma once

#include "NetworkSerialPort.h"
#include "QtSerialPort.h"

// The port the device text names, chosen afresh at each open: a serial
// device server for socket://HOST:PORT and rfc2217://HOST:PORT, a local
// serial port (QSerialPort) for anything else. The one port the program and
// the command line hand the link, so that nothing above it knows which. A
// device text that fails its check (DeviceText) opens nothing.
class AnySerialPort final : public SerialPort {
public:
    bool open(const PortSettings& settings) override;
    void close() override { m_current->close(); }
    bool isOpen() const override { return m_current->isOpen(); }
    int errorNumber() const override {
        return m_refused ? RefusedNumber : m_current->errorNumber();
    }
    QString errorString() const override {
        return m_refused ? *m_refused : m_current->errorString();
    }
    QString portName() const override { return m_refused ? m_refusedName : m_current->portName(); }

    void discardInput() override { m_current->discardInput(); }
    int bytesAvailable() override { return m_current->bytesAvailable(); }
    bool writeByte(quint8 byte) override { return m_current->writeByte(byte); }
    bool waitForByte(int timeoutMs) override { return m_current->waitForByte(timeoutMs); }
    int readByte() override { return m_current->readByte(); }
    QString lostConnection() const override { return m_current->lostConnection(); }
    QString silence() const override { return m_current->silence(); }

private:
    // As QSerialPort numbers a device it cannot open.
    static constexpr int RefusedNumber = 1;

    QtSerialPort m_serial;
    NetworkSerialPort m_network;
    SerialPort* m_current = &m_serial;
    std::optional<QString> m_refused; // why the device text was not opened
    QString m_refusedName;
};
