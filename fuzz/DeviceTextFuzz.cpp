// libFuzzer target: the device text check and the server address parser
// take any text without a crash, a hang or a leak; a text they accept is
// short, free of control characters and, for a server, reads back to the
// same address from its host and port; no message says back a password or
// a text longer than any taken.
#include "DeviceText.h"
#include "NetworkDevice.h"

#include <QRegularExpression>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto problem = DeviceText::problem(text);
    const QString shown = DeviceText::shown(text);
    if (shown.size() > DeviceText::MaxLength + 64)
        std::abort();
    if (problem) {
        if (problem->size() > 2 * DeviceText::MaxLength + 512)
            std::abort();
        // A text with a password, or longer than any taken, is said back only
        // as shown(); the blanks around it are no part of it.
        const QString device = text.trimmed();
        if (DeviceText::shown(device) != device && problem->contains(device))
            std::abort();
        return 0;
    }
    const QString device = text.trimmed();
    if (device.size() > DeviceText::MaxLength)
        std::abort();
    for (const QChar c : device)
        if (c.category() == QChar::Other_Control)
            std::abort();
    if (!NetworkDevice::isNetwork(device))
        return 0;
    const auto parsed = NetworkDevice::parse(device);
    const auto* address = std::get_if<NetworkDevice::Address>(&parsed);
    if (!address)
        std::abort();
    const QString scheme =
        address->kind == NetworkDevice::Kind::Socket ? "socket://" : "rfc2217://";
    const auto again = NetworkDevice::parse(scheme + address->hostPort());
    const auto* same = std::get_if<NetworkDevice::Address>(&again);
    if (!same || same->host != address->host || same->port != address->port ||
        same->kind != address->kind)
        std::abort();
    return 0;
}
