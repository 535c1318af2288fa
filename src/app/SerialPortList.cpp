#include "SerialPortList.h"

#include "QtSerialPort.h"
#include "SerialAccess.h"

#include <QSerialPortInfo>

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
    for (const QSerialPortInfo& info : QtSerialPort::SystemPorts()) {
        SerialPortEntry entry;
        entry.device = info.systemLocation();
        entry.description = info.description();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            entry.usb = QStringLiteral("USB %1:%2")
                            .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                            .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        entry.accessDenied = SerialAccess::denied(entry.device);
        ports.append(entry);
    }
    return ports;
}
