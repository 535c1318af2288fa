#include "NetworkSerialPort.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

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
        if (!negotiate(settings.speed().bitsPerSecond())) {
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
    m_purgesAnswered = true;
    m_input.clear();
    m_inputRead = 0;
}

void NetworkSerialPort::send(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    qsizetype sent = 0;
#ifdef Q_OS_UNIX
    // Straight to the socket while nothing waits in Qt's buffer before it:
    // QTcpSocket's write switches its write notifier on and off around
    // every byte, two system calls more for each exchange.
    if (m_socket.bytesToWrite() == 0) {
        const ssize_t n = ::send(int(m_socket.socketDescriptor()), bytes.constData(),
                                 size_t(bytes.size()), MSG_NOSIGNAL);
        sent = n > 0 ? qsizetype(n) : 0;
    }
#endif
    if (sent == bytes.size())
        return;
    m_socket.write(bytes.constData() + sent, bytes.size() - sent);
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
    if (m_telnet->midCommand())
        NetworkDevice::acknowledgeAtOnce(m_socket);
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
    if (m_telnet && m_open && m_purgesAnswered && connected()) {
        // Until the server says it has purged, what comes is stale. (Waiting
        // for it also keeps the board's next answer from queueing behind it
        // at a server without TCP_NODELAY.)
        send(m_telnet->purge());
        const QDeadlineTimer deadline(NegotiationLimitMs);
        while (m_telnet->purgePending() && connected() && !deadline.hasExpired()) {
            m_socket.waitForReadyRead(int(deadline.remainingTime()));
            takeIn();
        }
        // A server that keeps its purges to itself is not waited for again.
        m_purgesAnswered = !m_telnet->purgePending();
    }
    m_input.clear();
    m_inputRead = 0;
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
