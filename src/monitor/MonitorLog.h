#pragma once

#include <QString>
#include <cstdio>

// What the monitor tells its operator: one line on standard error (the
// journal of a service), "telvane-monitor: TEXT".
inline void MonitorLog(const QString& text) {
    std::fprintf(stderr, "telvane-monitor: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
}
