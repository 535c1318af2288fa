// libFuzzer target: the code text table reader takes any bytes and any key
// without a crash, a hang or a leak; a key found by one search is found by
// the other.
#include "CodeTable.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte says how long the key is; the key follows, then the table.
    const size_t keyLength = std::min<size_t>(data[0] % 5, size - 1);
    const QString key =
        QString::fromLatin1(reinterpret_cast<const char*>(data + 1), qsizetype(keyLength));
    const QByteArray table = QByteArray::fromRawData(
        reinterpret_cast<const char*>(data + 1 + keyLength), qsizetype(size - 1 - keyLength));
    const auto first = CodeTable::findIn(table, key, CodeTable::Match::First);
    const auto last = CodeTable::findIn(table, key, CodeTable::Match::Last);
    if (first.has_value() != last.has_value())
        std::abort();
    return 0;
}
