#include "NetworkSerialPort.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>

bool NetworkSerialPort::open(const PortSettings& settings) {
    close();
    m_device = settings.device.trimmed();
    const auto parsed = NetworkDevice::parse(m_device);
    if (const QString* why = std::get_if<QString>(&parsed)) {
        m_errorNumber =
            NetworkDevice::failureNumber(QAbstractSocket::UnsupportedSocketOperationError);
        m_errorString = *why;
        return false;
    }
    m_address = std::get<NetworkDevice::Address>(parsed);
    if (!connectTo(QDeadlineTimer(NetworkDevice::ConnectLimitMs)))
        return false;
    // Every byte of the protocol waits for its answer: none may wait to be
    // gathered with the next.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (m_address.kind == NetworkDevice::Kind::Rfc2217) {
        m_telnet.emplace();
        if (!negotiate(settings.baud.toInt() == 19200 ? 19200 : 9600)) {
            m_socket.abort();
            m_telnet.reset();
            return false;
        }
    }
    m_open = true;
    m_errorNumber = 0;
    m_errorString.clear();
    return true;
}

bool NetworkSerialPort::fail(QAbstractSocket::SocketError error, const QString& systemText) {
    m_errorNumber = NetworkDevice::failureNumber(error);
    m_errorString = NetworkDevice::failure(m_address, error, systemText);
    m_socket.abort();
    return false;
}

bool NetworkSerialPort::connectTo(const QDeadlineTimer& deadline) {
    QList<QHostAddress> addresses;
    if (QHostAddress literal; literal.setAddress(m_address.host)) {
        addresses = {literal};
    } else {
        const QHostInfo info = QHostInfo::fromName(m_address.host);
        addresses = info.addresses();
        if (addresses.isEmpty())
            return fail(QAbstractSocket::HostNotFoundError, info.errorString());
    }
    // A name may stand for several addresses (IPv6 and IPv4 for one host):
    // each is tried while time is left.
    auto error = QAbstractSocket::SocketTimeoutError;
    QString systemText;
    for (const QHostAddress& address : std::as_const(addresses)) {
        if (deadline.hasExpired())
            break;
        m_socket.connectToHost(address, m_address.port);
        if (m_socket.waitForConnected(int(deadline.remainingTime())))
            return true;
        error = m_socket.error();
        systemText = m_socket.errorString();
        m_socket.abort();
    }
    if (deadline.hasExpired())
        error = QAbstractSocket::SocketTimeoutError;
    return fail(error, systemText);
}

bool NetworkSerialPort::negotiate(int baud) {
    send(m_telnet->opening(baud));
    const QDeadlineTimer deadline(NegotiationLimitMs);
    while (!m_telnet->speedSettled() && !deadline.hasExpired()) {
        if (!m_socket.waitForReadyRead(int(deadline.remainingTime())) &&
            m_socket.state() != QAbstractSocket::ConnectedState)
            return fail(m_socket.error(), m_socket.errorString());
        takeIn();
    }
    if (m_telnet->heardTelnet())
        return true;
    m_errorNumber = NetworkDevice::failureNumber(QAbstractSocket::UnsupportedSocketOperationError);
    m_errorString = QStringLiteral("%1 does not answer in telnet (RFC 2217); a raw TCP port is "
                                   "written socket://%1")
                        .arg(m_address.hostPort());
    return false;
}

void NetworkSerialPort::close() {
    if (m_socket.state() != QAbstractSocket::UnconnectedState) {
        m_socket.disconnectFromHost();
        if (m_socket.state() != QAbstractSocket::UnconnectedState)
            m_socket.abort();
    }
    m_open = false;
    m_lost.clear();
    m_telnet.reset();
    m_input.clear();
    m_inputRead = 0;
}

void NetworkSerialPort::send(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    m_socket.write(bytes);
    // Out now, not when the event loop next runs.
    m_socket.flush();
}

void NetworkSerialPort::takeIn() {
    if (m_socket.bytesAvailable() <= 0)
        return;
    const QByteArray bytes = m_socket.readAll();
    if (m_inputRead == m_input.size()) {
        m_input.clear();
        m_inputRead = 0;
    }
    if (!m_telnet) {
        m_input += bytes;
        return;
    }
    m_telnet->read(bytes.constData(), bytes.size(), m_input);
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        send(m_telnet->takeReplies());
}

bool NetworkSerialPort::connected() {
    if (!m_lost.isEmpty())
        return false;
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        return true;
    const auto error = m_socket.error() == QAbstractSocket::UnknownSocketError
                           ? QAbstractSocket::RemoteHostClosedError
                           : m_socket.error();
    m_lost = NetworkDevice::failure(m_address, error, m_socket.errorString());
    return false;
}

void NetworkSerialPort::discardInput() {
    takeIn();
    m_input.clear();
    m_inputRead = 0;
    if (m_telnet && m_open && connected())
        send(m_telnet->purge());
}

int NetworkSerialPort::bytesAvailable() {
    takeIn();
    return int(m_input.size() - m_inputRead);
}

bool NetworkSerialPort::writeByte(quint8 byte) {
    if (!m_open || !connected())
        return false;
    QByteArray wire;
    if (m_telnet)
        TelnetClient::appendData(wire, byte);
    else
        wire.append(char(byte));
    send(wire);
    return true;
}

bool NetworkSerialPort::waitForByte(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        takeIn();
        if (m_inputRead < m_input.size())
            return true;
        // A closed connection answers every wait at once: say so instead of waiting.
        if (!m_open || !connected() || deadline.hasExpired())
            return false;
        m_socket.waitForReadyRead(int(deadline.remainingTime()));
    }
}

int NetworkSerialPort::readByte() {
    if (m_inputRead >= m_input.size() && bytesAvailable() == 0)
        return -1;
    return quint8(m_input.at(m_inputRead++));
}
