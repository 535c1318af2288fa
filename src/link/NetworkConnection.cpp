#include "NetworkConnection.h"

#include <QEventLoop>
#include <QHostAddress>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif
#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#endif

namespace {

// Qt counts from 0 (a refused connection) and -1 (unknown): shifted, so
// that no failure reads as "Error Number = 0".
int numberOf(QAbstractSocket::SocketError error) {
    return int(error) + 2;
}

// Acknowledges what was just read at once rather than after the system's
// delay (40 ms on Linux), for a server that sends one message in pieces
// without TCP_NODELAY (ser2net by default) and holds each later piece until
// the first is acknowledged. Called when a read ends inside a message (an
// acknowledgement on its own costs a packet; normally the next byte sent
// carries it).
void acknowledgeAtOnce([[maybe_unused]] const QTcpSocket& socket) {
#ifdef Q_OS_LINUX
    const int on = 1;
    ::setsockopt(int(socket.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

} // namespace

NetworkConnection::NetworkConnection(QObject* parent) : QObject(parent) {
    m_limit.setSingleShot(true);
    m_limit.setTimerType(Qt::PreciseTimer);
    connect(&m_limit, &QTimer::timeout, this, &NetworkConnection::limitReached);
    connect(&m_lookup, &HostLookup::finished, this, &NetworkConnection::hostLookedUp);
    connect(&m_socket, &QTcpSocket::connected, this, &NetworkConnection::socketConnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &NetworkConnection::socketFailed);
    connect(&m_socket, &QTcpSocket::readyRead, this, &NetworkConnection::takeIn);
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] { stillOpen(); });
}

NetworkConnection::~NetworkConnection() {
    close();
}

void NetworkConnection::start(const NetworkDevice::Address& address, int baud) {
    close();
    m_address = address;
    m_baud = baud;
    m_wasOpen = false;
    m_failure.clear();
    m_failureNumber = 0;
    m_lastError = QAbstractSocket::SocketTimeoutError;
    m_lastErrorText.clear();
    if (address.kind == NetworkDevice::Kind::Rfc2217)
        m_telnet.emplace();
    m_state = State::Connecting;
    // The name lookup and the connection share the limit.
    m_limit.start(NetworkDevice::ConnectLimitMs);
    if (QHostAddress literal; literal.setAddress(address.host)) {
        m_addresses = {literal};
        connectNext();
    } else {
        m_lookup.start(address.host);
    }
}

bool NetworkConnection::waitUntilSettled() {
    if (m_state == State::Connecting || m_state == State::Negotiating) {
        // The limits end the wait; meanwhile a window repaints and timers run
        // (the link is busy: they skip), but no click starts anything.
        QEventLoop loop;
        connect(this, &NetworkConnection::opened, &loop, &QEventLoop::quit);
        connect(this, &NetworkConnection::failed, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return m_state == State::Open;
}

void NetworkConnection::close() {
    ++m_generation;
    m_state = State::Closed;
    m_lookup.abandon();
    m_limit.stop();
    if (m_socket.state() != QAbstractSocket::UnconnectedState) {
        m_socket.disconnectFromHost();
        if (m_socket.state() != QAbstractSocket::UnconnectedState)
            m_socket.abort();
    }
    m_telnet.reset();
    m_addresses.clear();
    m_nextAddress = 0;
    m_input.clear();
    m_inputRead = 0;
}

int NetworkConnection::confirmedBaud() const {
    return m_telnet && m_telnet->comPort() && m_telnet->speedSettled() ? m_telnet->baud() : 0;
}

void NetworkConnection::hostLookedUp(const HostLookup::Result& result) {
    if (m_state != State::Connecting)
        return;
    switch (result.outcome) {
    case HostLookup::Outcome::Found:
        m_addresses = result.addresses;
        connectNext();
        return;
    case HostLookup::Outcome::NoSuchName:
        fail(QAbstractSocket::HostNotFoundError,
             describe(QAbstractSocket::HostNotFoundError, result.systemText));
        return;
    case HostLookup::Outcome::Failed:
        fail(QAbstractSocket::HostNotFoundError,
             QStringLiteral("the name of %1 cannot be looked up: %2")
                 .arg(m_address.hostPort(), result.systemText));
        return;
    }
}

// A name may stand for several addresses (IPv6 and IPv4 for one host): each
// is tried while time is left.
void NetworkConnection::connectNext() {
    if (m_state != State::Connecting)
        return;
    if (m_nextAddress >= m_addresses.size()) {
        fail(m_lastError, describe(m_lastError, m_lastErrorText));
        return;
    }
    m_socket.connectToHost(m_addresses.at(m_nextAddress++), m_address.port);
}

void NetworkConnection::socketConnected() {
    if (m_state != State::Connecting)
        return;
    // Every byte of the protocol waits for its answer: none may wait to be
    // gathered with the next.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket.setReadBufferSize(InputLimit);
    if (!m_telnet) {
        settled();
        return;
    }
    m_state = State::Negotiating;
    m_limit.start(NegotiationLimitMs);
    send(m_telnet->opening(m_baud));
}

void NetworkConnection::socketFailed(QAbstractSocket::SocketError error) {
    if (m_state == State::Connecting) {
        m_lastError = error;
        m_lastErrorText = m_socket.errorString();
        m_socket.abort();
        // Not from inside the socket's own signal.
        QMetaObject::invokeMethod(
            this,
            [this, generation = m_generation] {
                if (generation == m_generation)
                    connectNext();
            },
            Qt::QueuedConnection);
        return;
    }
    // A blocking wait that times out says so too: only a connection gone counts.
    if ((m_state == State::Negotiating || m_state == State::Open) &&
        m_socket.state() != QAbstractSocket::ConnectedState)
        fail(error, describe(error, m_socket.errorString()));
}

bool NetworkConnection::stillOpen() {
    if ((m_state == State::Open || m_state == State::Negotiating) &&
        m_socket.state() != QAbstractSocket::ConnectedState) {
        const auto error = m_socket.error() == QAbstractSocket::UnknownSocketError
                               ? QAbstractSocket::RemoteHostClosedError
                               : m_socket.error();
        fail(error, describe(error, m_socket.errorString()));
    }
    return m_state == State::Open;
}

void NetworkConnection::limitReached() {
    if (m_state == State::Connecting) {
        if (m_lookup.running())
            fail(QAbstractSocket::SocketTimeoutError,
                 QStringLiteral("the name of %1 was not looked up within %2 s: no answer from "
                                "the name server")
                     .arg(m_address.hostPort())
                     .arg(NetworkDevice::ConnectLimitMs / 1000));
        else
            fail(QAbstractSocket::SocketTimeoutError,
                 describe(QAbstractSocket::SocketTimeoutError, {}));
        return;
    }
    if (m_state != State::Negotiating)
        return;
    if (m_telnet->heardTelnet()) {
        settled(); // the server keeps its settings to itself
        return;
    }
    fail(QAbstractSocket::UnsupportedSocketOperationError,
         QStringLiteral("%1 does not answer in telnet (RFC 2217); a raw TCP port is written "
                        "socket://%1")
             .arg(m_address.hostPort()));
}

void NetworkConnection::settled() {
    m_limit.stop();
    m_state = State::Open;
    m_wasOpen = true;
    emit opened();
}

void NetworkConnection::fail(QAbstractSocket::SocketError error, const QString& words) {
    if (m_state == State::Closed || m_state == State::Failed)
        return;
    ++m_generation;
    m_state = State::Failed;
    m_failure = words;
    m_failureNumber = numberOf(error);
    m_lookup.abandon();
    m_limit.stop();
    m_socket.abort();
    emit failed();
}

QString NetworkConnection::describe(QAbstractSocket::SocketError error,
                                    const QString& systemText) const {
    const QString where = m_address.hostPort();
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("connection refused by %1").arg(where);
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("the host of %1 cannot be found (no such name)").arg(where);
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("no connection to %1 within %2 s")
            .arg(where)
            .arg(NetworkDevice::ConnectLimitMs / 1000);
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("connection closed by %1").arg(where);
    default:
        return QStringLiteral("no connection to %1: %2").arg(where, systemText);
    }
}

void NetworkConnection::send(const QByteArray& bytes) {
    if (bytes.isEmpty() || m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    if (m_socket.bytesToWrite() + bytes.size() > SendLimit) {
        fail(QAbstractSocket::UnsupportedSocketOperationError,
             QStringLiteral("%1 does not read what is sent to it (%2 bytes wait)")
                 .arg(m_address.hostPort())
                 .arg(m_socket.bytesToWrite() + bytes.size()));
        return;
    }
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

void NetworkConnection::sendData(const QByteArray& bytes) {
    if (!m_telnet) {
        send(bytes);
        return;
    }
    QByteArray wire;
    for (const char c : bytes)
        TelnetClient::appendData(wire, quint8(c));
    send(wire);
}

bool NetworkConnection::changeSpeed(int baud) {
    if (m_state != State::Open || !m_telnet || !m_telnet->comPort())
        return false;
    m_baud = baud;
    m_state = State::Negotiating;
    m_limit.start(NegotiationLimitMs);
    send(m_telnet->setBaud(baud));
    return true;
}

bool NetworkConnection::purge() {
    if (m_state != State::Open || !m_telnet)
        return false;
    const QByteArray command = m_telnet->purge();
    send(command);
    return !command.isEmpty();
}

void NetworkConnection::takeIn() {
    if (m_state != State::Negotiating && m_state != State::Open)
        return;
    if (m_socket.bytesAvailable() <= 0)
        return;
    const QByteArray bytes = m_socket.readAll();
    if (m_inputRead == m_input.size()) {
        m_input.clear();
        m_inputRead = 0;
    }
    const qsizetype before = m_input.size();
    if (m_telnet) {
        m_telnet->read(bytes.constData(), bytes.size(), m_input);
        if (const auto& broke = m_telnet->failure()) {
            fail(QAbstractSocket::UnsupportedSocketOperationError,
                 m_address.hostPort() + u' ' + *broke);
            return;
        }
        if (m_telnet->midCommand())
            acknowledgeAtOnce(m_socket);
        send(m_telnet->takeReplies());
    } else {
        m_input += bytes;
    }
    if (m_input.size() - m_inputRead > InputLimit) {
        fail(QAbstractSocket::UnsupportedSocketOperationError,
             QStringLiteral("%1 sends more than %2 bytes nobody asked for")
                 .arg(m_address.hostPort())
                 .arg(InputLimit));
        return;
    }
    if (m_state == State::Negotiating && m_telnet->speedSettled())
        settled();
    else if (m_state == State::Open && m_input.size() > before)
        emit dataArrived();
}

qsizetype NetworkConnection::available() {
    takeIn();
    return m_input.size() - m_inputRead;
}

int NetworkConnection::readByte() {
    if (m_inputRead >= m_input.size() && available() == 0)
        return -1;
    return quint8(m_input.at(m_inputRead++));
}

QByteArray NetworkConnection::takeInput() {
    takeIn();
    const QByteArray taken = m_input.mid(m_inputRead);
    m_input.clear();
    m_inputRead = 0;
    return taken;
}

void NetworkConnection::dropInput() {
    takeIn();
    m_input.clear();
    m_inputRead = 0;
}

void NetworkConnection::waitForInput(int timeoutMs) {
    if (m_state != State::Negotiating && m_state != State::Open)
        return;
    m_socket.waitForReadyRead(timeoutMs);
    takeIn();
    stillOpen();
}
