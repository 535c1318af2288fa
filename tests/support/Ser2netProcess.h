#pragma once

// Debian's ser2net serving a device (the simulated board's pseudo-terminal)
// on a free port of the loopback address, from a configuration written
// here, until the object goes. Header-only, so that benchmarks use it too.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

class Ser2netProcess {
public:
    enum class Mode { Raw, Rfc2217 };

    // baud: the speed ser2net opens the device at (an RFC 2217 client may
    // change it). port 0: a free one.
    Ser2netProcess(const QString& device, Mode mode, int baud, quint16 port = 0) : m_mode(mode) {
        // A port found free may be taken before ser2net binds it: another try.
        for (int attempt = 0; attempt < 3 && !started(); ++attempt)
            start(device, baud, port ? port : freePort());
    }
    ~Ser2netProcess() { stop(); }
    Ser2netProcess(const Ser2netProcess&) = delete;
    Ser2netProcess& operator=(const Ser2netProcess&) = delete;

    bool started() const { return m_listening; }
    quint16 port() const { return m_port; }
    QString url() const {
        return (m_mode == Mode::Raw ? QStringLiteral("socket://") : QStringLiteral("rfc2217://")) +
               QStringLiteral("127.0.0.1:") + QString::number(m_port);
    }
    // Ends ser2net: every connection it has is closed.
    void stop() {
        m_listening = false;
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    static quint16 freePort() {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    }

private:
    void start(const QString& device, int baud, quint16 port) {
        stop();
        m_port = port;
        const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        // No chardelay: ser2net would otherwise hold each answer for two
        // character times, waiting for more.
        file.write(
            QStringLiteral("%YAML 1.1\n---\nconnection: &board\n"
                           "    accepter: %1tcp,127.0.0.1,%2\n"
                           "    connector: serialdev,%3,%4n81,local\n"
                           "    options:\n      chardelay: false\n      kickolduser: true\n")
                .arg(m_mode == Mode::Rfc2217 ? QStringLiteral("telnet(rfc2217),") : QString())
                .arg(port)
                .arg(device)
                .arg(baud)
                .toUtf8());
        file.close();
        QString program = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
        if (program.isEmpty())
            program = QStandardPaths::findExecutable(QStringLiteral("ser2net"),
                                                     {QStringLiteral("/usr/sbin")});
        m_process.start(program,
                        {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"), config});
        if (!m_process.waitForStarted(10000))
            return;
        // ser2net says nothing when it is ready: its listening socket tells.
        for (int i = 0; i < 1000 && m_process.state() == QProcess::Running; ++i) {
            if (listening(port)) {
                m_listening = true;
                return;
            }
            QThread::msleep(10);
        }
    }

    static bool listening(quint16 port) {
        QFile table(QStringLiteral("/proc/net/tcp"));
        if (!table.open(QIODevice::ReadOnly))
            return false;
        // local address 127.0.0.1:port, state 0A (listen)
        const QByteArray local =
            "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() > 3 && f[1] == local && f[3] == "0A")
                return true;
        }
        return false;
    }

    Mode m_mode;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_listening = false;
};
