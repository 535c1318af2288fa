#pragma once

// Debian's mosquitto as the plant's broker on a free port of the loopback
// address, from a configuration written here; and mosquitto_sub as a
// subscriber independent of our MQTT client. Header-only, so that
// benchmarks use them too.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <optional>
#include <unistd.h>

class MosquittoProcess {
public:
    // A broker that takes only this login; none: anyone.
    struct Login {
        QString user;
        QString password;
    };

    // A listener that speaks TLS only, with this certificate and key (PEM).
    struct Tls {
        QString certFile;
        QString keyFile;
    };

    explicit MosquittoProcess(std::optional<Login> login = {}, std::optional<Tls> tls = {})
        : m_login(std::move(login)), m_tls(std::move(tls)) {
        // A port found free may be taken before mosquitto binds it: another try.
        for (int attempt = 0; attempt < 3 && !started(); ++attempt) {
            QTcpServer probe;
            if (probe.listen(QHostAddress::LocalHost, 0))
                m_port = probe.serverPort();
            probe.close();
            start();
        }
    }
    ~MosquittoProcess() { stop(); }
    MosquittoProcess(const MosquittoProcess&) = delete;
    MosquittoProcess& operator=(const MosquittoProcess&) = delete;

    bool started() const { return m_running; }
    quint16 port() const { return m_port; }
    // Over TLS by the name its certificate carries.
    QString url() const {
        return (m_tls ? QStringLiteral("mqtts://localhost:%1")
                      : QStringLiteral("mqtt://127.0.0.1:%1"))
            .arg(m_port);
    }
    void stop() {
        m_running = false;
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // Starts again on the same port, with what it kept on disk (the
    // retained messages, the sessions of persistent subscribers).
    bool restart() {
        stop();
        start();
        return started();
    }

private:
    void start() {
        const QString config = m_dir.filePath(QStringLiteral("mosquitto.conf"));
        // The log goes to a file: a pipe nobody reads would fill and stop it.
        const QString logFile = m_dir.filePath(QStringLiteral("mosquitto.log"));
        QFile::remove(logFile);
        QByteArray text = QStringLiteral("listener %1 127.0.0.1\n"
                                         "persistence true\npersistence_location %2/\n"
                                         "log_dest file %3\n")
                              .arg(m_port)
                              .arg(m_dir.path(), logFile)
                              .toUtf8();
        // Run as root, mosquitto would drop to a user of its own, which could
        // not read this folder.
        if (::geteuid() == 0)
            text += "user root\n";
        if (m_tls)
            text += "certfile " + m_tls->certFile.toUtf8() + "\nkeyfile " +
                    m_tls->keyFile.toUtf8() + '\n';
        if (m_login) {
            const QString passwords = m_dir.filePath(QStringLiteral("passwords"));
            QProcess::execute(QStringLiteral("mosquitto_passwd"),
                              {QStringLiteral("-c"), QStringLiteral("-b"), passwords, m_login->user,
                               m_login->password});
            text += "allow_anonymous false\npassword_file " + passwords.toUtf8() + '\n';
        } else {
            text += "allow_anonymous true\n";
        }
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return;
        file.close();
        QString program = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
        if (program.isEmpty())
            program = QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                                     {QStringLiteral("/usr/sbin")});
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(program, {QStringLiteral("-c"), config});
        if (!m_process.waitForStarted(10000))
            return;
        // It says when it is ready: "mosquitto version X running".
        const QDeadlineTimer limit(20000);
        while (!limit.hasExpired() && m_process.state() == QProcess::Running) {
            QFile log(logFile);
            if (log.open(QIODevice::ReadOnly) && log.readAll().contains(" running")) {
                m_running = true;
                return;
            }
            QThread::msleep(10);
        }
    }

    std::optional<Login> m_login;
    std::optional<Tls> m_tls;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_running = false;
};

// mosquitto_sub on every topic below a prefix; each message one line
// "RETAINED QOS TOPIC PAYLOAD". A persistent one (an id given) keeps its
// subscription across a restart of the broker and gets what was published
// meanwhile.
class BrokerSubscriber {
public:
    BrokerSubscriber(quint16 port, const QString& filter, const QString& persistentId = {},
                     const std::optional<MosquittoProcess::Login>& login = {}) {
        QStringList args{QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                         QStringLiteral("-p"), QString::number(port),
                         QStringLiteral("-t"), filter,
                         QStringLiteral("-q"), QStringLiteral("1"),
                         QStringLiteral("-F"), QStringLiteral("%r %q %t %p")};
        if (!persistentId.isEmpty())
            args << QStringLiteral("-c") << QStringLiteral("-i") << persistentId;
        if (login)
            args << QStringLiteral("-u") << login->user << QStringLiteral("-P") << login->password;
        // Line by line: through a pipe its output would be held back in blocks.
        m_process.start(QStringLiteral("stdbuf"),
                        QStringList{QStringLiteral("-oL"), QStringLiteral("mosquitto_sub")} + args);
        m_process.waitForStarted(10000);
    }
    ~BrokerSubscriber() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    struct Message {
        bool retained = false;
        int qos = 0;
        QString topic;
        QByteArray payload;
    };
    // Every message so far (those waiting to be read are read first).
    const QList<Message>& messages() {
        read();
        return m_messages;
    }
    QList<Message> on(const QString& topic) {
        QList<Message> found;
        for (const Message& m : messages())
            if (m.topic == topic)
                found.append(m);
        return found;
    }
    // Reads until the condition holds; false after timeoutMs. The event loop
    // runs meanwhile, for a client in this process.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 30000) {
        const QDeadlineTimer limit(timeoutMs);
        while (!condition()) {
            if (limit.hasExpired())
                return false;
            m_process.waitForReadyRead(20);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            read();
        }
        return true;
    }

private:
    void read() {
        m_pending += m_process.readAllStandardOutput();
        for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
            const QByteArray line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            const QList<QByteArray> f = line.split(' ');
            if (f.size() < 4)
                continue;
            m_messages.append({f[0] == "1", f[1].toInt(), QString::fromUtf8(f[2]),
                               line.mid(f[0].size() + f[1].size() + f[2].size() + 3)});
        }
    }

    QProcess m_process;
    QByteArray m_pending;
    QList<Message> m_messages;
};
