#pragma once

#include "HostLookup.h"
#include "NetworkDevice.h"
#include "TelnetClient.h"

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <optional>

// The one way to a serial device server, for the link's port, the board
// search and the settings window's check: the host's name looked up off the
// thread, the connection made (both within the connect limit), for
// rfc2217:// the telnet options and the port's speed agreed; then the bytes
// both ways. What may wait to be sent and what may wait to be read stay
// small: a server that reads nothing, floods, or breaks the telnet rules is
// dropped with words that name it. Runs on its thread's event loop
// (signals); waitUntilSettled() runs that loop, user input aside, for a
// caller that blocks, so that a window repaints meanwhile. Never listens.
class NetworkConnection final : public QObject {
    Q_OBJECT
public:
    // A server that has not answered the telnet options and the speed by then
    // keeps its own settings (a server may refuse any of them).
    static constexpr int NegotiationLimitMs = 1000;
    // Bytes waiting to go out beyond what the system has taken: the link
    // sends a byte at a time, so a server this far behind reads nothing.
    static constexpr qsizetype SendLimit = 16 * 1024;
    // Bytes read and not yet taken: a board answers byte for byte, so this
    // many come from a server that sends what nobody asked for.
    static constexpr qsizetype InputLimit = 64 * 1024;

    enum class State { Closed, Connecting, Negotiating, Open, Failed };

    explicit NetworkConnection(QObject* parent = nullptr);
    ~NetworkConnection() override;

    // Connects anew (a connection there was is closed first); for rfc2217://
    // the server's port is set to baud. opened() or failed() follows.
    void start(const NetworkDevice::Address& address, int baud);
    // Runs this thread's events (user input held back) until the connection
    // is open or has failed; true when open.
    bool waitUntilSettled();
    void close();

    State state() const { return m_state; }
    bool isOpen() const { return m_state == State::Open; }
    const NetworkDevice::Address& address() const { return m_address; }
    // Why it could not be opened, or why an open one ended: words that name
    // host and port ("connection refused by 10.1.2.3:3001"); the number the
    // link shows with them (never 0).
    const QString& failure() const { return m_failure; }
    int failureNumber() const { return m_failureNumber; }
    // The connection was open before it failed (a lost connection).
    bool wasOpen() const { return m_wasOpen; }
    // Open, after noticing a connection the server has closed meanwhile.
    bool stillOpen();
    // rfc2217:// with the COM port option in force: the speed the server
    // confirmed; 0 otherwise (the server's own speed).
    int confirmedBaud() const;

    // Sends data bytes (doubled 255s under telnet).
    void sendData(const QByteArray& bytes);
    // rfc2217:// with the COM port option: sets another speed; the
    // connection negotiates again and opened() comes once it is settled.
    // False (nothing sent) where the server sets the speed itself.
    bool changeSpeed(int baud);
    // rfc2217:// with the COM port option: asks the server to drop what its
    // port holds; purgePending() until it says it has. False where nothing
    // was sent.
    bool purge();
    bool purgePending() const { return m_telnet && m_telnet->purgePending(); }

    // Data read and not yet taken, after reading what has arrived.
    qsizetype available();
    int readByte(); // -1 when none is there
    QByteArray takeInput();
    void dropInput();
    // Blocks until more bytes arrive or timeoutMs passes (no event loop).
    void waitForInput(int timeoutMs);

signals:
    void opened();
    // Not opened, or an open connection ended: failure() says why.
    void failed();
    void dataArrived();

private:
    void hostLookedUp(const HostLookup::Result& result);
    void connectNext();
    void socketConnected();
    void socketFailed(QAbstractSocket::SocketError error);
    void limitReached();
    void takeIn();
    void send(const QByteArray& bytes);
    void settled();
    void fail(QAbstractSocket::SocketError error, const QString& words);
    QString describe(QAbstractSocket::SocketError error, const QString& systemText) const;

    QTcpSocket m_socket;
    HostLookup m_lookup;
    QTimer m_limit;
    NetworkDevice::Address m_address;
    int m_baud = 9600;
    std::optional<TelnetClient> m_telnet; // rfc2217:// only
    QList<QHostAddress> m_addresses;
    qsizetype m_nextAddress = 0;
    QAbstractSocket::SocketError m_lastError = QAbstractSocket::SocketTimeoutError;
    QString m_lastErrorText;
    State m_state = State::Closed;
    int m_generation = 0; // a queued step of an earlier connection does not run
    bool m_wasOpen = false;
    QString m_failure;
    int m_failureNumber = 0;
    QByteArray m_input;
    qsizetype m_inputRead = 0;
};
