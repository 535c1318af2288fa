#include "Outbox.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <utility>

namespace {

QSqlDatabase db(const QString& connection) {
    return QSqlDatabase::database(connection, false);
}

} // namespace

Outbox::~Outbox() {
    if (m_connection.isEmpty())
        return;
    db(m_connection).close();
    QSqlDatabase::removeDatabase(m_connection);
}

qint64 Outbox::sizeOf(const Message& m) {
    return m.payload.size() + m.topic.toUtf8().size();
}

bool Outbox::exec(const QString& sql) {
    QSqlQuery query(db(m_connection));
    if (query.exec(sql))
        return true;
    diskFailed(query.lastError().text());
    return false;
}

void Outbox::diskFailed(const QString& what) {
    m_error = what;
}

QString Outbox::takeError() {
    return std::exchange(m_error, QString());
}

std::optional<QString> Outbox::open(const QString& path, qint64 limitBytes) {
    m_limit = limitBytes;
    m_connection = QStringLiteral("outbox:") + path;
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    database.setDatabaseName(path);
    if (!database.open())
        return QStringLiteral("cannot open the queue %1: %2")
            .arg(path, database.lastError().text());
    // WAL: a message kept costs an append, not a rewrite; NORMAL: the file
    // stays whole when the machine stops, at worst losing the last messages.
    if (!exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !exec(QStringLiteral("PRAGMA synchronous=NORMAL")) ||
        !exec(QStringLiteral("CREATE TABLE IF NOT EXISTS outbox (seq INTEGER PRIMARY KEY, "
                             "keep INTEGER NOT NULL, topic TEXT NOT NULL, payload BLOB NOT NULL, "
                             "qos INTEGER NOT NULL, retained INTEGER NOT NULL, "
                             "size INTEGER NOT NULL)")))
        return QStringLiteral("cannot use the queue %1: %2").arg(path, takeError());
    QSqlQuery totals(database);
    if (!totals.exec(QStringLiteral(
            "SELECT COUNT(*), COALESCE(SUM(size), 0), COALESCE(MAX(seq), 0) FROM outbox")) ||
        !totals.next())
        return QStringLiteral("cannot read the queue %1: %2").arg(path, totals.lastError().text());
    m_count = totals.value(0).toLongLong();
    m_bytes = totals.value(1).toLongLong();
    m_lastSeq = totals.value(2).toLongLong();
    return std::nullopt;
}

void Outbox::add(const Message& message) {
    m_lastSeq = std::max(m_lastSeq, message.seq);
    bool kept = false;
    if (m_memory.empty()) {
        QSqlQuery insert(db(m_connection));
        insert.prepare(QStringLiteral("INSERT INTO outbox (seq, keep, topic, payload, qos, "
                                      "retained, size) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        insert.addBindValue(message.seq);
        insert.addBindValue(message.keep ? 1 : 0);
        insert.addBindValue(message.topic);
        insert.addBindValue(message.payload);
        insert.addBindValue(message.qos);
        insert.addBindValue(message.retained ? 1 : 0);
        insert.addBindValue(sizeOf(message));
        kept = insert.exec();
        if (!kept)
            diskFailed(insert.lastError().text());
    }
    if (!kept)
        m_memory.emplace(message.seq, message);
    ++m_count;
    m_bytes += sizeOf(message);
    trim();
}

QList<Outbox::Message> Outbox::after(qint64 seq, int count) {
    QList<Message> found;
    QSqlQuery select(db(m_connection));
    select.prepare(QStringLiteral("SELECT seq, keep, topic, payload, qos, retained FROM outbox "
                                  "WHERE seq > ? ORDER BY seq LIMIT ?"));
    select.addBindValue(seq);
    select.addBindValue(count);
    if (select.exec()) {
        while (select.next())
            found.append({select.value(0).toLongLong(), select.value(1).toInt() != 0,
                          select.value(2).toString(), select.value(3).toByteArray(),
                          select.value(4).toInt(), select.value(5).toInt() != 0});
    } else {
        diskFailed(select.lastError().text());
    }
    for (auto it = m_memory.upper_bound(seq); it != m_memory.end() && found.size() < 2 * count;
         ++it)
        found.append(it->second);
    std::sort(found.begin(), found.end(),
              [](const Message& a, const Message& b) { return a.seq < b.seq; });
    return found.mid(0, count);
}

void Outbox::remove(qint64 seq) {
    if (const auto it = m_memory.find(seq); it != m_memory.end()) {
        --m_count;
        m_bytes -= sizeOf(it->second);
        m_memory.erase(it);
        return;
    }
    QSqlQuery erase(db(m_connection));
    erase.prepare(QStringLiteral("DELETE FROM outbox WHERE seq = ? RETURNING size"));
    erase.addBindValue(seq);
    if (!erase.exec()) {
        diskFailed(erase.lastError().text());
        return;
    }
    if (erase.next()) {
        --m_count;
        m_bytes -= erase.value(0).toLongLong();
    }
}

bool Outbox::contains(qint64 seq) const {
    if (m_memory.count(seq))
        return true;
    QSqlQuery select(db(m_connection));
    select.prepare(QStringLiteral("SELECT 1 FROM outbox WHERE seq = ?"));
    select.addBindValue(seq);
    return select.exec() && select.next();
}

void Outbox::trim() {
    while (m_bytes > m_limit) {
        QSqlQuery oldest(db(m_connection));
        if (!oldest.exec(QStringLiteral("SELECT seq, size FROM outbox WHERE keep = 0 "
                                        "ORDER BY seq LIMIT 256")))
            break;
        qint64 last = 0;
        qint64 count = 0;
        qint64 bytes = 0;
        while (m_bytes - bytes > m_limit && oldest.next()) {
            last = oldest.value(0).toLongLong();
            bytes += oldest.value(1).toLongLong();
            ++count;
        }
        if (count == 0)
            break;
        QSqlQuery drop(db(m_connection));
        drop.prepare(QStringLiteral("DELETE FROM outbox WHERE keep = 0 AND seq <= ?"));
        drop.addBindValue(last);
        if (!drop.exec()) {
            diskFailed(drop.lastError().text());
            break;
        }
        m_count -= count;
        m_bytes -= bytes;
        m_dropped += count;
    }
    for (auto it = m_memory.begin(); it != m_memory.end() && m_bytes > m_limit;) {
        if (it->second.keep) {
            ++it;
            continue;
        }
        m_bytes -= sizeOf(it->second);
        --m_count;
        ++m_dropped;
        it = m_memory.erase(it);
    }
}
