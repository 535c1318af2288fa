#include "MonitorFixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>

namespace {

const QString Missing = QStringLiteral("/dev/telvane-no-such-device");

QString press(const QString& name, const QString& device, const QString& more = {}) {
    return QStringLiteral("[%1]\ndevice = %2\nevery = 100\n%3\n").arg(name, device, more);
}

QStringList events(BrokerSubscriber& s, const QString& topic) {
    QStringList out;
    for (const auto& m : s.on(topic))
        out.append(json(m.payload)["event"].toString());
    return out;
}

// The TCP ports the process listens on (none expected).
QSet<QString> listeningSockets(qint64 pid) {
    QSet<QString> inodes;
    for (const QFileInfo& fd :
         QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryInfoList(QDir::System))
        if (const QString target = fd.symLinkTarget(); target.contains(u"socket:["))
            inodes.insert(target.section(u'[', 1).chopped(1));
    QSet<QString> listening;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile file(QString::fromLatin1(table));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() > 9 && f[3] == "0A" && inodes.contains(QString::fromLatin1(f[9])))
                listening.insert(QString::fromLatin1(f[1]));
        }
    }
    return listening;
}

} // namespace

TEST_F(MonitorFixture,
       PublishesEachPressRetainedStatusWholeSamplesAndItsOwnOnlineWordWithOfflineAsItsWill) {
    startBroker();
    const QString pty1 = startBoard({"--baud", "19200"}).pty();
    // A board that mishears the addresses 0400H..04FFH: D1100 never reads.
    const QString pty2 = startBoard({"--mishear-page", "4"}).pty();
    BrokerSubscriber plant(broker->port(), QStringLiteral("telvane/#"));
    startMonitor(config(press("press1", pty1, "baud = 19200") +
                        press("press2", pty2, "registers = w182 B8159 D1100")));
    ASSERT_TRUE(plant.waitFor([&] {
        return plant.on(topic("press1", "sample")).size() >= 3 &&
               plant.on(topic("press2", "sample")).size() >= 3 &&
               lastStateIs(plant, topic("press1", "status"), "online") &&
               lastStateIs(plant, topic("press2", "status"), "online");
    })) << monitorErrors().toStdString();

    const QJsonObject sample = json(plant.on(topic("press1", "sample")).last().payload);
    EXPECT_EQ(sample["values"].toObject().keys(), (QStringList{"D1100", "W1104", "W180", "W182"}));
    EXPECT_TRUE(sample["time"].toString().contains(QRegularExpression(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"))))
        << sample["time"].toString().toStdString();
    const QJsonObject values2 =
        json(plant.on(topic("press2", "sample")).last().payload)["values"].toObject();
    EXPECT_EQ(values2.keys(), (QStringList{"B8159", "W182"})); // the failed read left out
    EXPECT_EQ(values2["B8159"].toInt(), 23);

    const QJsonObject status = json(plant.on(topic("press1", "status")).last().payload);
    EXPECT_EQ(status["device"].toString(), pty1);
    EXPECT_EQ(status["baud"].toInt(), 19200);
    EXPECT_EQ(status["fault"]["code"].toInt(), 0x45);
    EXPECT_FALSE(status["fault"]["text"].toString().isEmpty());
    EXPECT_EQ(status["comm_error"]["code"].toInt(), 0);
    EXPECT_EQ(status["board"]["firmware"].toInt(), 23);
    const auto online = plant.on(topic("press1", "event"));
    ASSERT_FALSE(online.isEmpty());
    EXPECT_EQ(json(online.first().payload)["event"], QStringLiteral("online"));
    EXPECT_EQ(online.first().qos, 1);

    // One who subscribes later hears at once where each press stands.
    BrokerSubscriber later(broker->port(), QStringLiteral("telvane/+/status"));
    BrokerSubscriber monitors(broker->port(), QStringLiteral("telvane/monitor/#"));
    ASSERT_TRUE(later.waitFor([&] { return later.messages().size() >= 2; }));
    EXPECT_TRUE(later.messages()[0].retained && later.messages()[1].retained);
    ASSERT_TRUE(monitors.waitFor([&] { return !monitors.messages().isEmpty(); }));
    EXPECT_EQ(monitors.messages()[0].topic, QStringLiteral("telvane/monitor/test-monitor"));
    EXPECT_EQ(monitors.messages()[0].payload, "online");
    EXPECT_TRUE(monitors.messages()[0].retained);

    EXPECT_TRUE(listeningSockets(monitor->processId()).isEmpty());

    // A second monitor of the same client id would drain the same queue.
    QProcess second;
    second.start(BuildProgram(QStringLiteral("telvane-monitor")),
                 {QStringLiteral("--config"), dir.filePath(QStringLiteral("monitor.conf"))});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 2);
    EXPECT_TRUE(second.readAllStandardError().contains(
        "[broker] queue: " + dir.filePath("queue/test-monitor.queue").toUtf8() +
        " is in use by another telvane-monitor of client id test-monitor"));

    // A monitor that dies without a word: the broker says so for it.
    monitor->kill();
    ASSERT_TRUE(monitors.waitFor([&] { return monitors.messages().size() == 2; }));
    EXPECT_EQ(monitors.messages()[1].payload, "offline");
}

TEST_F(MonitorFixture, SigtermPublishesEveryPressOfflineAndTheMonitorOfflineThenEnds) {
    startBroker();
    // A device another program holds.
    const QString held = startBoard().pty();
    QProcess holder;
    holder.start(BuildProgram(QStringLiteral("telvane-cli")),
                 {"--device", held, "watch", "W180", "--every", "1000"});
    QByteArray rows;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        holder.waitForReadyRead(20);
        return (rows += holder.readAllStandardOutput()).count('\n') >= 2; // it is online
    }));
    BrokerSubscriber plant(broker->port(), QStringLiteral("telvane/#"));
    startMonitor(config(press("press1", startBoard().pty()) + press("press2", Missing) +
                        press("press3", held)));
    ASSERT_TRUE(plant.waitFor([&] {
        return lastStateIs(plant, topic("press1", "status"), "online") &&
               lastStateIs(plant, topic("press2", "status"), "offline") &&
               lastStateIs(plant, topic("press3", "status"), "offline");
    }));
    // A missing or busy device: offline, and why, in a line.
    const auto reason = [&](const char* name) {
        return json(plant.on(topic(name, "status")).last().payload)["reason"].toString();
    };
    EXPECT_TRUE(reason("press2").contains(Missing + QStringLiteral(" does not exist")));
    EXPECT_TRUE(reason("press3").contains(
        QStringLiteral("is held by process %1 (telvane-cli)").arg(holder.processId())))
        << reason("press3").toStdString();
    EXPECT_FALSE(reason("press3").contains(u'\n'));

    EXPECT_EQ(stopMonitor(), 0);
    ASSERT_TRUE(plant.waitFor([&] {
        return lastStateIs(plant, topic("press1", "status"), "offline") &&
               plant.on(QStringLiteral("telvane/monitor/test-monitor")).size() == 2;
    }));
    for (const char* name : {"press1", "press2", "press3"})
        EXPECT_EQ(reason(name), QStringLiteral("the monitor stopped"));
    EXPECT_EQ(events(plant, topic("press1", "event")), (QStringList{"online", "offline"}));
    EXPECT_TRUE(events(plant, topic("press2", "event")).isEmpty()); // never online
    EXPECT_TRUE(events(plant, topic("press3", "event")).isEmpty());
    EXPECT_EQ(plant.on(QStringLiteral("telvane/monitor/test-monitor")).last().payload, "offline");
    holder.terminate();
    holder.waitForFinished(5000);
}

TEST_F(MonitorFixture, APressThatStopsAnsweringIsReconnectingThenOfflineAndComesBackByItself) {
    startBroker();
    const QString device = dir.filePath(QStringLiteral("press1-adapter"));
    ASSERT_TRUE(QFile::link(startBoard().pty(), device));
    BrokerSubscriber plant(broker->port(), QStringLiteral("telvane/press1/#"));
    startMonitor(config(press("press1", device)));
    const QString status = topic("press1", "status");
    ASSERT_TRUE(plant.waitFor([&] { return lastStateIs(plant, status, "online"); }));

    // The board gone, and its device with it: a pseudo-terminal's name is
    // soon another board's.
    boards.back()->stop();
    QFile::remove(device);
    ASSERT_TRUE(plant.waitFor([&] { return lastStateIs(plant, status, "reconnecting"); }));
    ASSERT_TRUE(plant.waitFor([&] { return lastStateIs(plant, status, "offline"); }));
    EXPECT_FALSE(json(plant.on(status).last().payload)["reason"].toString().isEmpty());

    // A board on that device again: the press is back without anyone's help.
    ASSERT_TRUE(QFile::link(startBoard().pty(), device));
    ASSERT_TRUE(plant.waitFor([&] { return lastStateIs(plant, status, "online"); }));
    EXPECT_EQ(events(plant, topic("press1", "event")),
              (QStringList{"online", "offline", "online"}));
}

TEST_F(MonitorFixture, EventsMadeWhileTheBrokerIsAwayArriveInOrderOnceItIsBack) {
    startBroker();
    const QString device = dir.filePath(QStringLiteral("press1-adapter"));
    ASSERT_TRUE(QFile::link(startBoard().pty(), device));
    const QString filter = QStringLiteral("telvane/press1/#");
    const QString historian = QStringLiteral("historian");
    auto before = std::make_unique<BrokerSubscriber>(broker->port(), filter, historian);
    startMonitor(config(press("press1", device)));
    ASSERT_TRUE(
        before->waitFor([&] { return lastStateIs(*before, topic("press1", "status"), "online"); }));
    before.reset(); // its session stays with the broker, and gathers what comes

    broker->stop();
    boards.back()->stop();
    QFile::remove(device);
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitorErrors().contains("press1: offline"); }, 30000))
        << monitorErrors().toStdString();
    ASSERT_TRUE(QFile::link(startBoard().pty(), device));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return monitorErrors().count(QStringLiteral("press1: online")) == 2; }, 30000));

    ASSERT_TRUE(broker->restart());
    BrokerSubscriber after(broker->port(), filter, historian);
    // What the session had not acknowledged before the outage may come again
    // (at least once); what follows is the outage's, in order.
    const auto sinceOutage = [](QStringList list) {
        while (!list.isEmpty() && list.first() == u"online")
            list.removeFirst();
        return list;
    };
    const auto states = [&] { // as published, not as the broker remembered them
        QStringList list;
        for (const auto& m : after.on(topic("press1", "status")))
            if (!m.retained)
                list.append(json(m.payload)["state"].toString());
        list = sinceOutage(list);
        list.removeDuplicates();
        return list;
    };
    ASSERT_TRUE(after.waitFor([&] {
        return sinceOutage(events(after, topic("press1", "event"))).size() == 2 &&
               states().size() == 3;
    })) << monitorErrors().toStdString();
    EXPECT_EQ(sinceOutage(events(after, topic("press1", "event"))),
              (QStringList{"offline", "online"}));
    EXPECT_EQ(states(), (QStringList{"reconnecting", "offline", "online"}));
}

TEST_F(MonitorFixture, AFaultRaisedOrClearedOnTheBoardIsAnEventEach) {
    startBroker();
    BrokerSubscriber plant(broker->port(), QStringLiteral("telvane/press1/event"));
    startMonitor(config(press("press1", startBoard({"--fault-every", "1"}).pty())));
    ASSERT_TRUE(plant.waitFor([&] { return plant.messages().size() >= 4; }));
    const QList<QJsonObject> e = payloads(plant.messages());
    EXPECT_EQ(events(plant, topic("press1", "event")).mid(0, 4),
              (QStringList{"online", "fault-cleared", "fault-raised", "fault-cleared"}));
    EXPECT_EQ(e[1]["fault"]["code"].toInt(), 0x45); // the fault the board had at first
    EXPECT_EQ(e[2]["fault"]["code"].toInt(), 0x5C);
    EXPECT_FALSE(e[2]["fault"]["text"].toString().isEmpty());
    EXPECT_EQ(e[3]["fault"]["code"].toInt(), 0x5C);
}

TEST_F(MonitorFixture, ARefusedLoginIsSaidInWordsAndTriedAgainWhileTheRightOneGetsIn) {
    const MosquittoProcess::Login login{QStringLiteral("plant"), QStringLiteral("right")};
    startBroker(login);
    const QString device = startBoard().pty();
    startMonitor(config(press("press1", device),
                        QStringLiteral("username = plant\npassword-file = %1\n")
                            .arg(writeFile(QStringLiteral("wrong.pass"), "wrong\n"))));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return monitorErrors().count(QStringLiteral("the broker refused the login")) >= 2; },
        30000))
        << monitorErrors().toStdString();
    EXPECT_EQ(monitor->state(), QProcess::Running);
    EXPECT_EQ(stopMonitor(), 0);

    BrokerSubscriber plant(broker->port(), QStringLiteral("telvane/#"), {}, login);
    startMonitor(config(press("press1", device),
                        QStringLiteral("username = plant\npassword-file = %1\n")
                            .arg(writeFile(QStringLiteral("right.pass"), "right\n"))));
    ASSERT_TRUE(
        plant.waitFor([&] { return lastStateIs(plant, topic("press1", "status"), "online"); }));
}

TEST_F(MonitorFixture, ABrokerWhoseCertificateDoesNotVerifyIsSaidInWordsAndTriedAgain) {
    const QString cert = dir.filePath(QStringLiteral("broker.pem"));
    const QString key = dir.filePath(QStringLiteral("broker.key"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("openssl"),
                                {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                                 "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", key, "-out",
                                 cert, "-days", "2", "-subj", "/CN=localhost", "-batch"}),
              0);
    startBroker({}, MosquittoProcess::Tls{cert, key});
    const QString device = startBoard().pty();
    startMonitor(config(press("press1", device)));
    const QString said = QStringLiteral("the TLS connection to %1 failed: The certificate is "
                                        "self-signed, and untrusted; trying again")
                             .arg(broker->url());
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitorErrors().count(said) >= 2; }, 30000))
        << monitorErrors().toStdString();
    EXPECT_EQ(stopMonitor(), 0);

    // Its certificate named as one to trust: in.
    startMonitor(config(press("press1", device), QStringLiteral("ca-file = %1\n").arg(cert)));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return monitorErrors().contains(QStringLiteral("connected to ") + broker->url()); },
        30000))
        << monitorErrors().toStdString();
}

TEST_F(MonitorFixture,
       ABrokerAbsentAtStartIsTriedUntilItComesAndHearsEveryStatusAgainOnEachConnection) {
    startBroker();
    broker->stop();
    startMonitor(config(press("press1", startBoard().pty())));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return monitorErrors().count(QStringLiteral("no broker answers at ") + broker->url()) >=
                   2;
        },
        30000))
        << monitorErrors().toStdString();
    ASSERT_TRUE(broker->restart());
    const QString status = topic("press1", "status");
    const QString historian = QStringLiteral("historian");
    auto plant = std::make_unique<BrokerSubscriber>(broker->port(), status, historian);
    ASSERT_TRUE(plant->waitFor([&] { return lastStateIs(*plant, status, "online"); }));
    plant.reset(); // its session stays with the broker, and gathers what comes

    // The press has not changed, yet a broker that may have lost its retained
    // messages gets its status again, published anew.
    ASSERT_TRUE(broker->restart());
    BrokerSubscriber after(broker->port(), status, historian);
    ASSERT_TRUE(after.waitFor([&] {
        const auto m = after.on(status);
        return !m.isEmpty() && !m.last().retained && lastStateIs(after, status, "online");
    }));
}

TEST_F(MonitorFixture, AConfigurationWithAFaultIsRefusedBeforeAnythingStarts) {
    startBroker();
    BrokerSubscriber plant(broker->port(), QStringLiteral("telvane/#"));
    startMonitor(config(press("press1", startBoard().pty(), "baud = 4800")));
    ASSERT_TRUE(monitor->waitForFinished(20000));
    EXPECT_EQ(monitor->exitCode(), 2);
    EXPECT_EQ(monitorErrors(), QStringLiteral("telvane-monitor: %1:9: [press1] baud: '4800': the "
                                              "board runs at 9600 or 19200\n")
                                   .arg(dir.filePath("monitor.conf")));
    EXPECT_TRUE(plant.messages().isEmpty());
}
