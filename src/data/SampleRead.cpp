#include "SampleRead.h"

#include "Address.h"
#include "RSComm.h"

#include <array>

namespace SampleRead {
namespace {

using Bytes = std::array<int, 4>;

std::optional<int> readByte(RSComm& link, int address) {
    const QString text = link.RSRead(QStringLiteral("B%1").arg(address));
    if (link.LastReadFailed() || link.CommError())
        return std::nullopt;
    return text.toInt();
}

// The bytes above the lowest, the highest first, into bytes[1..size-1].
bool readUpper(RSComm& link, const ParsedAddress& a, Bytes& bytes) {
    for (int i = a.size() - 1; i >= 1; --i) {
        const auto byte = readByte(link, a.boardAddress + i);
        if (!byte)
            return false;
        bytes[size_t(i)] = *byte;
    }
    return true;
}

qint64 value(const ParsedAddress& a, const Bytes& b) {
    const qint64 low = b[0] + 256 * b[1];
    return a.letter == u'D' ? qint64(b[2] + 256 * b[3]) * 10000 + low : low;
}

} // namespace

std::optional<QString> read(RSComm& link, const QString& address) {
    const auto parsed = Address::parse(address);
    if (!parsed || parsed->size() == 1) {
        const QString text = link.RSRead(address);
        if (link.LastReadFailed() || link.CommError())
            return std::nullopt;
        return text;
    }
    const ParsedAddress& a = *parsed;
    // One transaction: timers and pollers leave the link alone between the bytes.
    return link.AsOneTransaction([&]() -> std::optional<QString> {
        Bytes before{}, after{};
        if (!readUpper(link, a, before))
            return std::nullopt;
        for (int repeat = 0; repeat <= MaxRepeats; ++repeat) {
            const auto lowest = readByte(link, a.boardAddress);
            if (!lowest || !readUpper(link, a, after))
                return std::nullopt;
            // The bytes above did not move while the lowest was read: all four
            // were the board's at that moment.
            if (after == before) {
                after[0] = *lowest;
                return QString::number(value(a, after));
            }
            before = after;
        }
        return std::nullopt;
    });
}

} // namespace SampleRead
