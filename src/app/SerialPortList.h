#pragma once

#include <QList>
#include <QString>
#include <functional>

// One serial port this computer has, as the settings window lists it.
struct SerialPortEntry {
    QString device;            // the path to open: /dev/ttyUSB0, COM3
    QString description;       // what the system calls it, if anything
    QString usb;               // "USB 0403:6001" where vendor and product are known
    bool accessDenied = false; // it exists, but this user may not open it

    // The line the drop-down shows.
    QString label() const;
};

// Lists the ports; tests hand the window a fixed one.
using SerialPortLister = std::function<QList<SerialPortEntry>()>;

// The ports the system reports, by device name.
QList<SerialPortEntry> SystemSerialPorts();
