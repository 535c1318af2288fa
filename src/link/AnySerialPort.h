#pragma once

#include "NetworkSerialPort.h"
#include "QtSerialPort.h"

// The port the device text names, chosen afresh at each open: a serial
// device server for socket://HOST:PORT and rfc2217://HOST:PORT, a local
// serial port (QSerialPort) for anything else. The one port the program and
// the command line hand the link, so that nothing above it knows which.
class AnySerialPort final : public SerialPort {
public:
    bool open(const PortSettings& settings) override;
    void close() override { m_current->close(); }
    bool isOpen() const override { return m_current->isOpen(); }
    int errorNumber() const override { return m_current->errorNumber(); }
    QString errorString() const override { return m_current->errorString(); }
    QString portName() const override { return m_current->portName(); }

    void discardInput() override { m_current->discardInput(); }
    int bytesAvailable() override { return m_current->bytesAvailable(); }
    bool writeByte(quint8 byte) override { return m_current->writeByte(byte); }
    bool waitForByte(int timeoutMs) override { return m_current->waitForByte(timeoutMs); }
    int readByte() override { return m_current->readByte(); }
    QString lostConnection() const override { return m_current->lostConnection(); }

private:
    QtSerialPort m_serial;
    NetworkSerialPort m_network;
    SerialPort* m_current = &m_serial;
};
