#pragma once

#include "Outbox.h"

#include <QObject>
#include <deque>
#include <functional>

class BrokerClient;

// Hands the monitor's messages to the broker in the order they were made.
// While the broker takes them, they go straight out; while it is away (or
// messages made earlier still wait), they wait in the outbox on disk, and
// once it is back they go out oldest first. A message leaves the outbox only
// when the broker has it, so one cut off in flight is sent again (a
// consumer may see it twice, never not at all).
class MonitorPublisher final : public QObject {
    Q_OBJECT
public:
    // Messages handed to Paho and not yet confirmed, at most.
    static constexpr int Window = 64;

    MonitorPublisher(BrokerClient& client, Outbox& outbox, QObject* parent = nullptr);

    // keep: an event or a status (never dropped); a sample may be. The
    // message's place in the order.
    qint64 publish(const QString& topic, const QByteArray& payload, int qos, bool retained,
                   bool keep);
    // The message still waits on disk (not yet handed to the broker).
    bool waiting(qint64 seq) const { return m_outbox.contains(seq); }
    // Everything handed over so far is with the broker.
    bool drained() const { return m_inFlight.empty() && m_outbox.isEmpty(); }

    // Called on every connection, before what waits is sent: the messages
    // that must follow whatever waits (the current status of each press).
    std::function<void()> onConnected;

signals:
    void drainedNow();

private:
    struct InFlight {
        Outbox::Message message;
        bool onDisk = false;
    };
    void connected();
    void connectionLost();
    void delivered(qint64 seq);
    // Sends what waits while the window has room.
    void pump();
    bool send(const Outbox::Message& message, bool onDisk);

    BrokerClient& m_client;
    Outbox& m_outbox;
    std::deque<InFlight> m_inFlight;
    qint64 m_seq = 0;
    qint64 m_sentUpTo = 0; // the newest outbox message handed to Paho
};
