#include "SerialAccess.h"

#include <QFile>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace SerialAccess {

namespace {
constexpr unsigned OwnerReadWrite = 0600;
constexpr unsigned GroupReadWrite = 0060;
} // namespace

bool denied([[maybe_unused]] const QString& device) {
#ifdef Q_OS_UNIX
    if (device.isEmpty())
        return false;
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
    return false;
#endif
}

std::optional<Ownership> ownership([[maybe_unused]] const QString& device) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0)
        return std::nullopt;
    Ownership o;
    const struct passwd* user = ::getpwuid(st.st_uid);
    o.owner = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(st.st_uid);
    const struct group* group = ::getgrgid(st.st_gid);
    o.group = group ? QString::fromLocal8Bit(group->gr_name) : QString::number(st.st_gid);
    o.rootGroup = st.st_gid == 0;
    o.mode = unsigned(st.st_mode) & 0777u;
    return o;
#else
    return std::nullopt;
#endif
}

QString advice(const QString& device, const Ownership& o) {
    if ((o.mode & GroupReadWrite) == GroupReadWrite && !o.rootGroup)
        return QStringLiteral("Your user may not use %1. Ask for membership of the group \"%2\" "
                              "(sudo usermod -aG %2 $USER), then log in again.")
            .arg(device, o.group);
    // Joining a group would not help, or would hand out the superuser's
    // rights: say who may open it, and leave the way to the administrator.
    QStringList who{QStringLiteral("root")};
    if ((o.mode & OwnerReadWrite) == OwnerReadWrite && o.owner != u"root")
        who << QStringLiteral("the user \"%1\"").arg(o.owner);
    if ((o.mode & GroupReadWrite) == GroupReadWrite)
        who << QStringLiteral("members of the group \"%1\"").arg(o.group);
    const QString last = who.takeLast();
    const QString names =
        who.isEmpty() ? last : who.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return QStringLiteral("Your user may not use %1: only %2 may open it (mode %3). Ask the "
                          "administrator of this computer for access.")
        .arg(device, names)
        .arg(o.mode, 4, 8, QLatin1Char('0'));
}

QString advice(const QString& device) {
    if (const auto o = ownership(device))
        return advice(device, *o);
    return QStringLiteral("Your user may not use %1. Ask the administrator of this computer for "
                          "access.")
        .arg(device);
}

} // namespace SerialAccess
