#include "TelnetClient.h"

#include <utility>

namespace {

// Telnet commands (RFC 854) and the options we agree to.
constexpr quint8 Se = 240;
constexpr quint8 Sb = 250;
constexpr quint8 Will = 251;
constexpr quint8 Wont = 252;
constexpr quint8 Do = 253;
constexpr quint8 Dont = 254;
constexpr quint8 Binary = 0;
constexpr quint8 SuppressGoAhead = 3;

// COM port option commands (RFC 2217); the server answers each with its code + 100.
constexpr quint8 SetBaudrate = 1;
constexpr quint8 SetDatasize = 2;
constexpr quint8 SetParity = 3;
constexpr quint8 SetStopsize = 4;
constexpr quint8 SetControl = 5;
constexpr quint8 PurgeData = 12;
constexpr quint8 ServerOffset = 100;
constexpr quint8 ParityNone = 1;
constexpr quint8 OneStopBit = 1;
constexpr quint8 NoFlowControl = 1;
constexpr quint8 DtrOn = 8;
constexpr quint8 RtsOn = 11;
constexpr quint8 PurgeBoth = 3;

// Longer subnegotiations (a server's signature text) are not ours to read.
constexpr qsizetype SubLimit = 16;
constexpr qsizetype BaudBytes = 4;

QByteArray bigEndian(quint32 value) {
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, sizeof bytes);
}

quint32 fromBigEndian(const QByteArray& bytes) {
    quint32 value = 0;
    for (const char c : bytes)
        value = value << 8 | quint8(c);
    return value;
}

} // namespace

void TelnetClient::appendData(QByteArray& wire, quint8 byte) {
    wire.append(char(byte));
    if (byte == Iac)
        wire.append(char(Iac));
}

QByteArray TelnetClient::comPortCommand(quint8 code, const QByteArray& value) {
    const char head[] = {char(Iac), char(Sb), char(ComPortOption), char(code)};
    QByteArray wire(head, sizeof head);
    for (const char c : value)
        appendData(wire, quint8(c));
    wire.append(char(Iac));
    wire.append(char(Se));
    return wire;
}

QByteArray TelnetClient::opening(int baud) {
    m_baud = baud;
    m_speedPending = true;
    for (const quint8 option : {Binary, SuppressGoAhead, ComPortOption}) {
        m_askedUs[option] = true;
        send(Will, option);
    }
    for (const quint8 option : {Binary, SuppressGoAhead}) {
        m_askedThem[option] = true;
        send(Do, option);
    }
    return takeReplies();
}

QByteArray TelnetClient::setBaud(int baud) {
    m_baud = baud;
    if (!comPort())
        return {};
    m_speedPending = true;
    return comPortCommand(SetBaudrate, bigEndian(quint32(baud)));
}

QByteArray TelnetClient::purge() {
    if (!comPort())
        return {};
    m_purgePending = true;
    return comPortCommand(PurgeData, QByteArray(1, char(PurgeBoth)));
}

void TelnetClient::sendSettings() {
    // Once per connection: a server that takes the option again and again
    // is not sent them again and again.
    if (std::exchange(m_settingsSent, true))
        return;
    m_speedPending = true;
    m_replies += comPortCommand(SetBaudrate, bigEndian(quint32(m_baud)));
    m_replies += comPortCommand(SetDatasize, QByteArray(1, char(8)));
    m_replies += comPortCommand(SetParity, QByteArray(1, char(ParityNone)));
    m_replies += comPortCommand(SetStopsize, QByteArray(1, char(OneStopBit)));
    // As a local port is opened: no flow control, DTR and RTS raised (a
    // server whose port has no such lines does not answer these).
    for (const quint8 control : {NoFlowControl, DtrOn, RtsOn})
        m_replies += comPortCommand(SetControl, QByteArray(1, char(control)));
}

void TelnetClient::send(quint8 verb, quint8 option) {
    m_replies.append(char(Iac));
    m_replies.append(char(verb));
    m_replies.append(char(option));
}

void TelnetClient::refuse(quint8 verb, quint8 option) {
    if (m_refusals[option] >= RefusalLimit) {
        fail(QStringLiteral("keeps renegotiating telnet option %1 (refused %2 times)")
                 .arg(option)
                 .arg(RefusalLimit));
        return;
    }
    ++m_refusals[option];
    send(verb, option);
}

void TelnetClient::fail(const QString& what) {
    if (!m_failure)
        m_failure = what;
}

QByteArray TelnetClient::takeReplies() {
    return std::exchange(m_replies, QByteArray());
}

void TelnetClient::read(const char* bytes, qsizetype size, QByteArray& data) {
    for (qsizetype i = 0; i < size && !m_failure; ++i) {
        const quint8 byte = quint8(bytes[i]);
        switch (m_state) {
        case State::Data:
            if (byte == Iac)
                m_state = State::Command;
            else
                data.append(char(byte));
            break;
        case State::Command:
            command(byte, data);
            break;
        case State::Option:
            option(m_verb, byte);
            m_state = State::Data;
            break;
        case State::Sub:
            if (byte == Iac)
                m_state = State::SubCommand;
            else
                subByte(byte);
            break;
        case State::SubCommand:
            if (byte == Iac) {
                m_state = State::Sub;
                subByte(Iac);
            } else if (byte == Se) {
                subnegotiation();
                m_state = State::Data;
            } else {
                // A subnegotiation cut short by another command: dropped.
                command(byte, data);
            }
            break;
        }
    }
}

void TelnetClient::command(quint8 byte, QByteArray& data) {
    m_state = State::Data;
    if (byte == Iac) {
        data.append(char(Iac));
        return;
    }
    m_heardTelnet = true;
    if (byte >= Will) {
        m_verb = byte;
        m_state = State::Option;
    } else if (byte == Sb) {
        m_sub.clear();
        m_subLength = 0;
        m_state = State::Sub;
    }
    // Anything else (no operation, go ahead, data mark, ...) means nothing here.
}

void TelnetClient::option(quint8 verb, quint8 option) {
    const bool weTake = option == Binary || option == SuppressGoAhead || option == ComPortOption;
    const bool theyMay = option == Binary || option == SuppressGoAhead;
    switch (verb) {
    case Will:
        if (!theyMay) {
            refuse(Dont, option);
        } else if (!m_them[option]) {
            m_them[option] = true;
            if (!m_askedThem[option])
                send(Do, option);
        }
        m_askedThem[option] = false;
        break;
    case Wont:
        if (m_them[option]) {
            m_them[option] = false;
            refuse(Dont, option);
        }
        m_askedThem[option] = false;
        break;
    case Do:
        if (!weTake) {
            refuse(Wont, option);
        } else if (!m_us[option]) {
            m_us[option] = true;
            if (!m_askedUs[option])
                send(Will, option);
            if (option == ComPortOption)
                sendSettings();
        }
        m_askedUs[option] = false;
        break;
    case Dont:
        if (m_us[option]) {
            m_us[option] = false;
            refuse(Wont, option);
        }
        m_askedUs[option] = false;
        if (option == ComPortOption)
            m_speedPending = false; // refused: the speed is the server's
        break;
    }
}

// What is kept of a subnegotiation is its start; its length counts in full
// (an escaped 255 as one byte).
void TelnetClient::subByte(quint8 byte) {
    if (++m_subLength > SubnegotiationCap) {
        fail(QStringLiteral("sent a telnet subnegotiation longer than %1 bytes without its end")
                 .arg(SubnegotiationCap));
        return;
    }
    if (m_sub.size() < SubLimit)
        m_sub.append(char(byte));
}

void TelnetClient::subnegotiation() {
    if (m_subLength > SubLimit || m_sub.size() < 2 || quint8(m_sub[0]) != ComPortOption)
        return;
    if (quint8(m_sub[1]) == SetBaudrate + ServerOffset)
        speedAnswered(m_sub.mid(2));
    else if (quint8(m_sub[1]) == PurgeData + ServerOffset)
        m_purgePending = false;
}

// A speed is in force only when the server says it set the one asked for.
void TelnetClient::speedAnswered(const QByteArray& value) {
    const QString asked = QStringLiteral("%1 baud").arg(m_baud);
    const QString answered = QStringLiteral("%1 baud").arg(fromBigEndian(value));
    if (value.size() != BaudBytes)
        fail(QStringLiteral("answered the request for %1 without a speed").arg(asked));
    else if (!comPort())
        fail(QStringLiteral("answered %1 for the COM port option it never agreed to (%2 asked)")
                 .arg(answered, asked));
    else if (fromBigEndian(value) != quint32(m_baud))
        fail(QStringLiteral("set its port to %1, not %2 as asked").arg(answered, asked));
    else
        m_speedPending = false;
}
