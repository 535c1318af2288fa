#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <map>
#include <optional>

// The messages that wait for the broker, on disk (an SQLite file), in the
// order they were made, so that an outage of the broker, or a restart of
// the monitor during one, loses nothing. Bounded: beyond the bound the
// oldest samples go first; events and status changes are never dropped.
//
// Paho's own offline buffer cannot do this: it has one bound for all
// messages and, when full, drops the oldest whatever it is (or refuses the
// newest), so a long outage would cost events to samples.
//
// A disk that fails (full) does not lose messages either: they wait in
// memory from then on, until the broker has taken them.
class Outbox {
public:
    struct Message {
        qint64 seq = 0;   // order of making, from 1
        bool keep = true; // an event or a status: never dropped
        QString topic;
        QByteArray payload;
        int qos = 0;
        bool retained = false;
    };

    Outbox() = default;
    ~Outbox();
    Outbox(const Outbox&) = delete;
    Outbox& operator=(const Outbox&) = delete;

    // Opens (or makes) the file; nullopt when it is ready, else why not.
    std::optional<QString> open(const QString& path, qint64 limitBytes);

    bool isEmpty() const { return m_count == 0; }
    qint64 count() const { return m_count; }
    qint64 bytes() const { return m_bytes; }
    // The seq of the newest message ever kept here (0: none).
    qint64 lastSeq() const { return m_lastSeq; }
    qint64 droppedSamples() const { return m_dropped; }

    // Keeps the message in the place its seq gives it.
    void add(const Message& message);
    // Up to count messages with a seq above seq, oldest first.
    QList<Message> after(qint64 seq, int count);
    void remove(qint64 seq);
    bool contains(qint64 seq) const;

    // What went wrong with the disk since the last call, for the log.
    QString takeError();

private:
    static qint64 sizeOf(const Message& m);
    bool exec(const QString& sql);
    void trim();
    void diskFailed(const QString& what);

    QString m_connection;
    qint64 m_limit = 0;
    qint64 m_count = 0;
    qint64 m_bytes = 0;
    qint64 m_lastSeq = 0;
    qint64 m_dropped = 0;
    QString m_error;
    // After a disk failure: the messages kept since, until delivered.
    std::map<qint64, Message> m_memory;
};
