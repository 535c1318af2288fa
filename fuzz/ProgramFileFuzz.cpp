// libFuzzer target: the program file checks take any bytes without a crash, a
// hang or a leak; every record they accept carries data, and written again as
// the upload writes records it reads back the same.
#include "ProgramRecords.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto records = ProgramRecords::parseFile(bytes);
    if (!records)
        return 0;
    QByteArray again;
    for (const auto& r : *records) {
        if (r.data.isEmpty() || r.data.size() > 255 || r.address < 0 || r.address > 0xFFFF)
            std::abort();
        again += QStringLiteral(":%1%2")
                     .arg(r.data.size(), 2, 16, QLatin1Char('0'))
                     .arg(r.address, 4, 16, QLatin1Char('0'))
                     .toUpper()
                     .toLatin1() +
                 "00" + r.data.toHex().toUpper() + "\r\n";
    }
    again += ":00000001FF\r\n";
    const auto reread = ProgramRecords::parseFile(again);
    if (!reread || reread->size() != records->size())
        std::abort();
    for (qsizetype i = 0; i < records->size(); ++i)
        if (reread->at(i).address != records->at(i).address ||
            reread->at(i).data != records->at(i).data)
            std::abort();
    return 0;
}
