// Register read and write transactions.
#include "RSComm.h"

#include "Prompt.h"

namespace {
constexpr int ReadMode = 1;
constexpr int WriteMode = 2;
constexpr quint64 ValueCap = 1'000'000'000'000ULL; // far above every range; stops overflow
} // namespace

RSComm::Outcome RSComm::ReadRegister(const QString& add, qint64& value) {
    ParsedAddress a;
    if (m_boardMode == ReadMode && add.compare(m_readCache.address, Qt::CaseInsensitive) == 0) {
        a = m_readCache.parsed;
    } else {
        const auto parsed = Address::parse(add);
        if (!parsed)
            return Outcome::Failed; // nothing is sent for an address that does not resolve
        if (m_boardMode != ReadMode && !EnterBoardMode(ReadMode, ReadMode))
            return Outcome::Failed;
        a = *parsed;
        m_readCache.address = add;
        m_readCache.parsed = a;
    }
    for (int i = 0; i < a.size(); ++i) {
        const int address = a.boardAddress + i;
        const int high = ExchangeByte(address >> 8);
        if (high == NoReply)
            return Outcome::Failed;
        if (high != address >> 8) {
            m_boardMode = 0;
            return Outcome::WrongEcho;
        }
        const int data = ExchangeByte(address & 0xFF);
        if (data == NoReply)
            return Outcome::Failed;
        if (data == Resynced)
            return Outcome::WrongEcho;
        m_readCache.buffer[size_t(i)] = quint8(data);
    }
    const auto& b = m_readCache.buffer;
    if (a.bitFlag)
        value = (b[0] & a.bitMask) ? 1 : 0;
    else if (a.letter == u'W')
        value = b[0] + 256 * b[1];
    else if (a.letter == u'D')
        value = qint64(b[2] + 256 * b[3]) * 10000 + (b[0] + 256 * b[1]);
    else
        value = b[0];
    return Outcome::Done;
}

QString RSComm::RSRead(const QString& add) {
    BusyGuard busy(*this);
    qint64 value = 0;
    Outcome outcome = ReadRegister(add, value);
    // A wrong echo is tried once more from a fresh handshake, as a write is.
    if (outcome == Outcome::WrongEcho && !m_commError)
        outcome = ReadRegister(add, value);
    m_lastReadFailed = outcome != Outcome::Done;
    return m_lastReadFailed ? QStringLiteral("0") : QString::number(value);
}

void RSComm::EntryAlert(const QString& reason) {
    m_prompt.message(QStringLiteral("ENTRY ALERT"), QStringLiteral("Error:\r") + reason,
                     Prompt::Icon::Critical);
}

// Digits are kept; blanks, "%", "," and the degree sign are skipped; "." is the
// decimal point and the fraction rounds half to even. nullopt for any other
// character.
std::optional<quint64> RSComm::ScanValueText(const QString& dataValue) {
    quint64 whole = 0;
    QString fraction;
    bool inFraction = false;
    for (const QChar c : dataValue) {
        if (c >= u'0' && c <= u'9') {
            if (inFraction)
                fraction.append(c);
            else
                whole = std::min(ValueCap, whole * 10 + quint64(c.unicode() - '0'));
        } else if (c == u'.') {
            inFraction = true;
        } else if (c != u' ' && c != u'%' && c != u',' && c != QChar(0x00B0)) {
            return std::nullopt;
        }
    }
    if (!fraction.isEmpty()) {
        const QChar first = fraction[0];
        const bool restZero = fraction.mid(1).count(u'0') == fraction.size() - 1;
        const bool up = first > u'5' || (first == u'5' && (!restZero || whole % 2 == 1));
        if (up)
            whole = std::min(ValueCap, whole + 1);
    }
    return whole;
}

RSComm::Outcome RSComm::WriteRegister(const QString& add, const QString& dataValue) {
    const auto scanned = ScanValueText(dataValue);
    if (!scanned) {
        EntryAlert(QStringLiteral("Only Numerical Data Allowed."));
        return Outcome::Refused;
    }
    const quint64 value = *scanned;
    const auto parsed = Address::parse(add);
    if (!parsed)
        return Outcome::Failed;
    const ParsedAddress& a = *parsed;

    quint8 bytes[4] = {};
    int count = 0;
    if (a.bitFlag) {
        if (value > 1) {
            EntryAlert(QStringLiteral("Enter 0 or 1 Only."));
            return Outcome::Refused;
        }
        // The other seven bits are written back only as they were read.
        const QString byteAddress = QStringLiteral("B") + QString::number(a.boardAddress);
        qint64 old = 0;
        Outcome read = ReadRegister(byteAddress, old);
        if (read == Outcome::WrongEcho && !m_commError)
            read = ReadRegister(byteAddress, old);
        if (read != Outcome::Done)
            return read;
        bytes[0] = quint8((value ? (old | a.bitMask) : (old & ~a.bitMask)) & 0xFF);
        count = 1;
    } else if (a.letter == u'B') {
        if (value > 255) {
            EntryAlert(QStringLiteral("Entry out of Range (0-255)."));
            return Outcome::Refused;
        }
        bytes[0] = quint8(value);
        count = 1;
    } else if (a.letter == u'W') {
        if (value > 65535) {
            EntryAlert(QStringLiteral("Entry out of Range (0-65,535)."));
            return Outcome::Refused;
        }
        bytes[0] = quint8(value % 256);
        bytes[1] = quint8(value / 256);
        count = 2;
    } else {
        if (value > 655359999) {
            EntryAlert(QStringLiteral("Entry out of Range (0-655,359,999)."));
            return Outcome::Refused;
        }
        const quint64 low = value % 10000;
        const quint64 high = value / 10000;
        bytes[0] = quint8(low % 256);
        bytes[1] = quint8(low / 256);
        bytes[2] = quint8(high % 256);
        bytes[3] = quint8(high / 256);
        count = 4;
    }

    if (m_boardMode != WriteMode && !EnterBoardMode(WriteMode, WriteMode))
        return Outcome::Failed;
    for (int i = 0; i < count; ++i) {
        const int address = a.boardAddress + i;
        for (const int sent : {address >> 8, address & 0xFF, int(bytes[i])}) {
            const int echo = ExchangeByte(sent);
            if (echo == NoReply)
                return Outcome::Failed;
            if (echo != sent) {
                m_boardMode = 0;
                return Outcome::WrongEcho;
            }
        }
    }
    return Outcome::Done;
}

void RSComm::RSWrite(const QString& add, const QString& dataValue) {
    BusyGuard busy(*this);
    Outcome outcome = WriteRegister(add, dataValue);
    if (outcome == Outcome::WrongEcho)
        outcome = WriteRegister(add, dataValue);
    m_lastWriteRefused = outcome == Outcome::Refused;
    m_lastWriteFailed = outcome == Outcome::WrongEcho || outcome == Outcome::Failed;
}
