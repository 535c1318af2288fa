#include "NetworkSerialPort.h"

#include <QDeadlineTimer>

bool NetworkSerialPort::open(const PortSettings& settings) {
    close();
    m_device = settings.device.trimmed();
    const auto parsed = NetworkDevice::parse(m_device);
    if (const QString* why = std::get_if<QString>(&parsed)) {
        m_errorNumber = int(QAbstractSocket::UnsupportedSocketOperationError) + 2;
        m_errorString = *why;
        return false;
    }
    m_connection.start(std::get<NetworkDevice::Address>(parsed), settings.speed().bitsPerSecond());
    if (!m_connection.waitUntilSettled()) {
        m_errorNumber = m_connection.failureNumber();
        m_errorString = m_connection.failure();
        m_connection.close();
        return false;
    }
    m_open = true;
    m_errorNumber = 0;
    m_errorString.clear();
    return true;
}

void NetworkSerialPort::close() {
    m_connection.close();
    m_open = false;
    m_purgesAnswered = true;
}

QString NetworkSerialPort::lostConnection() const {
    return m_open && m_connection.state() == NetworkConnection::State::Failed
               ? m_connection.failure()
               : QString();
}

QString NetworkSerialPort::silence() const {
    if (!m_open || m_connection.state() != NetworkConnection::State::Open)
        return {};
    const int baud = m_connection.confirmedBaud();
    return QStringLiteral("%1 is connected, but the board behind it did not answer (%2).")
        .arg(m_connection.address().hostPort(),
             baud ? QStringLiteral("the server set its port to %1 baud").arg(baud)
                  : QStringLiteral("the server sets its port's speed itself"));
}

void NetworkSerialPort::discardInput() {
    if (m_open && m_purgesAnswered && m_connection.stillOpen() && m_connection.purge()) {
        // Until the server says it has purged, what comes is stale. (Waiting
        // for it also keeps the board's next answer from queueing behind it
        // at a server without TCP_NODELAY.)
        const QDeadlineTimer deadline(NetworkConnection::NegotiationLimitMs);
        while (m_connection.purgePending() && m_connection.stillOpen() && !deadline.hasExpired())
            m_connection.waitForInput(int(deadline.remainingTime()));
        // A server that keeps its purges to itself is not waited for again.
        m_purgesAnswered = !m_connection.purgePending();
    }
    m_connection.dropInput();
}

int NetworkSerialPort::bytesAvailable() {
    return int(m_connection.available());
}

bool NetworkSerialPort::writeByte(quint8 byte) {
    if (!m_open || !m_connection.stillOpen())
        return false;
    m_connection.sendData(QByteArray(1, char(byte)));
    return true;
}

bool NetworkSerialPort::waitForByte(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (m_connection.available() > 0)
            return true;
        // A closed connection answers every wait at once: say so instead of waiting.
        if (!m_open || !m_connection.stillOpen() || deadline.hasExpired())
            return false;
        m_connection.waitForInput(int(deadline.remainingTime()));
    }
}

int NetworkSerialPort::readByte() {
    return m_connection.readByte();
}
