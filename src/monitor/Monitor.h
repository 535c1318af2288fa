#pragma once

#include "BrokerClient.h"
#include "MonitorConfig.h"
#include "MonitorPublisher.h"
#include "Outbox.h"
#include "PressThread.h"
#include "PressTracker.h"

#include <QLockFile>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

// telvane-monitor at work: one thread per press reading its board, one
// tracker per press making its status and events, and the publisher that
// brings them to the broker, in order, across its outages.
class Monitor final : public QObject {
    Q_OBJECT
public:
    Monitor(MonitorConfig config, MonitorTiming timing, QString programFolder,
            QObject* parent = nullptr);
    ~Monitor() override;

    // Opens the queue on disk: nullopt when it is ready, else why not.
    std::optional<QString> openQueue();
    // Starts the presses' threads and the connection to the broker.
    void start();
    // Every press goes offline and the monitor says so; stopped() follows
    // once the broker has it all, or after waitMs (what it has not taken
    // waits on disk for the next start).
    void stop(int waitMs);

signals:
    void stopped();

private:
    void addPress(const MonitorConfig::Press& press);
    void publishStatus(const PressTracker& tracker);
    void brokerConnected();
    void finishStop();
    void endStop();
    void reportQueue();

    MonitorConfig m_config;
    MonitorTiming m_timing;
    CodeTexts m_texts;
    QString m_monitorTopic;
    std::unique_ptr<QLockFile> m_queueLock;
    Outbox m_outbox;
    std::unique_ptr<BrokerClient> m_client;
    std::unique_ptr<MonitorPublisher> m_publisher;
    std::vector<std::unique_ptr<PressTracker>> m_trackers;
    std::vector<std::unique_ptr<PressThread>> m_threads;
    // The place of each press's last status in the order of messages.
    QHash<const PressTracker*, qint64> m_statusSeq;
    QHash<const PressTracker*, QString> m_said; // the last line logged of each press
    QTimer m_stopLimit;
    bool m_stopping = false;
    bool m_finished = false;
    bool m_ended = false;
    qint64 m_droppedSaid = 0;
};
