#include "MonitorPublisher.h"

#include "BrokerClient.h"

#include <algorithm>

MonitorPublisher::MonitorPublisher(BrokerClient& client, Outbox& outbox, QObject* parent)
    : QObject(parent), m_client(client), m_outbox(outbox), m_seq(outbox.lastSeq()) {
    connect(&client, &BrokerClient::connected, this, &MonitorPublisher::connected);
    connect(&client, &BrokerClient::connectionLost, this, &MonitorPublisher::connectionLost);
    connect(&client, &BrokerClient::delivered, this, &MonitorPublisher::delivered);
}

qint64 MonitorPublisher::publish(const QString& topic, const QByteArray& payload, int qos,
                                 bool retained, bool keep) {
    const Outbox::Message message{++m_seq, keep, topic, payload, qos, retained};
    // Straight out only when nothing made earlier still waits.
    if (m_client.isConnected() && m_outbox.isEmpty() && int(m_inFlight.size()) < Window &&
        send(message, false))
        return message.seq;
    m_outbox.add(message);
    pump();
    return message.seq;
}

bool MonitorPublisher::send(const Outbox::Message& message, bool onDisk) {
    if (!m_client.publish(message.topic, message.payload, message.qos, message.retained,
                          message.seq))
        return false;
    m_inFlight.push_back({message, onDisk});
    return true;
}

void MonitorPublisher::pump() {
    while (m_client.isConnected() && int(m_inFlight.size()) < Window) {
        // Nothing made after what went out waits: the disk need not be asked
        // (every delivery comes here, many times a second).
        if (m_outbox.isEmpty() || m_sentUpTo >= m_outbox.lastSeq())
            return;
        const auto waiting = m_outbox.after(m_sentUpTo, Window - int(m_inFlight.size()));
        if (waiting.isEmpty())
            return;
        for (const Outbox::Message& message : waiting) {
            if (!send(message, true))
                return;
            m_sentUpTo = message.seq;
        }
    }
}

void MonitorPublisher::delivered(qint64 seq) {
    const auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                                 [seq](const InFlight& f) { return f.message.seq == seq; });
    if (it == m_inFlight.end())
        return; // confirmed from an earlier connection, and sent again since
    if (it->onDisk)
        m_outbox.remove(seq);
    m_inFlight.erase(it);
    pump();
    if (drained())
        emit drainedNow();
}

void MonitorPublisher::connectionLost() {
    // What was cut off in flight goes back to wait in its place (by its seq);
    // what came from disk is still there.
    for (const InFlight& f : m_inFlight)
        if (!f.onDisk)
            m_outbox.add(f.message);
    m_inFlight.clear();
    m_sentUpTo = 0;
}

void MonitorPublisher::connected() {
    connectionLost(); // a new session: nothing of the last one is in flight
    if (onConnected)
        onConnected();
    pump();
}
