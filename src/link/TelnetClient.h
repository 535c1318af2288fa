#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The client's side of a telnet connection with the COM port option
// (RFC 2217), without any I/O: what to send, and what the server's bytes
// mean. Data passes as binary: a 255 in it is doubled on the wire both ways.
// Options the server offers or asks for are agreed to only for binary
// transmission, suppressed go-ahead and the COM port option; a server that
// refuses any of them is no error. Whatever the server sends, what the
// client owes it stays small: each request is answered at most once, each
// option refused at most RefusalLimit times, the port settings sent once;
// a server that goes past that, sends a subnegotiation without end or sets
// another speed than asked has failed (failure()), and is read no further.
class TelnetClient {
public:
    static constexpr quint8 Iac = 255;
    // Refusals of one option in one connection: enough for any server that
    // changes its mind, too few for one that offers again whatever it is told.
    static constexpr int RefusalLimit = 3;
    // A longer subnegotiation (IAC SB ... without IAC SE) is no server's
    // message but a link gone deaf.
    static constexpr qsizetype SubnegotiationCap = 1024;

    // The first bytes to send: our options. The port settings (baud rate,
    // 8 data bits, no parity, 1 stop bit, no flow control, DTR and RTS on)
    // follow once the server takes the COM port option.
    QByteArray opening(int baud);
    // Asks the server to set its port's speed; speedSettled() turns false
    // until the server answers.
    QByteArray setBaud(int baud);
    // Asks the server to drop what its port has received and not yet sent,
    // both ways; empty unless the server took the COM port option.
    // purgePending() until the server says it has.
    QByteArray purge();
    bool purgePending() const { return m_purgePending; }
    // One data byte as it goes on the wire.
    static void appendData(QByteArray& wire, quint8 byte);

    // Reads the server's bytes: their data goes to the end of data; answers
    // owed to the server collect in replies(). Nothing more is read once
    // the server has failed.
    void read(const char* bytes, qsizetype size, QByteArray& data);
    // What is to be sent to the server now; taking it empties it.
    QByteArray takeReplies();

    // Why the connection must end, as what the server did ("set its port to
    // 9600 baud, not 19200 baud as asked"); nullopt while it behaves.
    const std::optional<QString>& failure() const { return m_failure; }
    // The last bytes read ended inside a command: the rest is yet to come.
    bool midCommand() const { return m_state != State::Data; }
    // The server has said something in telnet (any command).
    bool heardTelnet() const { return m_heardTelnet; }
    // The COM port option is agreed on.
    bool comPort() const { return m_us[ComPortOption]; }
    // The speed last asked for is in force as far as the server tells: it
    // answered it, or it refused the COM port option.
    bool speedSettled() const { return !m_speedPending; }
    // The speed last asked for.
    int baud() const { return m_baud; }

private:
    static constexpr quint8 ComPortOption = 44;
    enum class State { Data, Command, Option, Sub, SubCommand };

    void command(quint8 byte, QByteArray& data);
    void option(quint8 verb, quint8 option);
    void subByte(quint8 byte);
    void subnegotiation();
    void speedAnswered(const QByteArray& value);
    void send(quint8 verb, quint8 option);
    // A refusal (WONT or DONT), counted against the option's limit.
    void refuse(quint8 verb, quint8 option);
    void fail(const QString& what);
    void sendSettings();
    static QByteArray comPortCommand(quint8 code, const QByteArray& value);

    State m_state = State::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    qsizetype m_subLength = 0;
    QByteArray m_replies;
    int m_baud = 9600;
    bool m_speedPending = false;
    bool m_purgePending = false;
    bool m_heardTelnet = false;
    bool m_settingsSent = false;
    std::optional<QString> m_failure;
    // Options in force on our side and the server's, and those we asked
    // for and await an answer to (an answer to a request is not answered).
    std::array<bool, 256> m_us{};
    std::array<bool, 256> m_them{};
    std::array<bool, 256> m_askedUs{};
    std::array<bool, 256> m_askedThem{};
    std::array<quint8, 256> m_refusals{};
};
