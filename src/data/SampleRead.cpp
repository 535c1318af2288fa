#include "SampleRead.h"

#include "Address.h"
#include "BoardLink.h"
#include "RSComm.h"

#include <array>
#include <functional>

namespace SampleRead {
namespace {

using Bytes = std::array<int, 4>;
// One byte of the board by its address; nullopt when the read failed.
using ByteReader = std::function<std::optional<int>(int address)>;

std::optional<int> readByte(RSComm& link, int address) {
    const QString text = link.RSRead(QStringLiteral("B%1").arg(address));
    if (link.LastReadFailed() || link.CommError())
        return std::nullopt;
    return text.toInt();
}

std::optional<int> readByte(BoardLink& link, int address) {
    ParsedAddress byte;
    byte.boardAddress = address;
    const auto value = link.read(byte);
    return value ? std::optional<int>(int(value.value())) : std::nullopt;
}

// The bytes above the lowest, the highest first, into bytes[1..size-1].
bool readUpper(const ByteReader& readByte, const ParsedAddress& a, Bytes& bytes) {
    for (int i = a.size() - 1; i >= 1; --i) {
        const auto byte = readByte(a.boardAddress + i);
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

// A word or a double, its bytes of one moment.
std::optional<qint64> readWhole(const ByteReader& readByte, const ParsedAddress& a) {
    Bytes before{}, after{};
    if (!readUpper(readByte, a, before))
        return std::nullopt;
    for (int repeat = 0; repeat <= MaxRepeats; ++repeat) {
        const auto lowest = readByte(a.boardAddress);
        if (!lowest || !readUpper(readByte, a, after))
            return std::nullopt;
        // The bytes above did not move while the lowest was read: all four
        // were the board's at that moment.
        if (after == before) {
            after[0] = *lowest;
            return value(a, after);
        }
        before = after;
    }
    return std::nullopt;
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
    // One transaction: timers and pollers leave the link alone between the bytes.
    return link.AsOneTransaction([&]() -> std::optional<QString> {
        const auto whole = readWhole([&](int at) { return readByte(link, at); }, *parsed);
        return whole ? std::optional<QString>(QString::number(*whole)) : std::nullopt;
    });
}

std::optional<qint64> read(BoardLink& link, const QString& address) {
    const auto parsed = Address::parse(address);
    if (!parsed)
        return std::nullopt;
    BoardLink::Transaction transaction(link);
    if (parsed->size() == 1) {
        const auto value = link.read(*parsed);
        return value ? std::optional<qint64>(value.value()) : std::nullopt;
    }
    return readWhole([&](int at) { return readByte(link, at); }, *parsed);
}

} // namespace SampleRead
