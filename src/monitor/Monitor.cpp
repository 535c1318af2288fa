#include "Monitor.h"

#include "MonitorLog.h"

#include <QDir>
#include <utility>

namespace {

const QByteArray Online = "online";
const QByteArray Offline = "offline";
// The tag of the monitor's own "offline" (the queue's messages count from 1).
constexpr qint64 OfflineTag = -1;
constexpr int LastWordWaitMs = 2000;

} // namespace

Monitor::Monitor(MonitorConfig config, MonitorTiming timing, QString programFolder, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_timing(timing), m_texts(programFolder),
      m_monitorTopic(Plant::Topics::monitor(m_config.broker.topic, m_config.broker.clientId)) {
    m_stopLimit.setSingleShot(true);
}

Monitor::~Monitor() {
    // The threads end before the trackers their reports would reach.
    for (auto& thread : m_threads)
        thread->requestStop();
    m_threads.clear();
}

std::optional<QString> Monitor::openQueue() {
    const QString folder = m_config.broker.queueFolder;
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot make the folder %1").arg(folder);
    const QString path = QDir(folder).filePath(m_config.broker.clientId + QStringLiteral(".queue"));
    // Two monitors of one client id would drain one queue twice, and the
    // broker would throw each out whenever the other connects.
    m_queueLock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    m_queueLock->setStaleLockTime(0);
    if (!m_queueLock->tryLock()) {
        qint64 pid = 0;
        QString host, application;
        m_queueLock->getLockInfo(&pid, &host, &application);
        return QStringLiteral("%1 is in use by another telvane-monitor of client id %2 "
                              "(process %3)")
            .arg(path, m_config.broker.clientId)
            .arg(pid);
    }
    return m_outbox.open(path, m_config.broker.queueLimitBytes);
}

void Monitor::start() {
    if (!m_outbox.isEmpty())
        MonitorLog(
            QStringLiteral("%1 messages wait for the broker from before").arg(m_outbox.count()));
    BrokerClient::Options options;
    options.address = m_config.broker.address;
    options.clientId = m_config.broker.clientId;
    options.username = m_config.broker.username;
    options.password = m_config.broker.password;
    options.caFile = m_config.broker.caFile;
    options.willTopic = m_monitorTopic;
    options.willPayload = Offline;
    options.retryMinMs = m_timing.brokerRetryMinMs;
    options.retryMaxMs = m_timing.brokerRetryMaxMs;
    m_client = std::make_unique<BrokerClient>(options);
    m_publisher = std::make_unique<MonitorPublisher>(*m_client, m_outbox);
    m_publisher->onConnected = [this] { brokerConnected(); };
    connect(m_publisher.get(), &MonitorPublisher::drainedNow, this, [this] {
        if (m_stopping)
            finishStop();
    });
    connect(m_client.get(), &BrokerClient::connectFailed, this,
            [this](const QString& why, int retryMs) {
                MonitorLog(QStringLiteral("%1; trying again in %2 s")
                               .arg(why)
                               .arg(retryMs / 1000.0, 0, 'g', 3));
            });
    connect(m_client.get(), &BrokerClient::connectionLost, this, [this](const QString& why) {
        MonitorLog(QStringLiteral("%1; messages wait on disk until the broker is back").arg(why));
    });
    for (const auto& press : m_config.presses)
        addPress(press);
    m_client->start();
    for (auto& thread : m_threads)
        thread->start();
}

void Monitor::addPress(const MonitorConfig::Press& press) {
    auto tracker = std::make_unique<PressTracker>(press, m_timing.offlineAfterMs, m_texts);
    auto thread = std::make_unique<PressThread>(press, m_timing);
    PressTracker* t = tracker.get();
    // Queued: the thread's reports are handled here, on the monitor's thread.
    connect(thread.get(), &PressThread::linkUp, t, &PressTracker::linkUp);
    connect(thread.get(), &PressThread::linkDown, t, &PressTracker::linkDown);
    connect(thread.get(), &PressThread::sampled, t, &PressTracker::sampled);
    const QString prefix = m_config.broker.topic;
    connect(t, &PressTracker::statusChanged, this, [this, t] {
        const Plant::PressStatus& s = t->status();
        // The journal gets a press's state and reason; its faults are events.
        const QString said =
            QStringLiteral("%1: %2%3")
                .arg(t->name(), Plant::stateText(s.state),
                     s.reason.isEmpty() ? QString() : QStringLiteral(": ") + s.reason);
        if (std::exchange(m_said[t], said) != said)
            MonitorLog(said);
        publishStatus(*t);
    });
    connect(t, &PressTracker::event, this, [this, prefix, t](const Plant::PressEvent& e) {
        m_publisher->publish(Plant::Topics::event(prefix, t->name()), e.toJson(), 1, false, true);
    });
    connect(t, &PressTracker::sample, this, [this, prefix, t](const Plant::PressSample& s) {
        m_publisher->publish(Plant::Topics::sample(prefix, t->name()), s.toJson(), 0, false, false);
        reportQueue();
    });
    m_trackers.push_back(std::move(tracker));
    m_threads.push_back(std::move(thread));
}

void Monitor::publishStatus(const PressTracker& tracker) {
    m_statusSeq[&tracker] =
        m_publisher->publish(Plant::Topics::status(m_config.broker.topic, tracker.name()),
                             tracker.status().toJson(), 1, true, true);
}

void Monitor::brokerConnected() {
    MonitorLog(QStringLiteral("connected to %1").arg(m_config.broker.address.url()));
    // The monitor's own word goes first and never waits: an old "offline"
    // waiting on disk must not follow it.
    m_client->publish(m_monitorTopic, m_stopping ? Offline : Online, 1, true, 0);
    // A broker that restarted may have lost its retained messages: each
    // press's status again, after whatever still waits (unless its last
    // status is among what waits).
    for (const auto& tracker : m_trackers)
        if (tracker->reported() && !m_publisher->waiting(m_statusSeq.value(tracker.get())))
            publishStatus(*tracker);
}

void Monitor::reportQueue() {
    if (const QString error = m_outbox.takeError(); !error.isEmpty())
        MonitorLog(
            QStringLiteral("the queue on disk failed (%1); messages wait in memory").arg(error));
    if (m_outbox.droppedSamples() >= m_droppedSaid + 1000 ||
        (m_droppedSaid == 0 && m_outbox.droppedSamples() > 0)) {
        m_droppedSaid = m_outbox.droppedSamples();
        MonitorLog(QStringLiteral("the queue is full: %1 oldest samples dropped so far (events "
                                  "and status changes are kept)")
                       .arg(m_droppedSaid));
    }
}

void Monitor::stop(int waitMs) {
    if (m_stopping)
        return;
    m_stopping = true;
    MonitorLog(QStringLiteral("stopping"));
    for (auto& thread : m_threads)
        thread->requestStop();
    for (auto& tracker : m_trackers)
        tracker->stop();
    if (!m_client || !m_client->isConnected() || m_publisher->drained()) {
        finishStop();
        return;
    }
    connect(&m_stopLimit, &QTimer::timeout, this, &Monitor::finishStop, Qt::SingleShotConnection);
    m_stopLimit.start(waitMs);
}

void Monitor::finishStop() {
    if (!m_stopping || m_finished)
        return;
    m_finished = true;
    m_stopLimit.stop();
    if (!m_client || !m_client->isConnected()) {
        endStop();
        return;
    }
    // The monitor's own last word, then the end: Paho's disconnect would
    // wait out its whole time-out, so the word's delivery is waited for here.
    connect(m_client.get(), &BrokerClient::delivered, this, [this](qint64 tag) {
        if (tag == OfflineTag)
            endStop();
    });
    connect(&m_stopLimit, &QTimer::timeout, this, &Monitor::endStop);
    m_stopLimit.start(LastWordWaitMs);
    if (!m_client->publish(m_monitorTopic, Offline, 1, true, OfflineTag))
        endStop();
}

void Monitor::endStop() {
    if (m_ended)
        return;
    m_ended = true;
    m_stopLimit.stop();
    if (m_client)
        m_client->stop(0);
    for (auto& thread : m_threads)
        thread->requestStop();
    for (auto& thread : m_threads)
        thread->wait();
    if (!m_outbox.isEmpty())
        MonitorLog(
            QStringLiteral("%1 messages wait on disk for the next start").arg(m_outbox.count()));
    emit stopped();
}
