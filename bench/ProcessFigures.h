#pragma once

// What the system says of a process (this one, or one a benchmark started):
// its CPU time and its resident memory, from /proc.
#include <QFile>
#include <QString>
#include <QStringList>
#include <unistd.h>

// User and system CPU seconds of process pid.
inline double cpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QString text = QString::fromLatin1(stat.readAll());
    // Fields after the command name (which ends with ")"): utime is the 12th, stime the 13th.
    const QStringList fields = text.mid(text.lastIndexOf(u')') + 2).split(u' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

// Resident memory of process pid (0: this one), in MiB.
inline double rssMiB(qint64 pid = 0) {
    QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid)
                     : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}
