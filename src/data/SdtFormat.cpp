#include "SdtFormat.h"

#include "TextFields.h"

#include <QtEndian>

namespace SdtFormat {
namespace {

// Far above the 49 entries this program writes, far below what could exhaust memory.
constexpr qint32 MaxElements = 100'000;
constexpr int FixedPartBytes = 44 * 2;

class Writer {
public:
    void u16(quint16 v) { append(qToLittleEndian(v)); }
    void i16(qint16 v) { append(qToLittleEndian(v)); }
    void i32(qint32 v) { append(qToLittleEndian(v)); }
    void text(const QString& s) {
        const QByteArray bytes = Windows1252::encode(s).left(0xFFFF);
        u16(quint16(bytes.size()));
        out.append(bytes);
    }
    void arrayHeader(qsizetype count) {
        i16(1);
        i32(qint32(count));
        i32(0);
    }
    QByteArray out;

private:
    template <typename T> void append(T v) {
        out.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
};

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_bytes(bytes) {}
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    bool failed() const { return !m_why.isEmpty(); }
    const QString& why() const { return m_why; }
    void fail(const QString& why) {
        if (m_why.isEmpty())
            m_why = why;
    }

    template <typename T> T number() {
        if (failed() || remaining() < qsizetype(sizeof(T))) {
            fail(QStringLiteral("the file ends too early"));
            return 0;
        }
        T v = qFromLittleEndian<T>(m_bytes.constData() + m_pos);
        m_pos += sizeof(T);
        return v;
    }
    QString text() {
        const quint16 length = number<quint16>();
        if (failed() || remaining() < length) {
            fail(QStringLiteral("a text runs past the end of the file"));
            return {};
        }
        const QString s = Windows1252::decode(m_bytes.mid(m_pos, length));
        m_pos += length;
        return s;
    }
    // The element count of an array whose elements take at least minBytes each.
    qint32 arrayHeader(int minBytes) {
        const qint16 dimensions = number<qint16>();
        const qint32 count = number<qint32>();
        const qint32 lowerBound = number<qint32>();
        if (failed())
            return 0;
        if (dimensions != 1)
            fail(QStringLiteral("an array has %1 dimensions").arg(dimensions));
        else if (lowerBound != 0)
            fail(QStringLiteral("an array starts at %1").arg(lowerBound));
        else if (count < 0 || count > MaxElements || qint64(count) * minBytes > remaining())
            fail(QStringLiteral("an array claims %1 entries").arg(count));
        return failed() ? 0 : count;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
    QString m_why;
};

} // namespace

QByteArray encode(const SetupRecord& record) {
    Writer w;
    w.text(record.VersionTag);
    w.arrayHeader(record.AddressTable.size());
    for (const QString& address : record.AddressTable)
        w.text(address);
    w.arrayHeader(record.ValueTable.size());
    for (const qint32 value : record.ValueTable)
        w.i32(value);
    w.i16(record.PlsConfig0);
    w.i16(record.PlsScale);
    w.i16(record.PlsOffset);
    w.i16(record.PlsConfig1);
    for (const qint16 item : record.PlsConfig2to9)
        w.i16(item);
    for (int column = 0; column < 2; ++column)
        for (const auto& channel : record.ChannelSetpoint)
            w.i16(channel[size_t(column)]);
    return w.out;
}

std::optional<SetupRecord> decode(const QByteArray& bytes, QString* why) {
    Reader r(bytes);
    SetupRecord record;
    record.VersionTag = r.text();
    const qint32 addresses = r.arrayHeader(2);
    for (qint32 i = 0; i < addresses && !r.failed(); ++i)
        record.AddressTable.append(r.text());
    const qint32 values = r.arrayHeader(4);
    for (qint32 i = 0; i < values && !r.failed(); ++i)
        record.ValueTable.append(r.number<qint32>());
    if (!r.failed() && r.remaining() < FixedPartBytes)
        r.fail(QStringLiteral("the PLS part is missing"));
    record.PlsConfig0 = r.number<qint16>();
    record.PlsScale = r.number<qint16>();
    record.PlsOffset = r.number<qint16>();
    record.PlsConfig1 = r.number<qint16>();
    for (qint16& item : record.PlsConfig2to9)
        item = r.number<qint16>();
    for (int column = 0; column < 2; ++column)
        for (auto& channel : record.ChannelSetpoint)
            channel[size_t(column)] = r.number<qint16>();
    if (r.failed()) {
        if (why)
            *why = r.why();
        return std::nullopt;
    }
    return record;
}

} // namespace SdtFormat
