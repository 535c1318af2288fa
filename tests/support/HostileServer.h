#pragma once

// hostile-server (tests/support/hostile_server.cpp) in a process of its own,
// until the object goes: a serial device server on the loopback address that
// misbehaves as its mode says, in front of the simulated board.
#include "BoardProcess.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

class HostileServer {
public:
    explicit HostileServer(const QStringList& mode) {
        m_process.start(BuildProgram(QStringLiteral("hostile-server")), mode);
        if (m_process.waitForStarted(10000) && m_process.waitForReadyRead(10000))
            m_port = m_process.readLine().trimmed().toUShort();
    }
    ~HostileServer() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    bool started() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    QString hostPort() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    QString url(const char* scheme = "rfc2217") const {
        return QString::fromLatin1(scheme) + QStringLiteral("://") + hostPort();
    }
    // What the server says of its next connection once the client has left
    // ("connection 1: received 61, speed requests 1, speeds 19200").
    QString report(int timeoutMs = 10000) {
        const QDeadlineTimer deadline(timeoutMs);
        while (!m_process.canReadLine() && !deadline.hasExpired())
            m_process.waitForReadyRead(int(deadline.remainingTime()));
        return QString::fromLatin1(m_process.readLine()).trimmed();
    }
    // The byte count of a report.
    static long long received(const QString& report) {
        return report.section(QStringLiteral("received "), 1).section(u',', 0, 0).toLongLong();
    }

private:
    QProcess m_process;
    quint16 m_port = 0;
};
