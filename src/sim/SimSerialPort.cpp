#include "SimSerialPort.h"

namespace {
QString hex(quint8 b) {
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}
} // namespace

SimSerialPort::SimSerialPort(BoardSimulator& board, VirtualClock& clock)
    : m_board(board), m_clock(clock) {}

bool SimSerialPort::open(const PortSettings& settings) {
    m_settings = settings;
    m_name = settings.device.isEmpty() ? QStringLiteral("SIM%1").arg(settings.portNumber)
                                       : settings.device;
    if (m_failNumber != 0) {
        m_errorNumber = m_failNumber;
        m_errorString = m_failText;
        m_failNumber = 0;
        return false;
    }
    m_errorNumber = 0;
    m_errorString.clear();
    m_open = true;
    ++m_opens;
    return true;
}

bool SimSerialPort::writeByte(quint8 byte) {
    if (!m_open)
        return false;
    // Ten bits a byte, one byte each way.
    const qint64 exchangeUs = 2 * 10 * 1'000'000LL / m_settings.speed().bitsPerSecond();
    m_clock.advanceUs(exchangeUs);
    m_trace.append(u'h' + hex(byte));
    const QByteArray reply = m_board.receive(byte, m_clock.nowUs());
    for (const char c : reply)
        m_trace.append(u'b' + hex(quint8(c)));
    m_input.append(reply);
    return true;
}

bool SimSerialPort::waitForByte(int timeoutMs) {
    if (!m_input.isEmpty())
        return true;
    m_clock.advanceUs(qint64(timeoutMs) * 1000);
    m_board.advanceTo(m_clock.nowUs());
    return false;
}

int SimSerialPort::readByte() {
    if (m_input.isEmpty())
        return -1;
    const int b = quint8(m_input.front());
    m_input.remove(0, 1);
    return b;
}
