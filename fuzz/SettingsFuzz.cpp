// libFuzzer target: the port settings file round trip. Any bytes read as
// the file give settings without a crash, a hang or a leak; settings whose
// device text passes its check are written and read back the same, port,
// speed and device, whatever the text (the input is tried as a device text
// too), so that a saved device can never come back as another one.
#include "DeviceText.h"
#include "PortSettingsFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

void roundTrip(const PortSettings& settings) {
    if (DeviceText::problem(settings.device))
        return;
    const auto back = PortSettingsFile::parse(PortSettingsFile::printedLine(settings));
    if (!back || back->portNumber != settings.portNumber || back->baud != settings.baud ||
        back->device != settings.device.trimmed())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto read = PortSettingsFile::parse(bytes)) {
        if (read->portNumber < 1 || read->portNumber > 99 ||
            (read->baud != u"9600" && read->baud != u"19200") ||
            read->device.size() > DeviceText::MaxLength + 1)
            std::abort();
        roundTrip(*read);
    }
    const QString text = QString::fromUtf8(bytes);
    roundTrip({int(size % 99) + 1, size % 2 ? QStringLiteral("19200") : QStringLiteral("9600"),
               text.trimmed()});
    return 0;
}
