#include "ProgramRecords.h"

#include "TextFields.h"

namespace ProgramRecords {
namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The byte at characters i and i + 1; -1 when they are not hex digits.
int byteAt(const QString& line, qsizetype i) {
    if (i + 1 >= line.size())
        return -1;
    const int high = hexDigit(line[i]);
    const int low = hexDigit(line[i + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

constexpr int DataRecord = 0;
constexpr int EndRecord = 1;

} // namespace

std::optional<Record> parseLine(const QString& line) {
    if (!line.startsWith(u':'))
        return std::nullopt;
    const int count = byteAt(line, 1);
    const int high = byteAt(line, 3);
    const int low = byteAt(line, 5);
    const int type = byteAt(line, 7);
    if (count < 0 || high < 0 || low < 0 || type < 0)
        return std::nullopt;
    if (type != DataRecord && !(type == EndRecord && count == 0))
        return std::nullopt;
    const qsizetype dataEnd = 9 + 2 * qsizetype(count);
    // Either nothing follows the data, or exactly the two checksum digits.
    if (line.size() != dataEnd && line.size() != dataEnd + 2)
        return std::nullopt;
    Record record;
    int sum = count + high + low + type;
    record.data.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int b = byteAt(line, 9 + 2 * i);
        if (b < 0)
            return std::nullopt;
        record.data.append(char(b));
        sum += b;
    }
    if (line.size() == dataEnd + 2) {
        const int checksum = byteAt(line, dataEnd);
        if (checksum < 0 || ((sum + checksum) & 0xFF) != 0)
            return std::nullopt;
    }
    if (count > 0) {
        record.addressText = line.mid(3, 4);
        record.address = high * 256 + low;
    }
    return record;
}

std::optional<QList<Record>> parse(const QStringList& lines) {
    QList<Record> records;
    for (const QString& line : lines) {
        auto record = parseLine(TextFields::firstField(line));
        if (!record)
            return std::nullopt;
        if (!record->data.isEmpty())
            records.append(std::move(*record));
    }
    return records;
}

std::optional<QList<Record>> parseFile(const QByteArray& bytes) {
    if (bytes.size() > MaxFileBytes)
        return std::nullopt;
    return parse(TextFields::lines(bytes));
}

} // namespace ProgramRecords
