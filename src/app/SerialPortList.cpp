#include "SerialPortList.h"

#include <QFile>
#include <QSerialPortInfo>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

QString SerialPortEntry::label() const {
    QString text = device;
    if (!description.isEmpty())
        text += QStringLiteral(" - ") + description;
    if (!usb.isEmpty())
        text += QStringLiteral(" (") + usb + u')';
    return text;
}

QList<SerialPortEntry> SystemSerialPorts() {
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry;
        entry.device = info.systemLocation();
        entry.description = info.description();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            entry.usb = QStringLiteral("USB %1:%2")
                            .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                            .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        entry.accessDenied = SerialAccessDenied(entry.device);
        ports.append(entry);
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return a.device < b.device;
    });
    return ports;
}

bool SerialAccessDenied(const QString& device) {
#ifdef Q_OS_UNIX
    if (device.isEmpty())
        return false;
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
    Q_UNUSED(device);
    return false;
#endif
}
