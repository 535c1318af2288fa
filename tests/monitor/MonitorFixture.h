#pragma once

#include "BoardProcess.h"
#include "MosquittoProcess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// A message's JSON payload.
inline const QJsonObject json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}
// The payloads of the messages, parsed.
inline QList<QJsonObject> payloads(const QList<BrokerSubscriber::Message>& messages) {
    QList<QJsonObject> out;
    for (const auto& m : messages)
        out.append(json(m.payload));
    return out;
}
// The last status of the topic the subscriber saw has this state.
inline bool lastStateIs(BrokerSubscriber& s, const QString& topic, const char* state) {
    const auto statuses = s.on(topic);
    return !statuses.isEmpty() && json(statuses.last().payload)["state"] == QLatin1String(state);
}

// telvane-monitor in a process of its own, against a real mosquitto, real
// simulated boards on pseudo-terminals, and mosquitto_sub as the plant's
// subscriber. Its waits are a test's: a press is retried within 400 ms and
// offline after 1.5 s, the broker tried again within a second or two.
class MonitorFixture : public ::testing::Test {
protected:
    static constexpr const char* Timing = "retry=100-400,offline=1500,broker-retry=1000-2000";
    static constexpr const char* ClientId = "test-monitor";

    ~MonitorFixture() override { stopMonitor(); }

    void startBroker(std::optional<MosquittoProcess::Login> login = {},
                     std::optional<MosquittoProcess::Tls> tls = {}) {
        broker = std::make_unique<MosquittoProcess>(std::move(login), std::move(tls));
        ASSERT_TRUE(broker->started());
    }
    BoardProcess& startBoard(const QStringList& args = {}) {
        boards.push_back(std::make_unique<BoardProcess>(args));
        EXPECT_TRUE(boards.back()->started());
        return *boards.back();
    }
    // The [broker] section for the test's broker, then the presses.
    QString config(const QString& presses, const QString& brokerExtra = {}) const {
        return QStringLiteral("[broker]\nurl = %1\nclient-id = %2\nqueue = %3\n%4\n%5")
            .arg(broker->url(), QString::fromLatin1(ClientId), dir.filePath("queue"), brokerExtra,
                 presses);
    }
    QString writeFile(const QString& name, const QByteArray& content,
                      QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner) const {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        file.setPermissions(permissions);
        return path;
    }
    void startMonitor(const QString& configText) {
        monitor = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TELVANE_MONITOR_TIMING"), QString::fromLatin1(Timing));
        monitor->setProcessEnvironment(env);
        monitor->start(BuildProgram(QStringLiteral("telvane-monitor")),
                       {QStringLiteral("--config"),
                        writeFile(QStringLiteral("monitor.conf"), configText.toUtf8())});
        ASSERT_TRUE(monitor->waitForStarted(10000));
    }
    // SIGTERM; the exit status (-1: it did not end by itself).
    int stopMonitor() {
        if (!monitor || monitor->state() == QProcess::NotRunning)
            return monitor ? monitor->exitCode() : -1;
        monitor->terminate();
        if (monitor->waitForFinished(20000))
            return monitor->exitStatus() == QProcess::NormalExit ? monitor->exitCode() : -1;
        monitor->kill();
        monitor->waitForFinished(5000);
        return -1;
    }
    // What it said on standard error so far (read within 10 ms: the test
    // has no event loop to read it meanwhile).
    QString monitorErrors() {
        monitor->setReadChannel(QProcess::StandardError);
        monitor->waitForReadyRead(10);
        m_errors += QString::fromUtf8(monitor->readAllStandardError());
        return m_errors;
    }
    QString topic(const QString& press, const char* kind) const {
        return QStringLiteral("telvane/%1/%2").arg(press, QLatin1String(kind));
    }

    QTemporaryDir dir;
    std::unique_ptr<MosquittoProcess> broker;
    std::vector<std::unique_ptr<BoardProcess>> boards;
    std::unique_ptr<QProcess> monitor;

private:
    QString m_errors;
};
