#pragma once

#include <QString>
#include <optional>

// Who may open a serial device, and what to tell a user the system refuses
// it to: the one wording the window and the command line show.
namespace SerialAccess {

struct Ownership {
    QString owner;
    QString group;
    bool rootGroup = false; // the group is the superuser's (gid 0)
    unsigned mode = 0;      // permission bits, 0777 at most
};

// The device exists and this user may not open it for reading and writing.
bool denied(const QString& device);
// The device's owner, group and mode; nullopt where they cannot be read.
std::optional<Ownership> ownership(const QString& device);

// Names a group to join only where that group may read and write the
// device, and never the superuser's group; otherwise says who may open it.
QString advice(const QString& device, const Ownership& ownership);
// The same for the device as it is now (who may open it, where that cannot
// be read: only the way to the administrator).
QString advice(const QString& device);

// The lock file that opening the device takes, where the serial layer keeps
// it; empty where there is none.
QString lockFile(const QString& device);
// Which lock file stands in the way of opening the device and who holds it
// (process, program and user, as far as the file and the system tell).
QString lockHolder(const QString& device);

} // namespace SerialAccess
