#pragma once

#include "BoardSimulator.h"
#include "Clock.h"
#include "SerialPort.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The in-process front of the simulator: a serial port whose far end is a
// BoardSimulator, on a virtual clock. Each byte costs the wire time of one
// exchange at the port's baud rate; waiting for an answer that never comes
// moves the clock to the deadline at once.
class SimSerialPort final : public SerialPort {
public:
    SimSerialPort(BoardSimulator& board, VirtualClock& clock);

    bool open(const PortSettings& settings) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int errorNumber() const override { return m_errorNumber; }
    QString errorString() const override { return m_errorString; }
    QString portName() const override { return m_name; }

    void discardInput() override { m_input.clear(); }
    int bytesAvailable() override { return int(m_input.size()); }
    bool writeByte(quint8 byte) override;
    bool waitForByte(int timeoutMs) override;
    int readByte() override;

    // The next open fails with this error (0: opens normally).
    void failOpen(int number, const QString& text) {
        m_failNumber = number;
        m_failText = text;
    }
    const PortSettings& settings() const { return m_settings; }

    // The traffic since the last clearTrace: "h03 b03 hFC b2C ..." (h host, b board).
    QString trace() const { return m_trace.join(u' '); }
    void clearTrace() { m_trace.clear(); }
    qint64 opens() const { return m_opens; }

private:
    BoardSimulator& m_board;
    VirtualClock& m_clock;
    PortSettings m_settings;
    QString m_name;
    bool m_open = false;
    int m_errorNumber = 0;
    QString m_errorString;
    int m_failNumber = 0;
    QString m_failText;
    QByteArray m_input;
    QStringList m_trace;
    qint64 m_opens = 0;
};
