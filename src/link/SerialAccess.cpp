#include "SerialAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QStringList>
#include <QSysInfo>

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

// QSerialPort takes a lock file but does not say which: the same choice as
// Qt 6's serial port makes (the first readable folder of its list where the
// file is, or that may be written), so that the message names the file.
QString lockFile([[maybe_unused]] const QString& device) {
#ifdef Q_OS_UNIX
    static const QStringList folders{
        QStringLiteral("/var/lock"),
        QStringLiteral("/etc/locks"),
        QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"),
        QStringLiteral("/tmp"),
        QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"),
        QStringLiteral("/run/lock"),
        QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    QString name = device.startsWith(QStringLiteral("/dev/")) ? device.mid(5) : device;
    name.replace(u'/', u'_');
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        const QString path = folder + QStringLiteral("/LCK..") + name;
        if (info.isReadable() && (QFile::exists(path) || info.isWritable()))
            return path;
    }
#endif
    return {};
}

namespace {

QString userName([[maybe_unused]] uint uid) {
#ifdef Q_OS_UNIX
    if (const struct passwd* user = ::getpwuid(uid))
        return QString::fromLocal8Bit(user->pw_name);
#endif
    return QString::number(uid);
}

// The owner of a running process; nullopt when it is not running here.
std::optional<uint> processOwner([[maybe_unused]] qint64 pid) {
#ifdef Q_OS_LINUX
    struct stat st {};
    if (pid > 0 && ::stat(QStringLiteral("/proc/%1").arg(pid).toLocal8Bit().constData(), &st) == 0)
        return uint(st.st_uid);
#endif
    return std::nullopt;
}

} // namespace

QString lockHolder(const QString& device) {
    const QString path = lockFile(device);
    if (path.isEmpty())
        return QStringLiteral("No folder for the lock file of %1 may be written.").arg(device);
#ifdef Q_OS_UNIX
    struct stat st {};
    const QString fileOwner = ::stat(QFile::encodeName(path).constData(), &st) == 0
                                  ? QStringLiteral(" of the user \"%1\"").arg(userName(st.st_uid))
                                  : QString();
    qint64 pid = 0;
    QString host;
    QString program;
    if (!QLockFile(path).getLockInfo(&pid, &host, &program))
        return QStringLiteral("The lock file %1%2 cannot be read by this user.")
            .arg(path, fileOwner);
    const QString process =
        QStringLiteral("process %1%2")
            .arg(pid)
            .arg(program.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(program));
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return QStringLiteral("The lock file %1 is held by %2 on the computer %3.")
            .arg(path, process, host);
    if (const auto owner = processOwner(pid))
        return QStringLiteral("The lock file %1 is held by %2 of the user \"%3\": end that "
                              "program, or wait until it has closed the port.")
            .arg(path, process, userName(*owner));
    return QStringLiteral("The lock file %1%2 was left by %3, which has ended, and this user may "
                          "not remove it: ask that user or the administrator to remove it.")
        .arg(path, fileOwner, process);
#else
    return QStringLiteral("The lock file %1 is held by another program.").arg(path);
#endif
}

} // namespace SerialAccess
