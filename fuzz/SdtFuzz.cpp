// libFuzzer target: the ".sdt" reader takes any bytes without a crash, a hang
// or a leak, and what it accepts writes back to the same record.
#include "SdtFormat.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto record = SdtFormat::decode(bytes);
    if (record) {
        const auto again = SdtFormat::decode(SdtFormat::encode(*record));
        if (!again || !(*again == *record))
            std::abort();
    }
    return 0;
}
