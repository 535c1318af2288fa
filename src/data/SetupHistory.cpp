#include "SetupHistory.h"

#include "DataTransfer.h"
#include "DeviceText.h"
#include "HistorySchema.h"
#include "SdtFormat.h"
#include "SharedState.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <atomic>

namespace {

QString connectionName() {
    // One connection per object: the window and a test may hold several.
    static std::atomic<int> next{0};
    return QStringLiteral("telvane-history-%1").arg(next++);
}

QVariant orNull(const std::optional<int>& value) {
    return value ? QVariant(*value) : QVariant();
}

std::optional<int> optionalInt(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
}

QVariant orNull(const QDateTime& time) {
    return time.isValid() ? QVariant(time.toMSecsSinceEpoch()) : QVariant();
}

// In UTC: a list of thousands asks the system's time zone nothing; the
// time turns local where it is shown.
QDateTime timeOf(const QVariant& value) {
    return value.isNull() ? QDateTime()
                          : QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

// The press a row is listed under, in SQL: its name, else its device.
const QString PressKey = QStringLiteral("CASE press WHEN '' THEN device ELSE press END");

const QString SnapshotColumns =
    QStringLiteral("number, taken, user, host, device, press, action, groups, ident, checksum, "
                   "revision, firmware");

SnapshotInfo snapshotInfo(const QSqlQuery& q) {
    SnapshotInfo s;
    s.number = q.value(0).toLongLong();
    s.time = timeOf(q.value(1));
    s.user = q.value(2).toString();
    s.host = q.value(3).toString();
    s.device = q.value(4).toString();
    s.press = q.value(5).toString();
    s.action = q.value(6).toString();
    s.groups = q.value(7).toInt();
    s.board.ident = q.value(8).toString();
    s.board.checksum = optionalInt(q.value(9));
    s.board.revision = optionalInt(q.value(10));
    s.board.firmware = optionalInt(q.value(11));
    return s;
}

} // namespace

QString SetupHistory::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/telvane/history.sqlite");
}

SetupHistory::SetupHistory(QString path)
    : m_path(std::move(path)), m_connection(connectionName()) {}

SetupHistory::~SetupHistory() {
    Close();
}

void SetupHistory::Close() {
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    m_open = false;
}

HistoryError SetupHistory::Failure(const QString& what, const QSqlError& error) const {
    QString why = error.databaseText();
    if (why.isEmpty())
        why = error.driverText();
    return {QStringLiteral("cannot %1 %2: %3").arg(what, QDir::toNativeSeparators(m_path), why)};
}

std::optional<HistoryError> SetupHistory::Open() {
    if (m_open)
        return std::nullopt;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return HistoryError{QStringLiteral("cannot create the folder %1 for the set-up history")
                                .arg(QDir::toNativeSeparators(folder))};
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(m_path);
        // Another program writing: wait for it rather than fail.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!db.open()) {
            const HistoryError failed = Failure(QStringLiteral("open"), db.lastError());
            db = QSqlDatabase();
            Close();
            return failed;
        }
        QSqlQuery q(db);
        // Readers never wait for writers, and a commit costs no flush of the
        // whole file; a power cut may lose the last commit, never the file.
        auto run = [&q](const QString& sql) { return q.exec(sql); };
        bool ok = run(QStringLiteral("PRAGMA journal_mode=WAL")) &&
                  run(QStringLiteral("PRAGMA synchronous=NORMAL")) &&
                  run(QStringLiteral("PRAGMA user_version")) && q.next();
        int version = ok ? q.value(0).toInt() : 0;
        q.finish();
        if (ok && version < SchemaVersion) {
            // The write lock first, then the version again: another program
            // may have brought the file up to date meanwhile.
            ok = run(QStringLiteral("BEGIN IMMEDIATE")) &&
                 run(QStringLiteral("PRAGMA user_version")) && q.next();
            version = ok ? q.value(0).toInt() : 0;
            q.finish();
            const auto steps = HistorySchema::Steps();
            for (int step = version; ok && step < SchemaVersion; ++step)
                for (const QString& sql : steps[size_t(step)])
                    ok = ok && run(sql);
            ok = ok && run(QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion)) &&
                 run(QStringLiteral("COMMIT"));
            if (!ok) {
                const QSqlError error = q.lastError();
                run(QStringLiteral("ROLLBACK"));
                q = QSqlQuery();
                db = QSqlDatabase();
                Close();
                return Failure(QStringLiteral("set up"), error);
            }
        }
        if (!ok || version > SchemaVersion) {
            const HistoryError failed =
                ok ? HistoryError{QStringLiteral("%1 was made by a newer TELVANE (history version "
                                                 "%2; this one knows %3)")
                                      .arg(QDir::toNativeSeparators(m_path))
                                      .arg(version)
                                      .arg(SchemaVersion)}
                   : Failure(QStringLiteral("read"), q.lastError());
            q = QSqlQuery();
            db = QSqlDatabase();
            Close();
            return failed;
        }
    }
    m_open = true;
    return std::nullopt;
}

HistoryResult<qint64> SetupHistory::Take(const SnapshotInfo& info, const QByteArray& setup) {
    if (auto failed = Open())
        return *failed;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // One statement, so one transaction: the press name is the one the
    // device has at the moment the snapshot is written.
    q.prepare(QStringLiteral(
        "INSERT INTO snapshot (taken, user, host, device, press, action, groups, ident, "
        "checksum, revision, firmware, setup) VALUES (?, ?, ?, ?, "
        "COALESCE((SELECT name FROM press WHERE device = ?), ''), ?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(info.time.toMSecsSinceEpoch());
    q.addBindValue(info.user);
    q.addBindValue(info.host);
    q.addBindValue(info.device);
    q.addBindValue(info.device);
    q.addBindValue(info.action);
    q.addBindValue(info.groups);
    q.addBindValue(info.board.ident.isEmpty() ? QVariant() : QVariant(info.board.ident));
    q.addBindValue(orNull(info.board.checksum));
    q.addBindValue(orNull(info.board.revision));
    q.addBindValue(orNull(info.board.firmware));
    q.addBindValue(setup);
    if (!q.exec())
        return Failure(QStringLiteral("keep the snapshot in"), q.lastError());
    return q.lastInsertId().toLongLong();
}

HistoryResult<QSqlQuery> SetupHistory::SelectOfPress(const QString& columns, const QString& table,
                                                     const QString& order, const QString& press) {
    if (auto failed = Open())
        return *failed;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    const QString where = press.isEmpty()
                              ? QString()
                              : QStringLiteral("WHERE press = :p OR (press = '' AND device = :p)");
    q.prepare(QStringLiteral("SELECT %1 FROM %2 %3 ORDER BY %4, %5")
                  .arg(columns, table, where, PressKey, order));
    if (!press.isEmpty())
        q.bindValue(QStringLiteral(":p"), press);
    if (!q.exec())
        return Failure(QStringLiteral("read"), q.lastError());
    return q;
}

HistoryResult<QList<SnapshotInfo>> SetupHistory::List(const QString& press) {
    auto selected =
        SelectOfPress(SnapshotColumns, QStringLiteral("snapshot"), QStringLiteral("number"), press);
    if (auto* failed = std::get_if<HistoryError>(&selected))
        return *failed;
    QSqlQuery& q = std::get<QSqlQuery>(selected);
    QList<SnapshotInfo> list;
    while (q.next())
        list.append(snapshotInfo(q));
    if (q.lastError().isValid())
        return Failure(QStringLiteral("read"), q.lastError());
    return list;
}

HistoryResult<Snapshot> SetupHistory::Fetch(qint64 number) {
    if (auto failed = Open())
        return *failed;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(
        QStringLiteral("SELECT %1, setup FROM snapshot WHERE number = ?").arg(SnapshotColumns));
    q.addBindValue(number);
    if (!q.exec())
        return Failure(QStringLiteral("read"), q.lastError());
    if (!q.next()) {
        if (q.lastError().isValid())
            return Failure(QStringLiteral("read"), q.lastError());
        return HistoryError{QStringLiteral("there is no snapshot %1 in %2")
                                .arg(number)
                                .arg(QDir::toNativeSeparators(m_path))};
    }
    return Snapshot{snapshotInfo(q), q.value(12).toByteArray()};
}

std::optional<HistoryError> SetupHistory::SetPressName(const QString& device, const QString& name) {
    if (const auto problem = PressNameProblem(name))
        return HistoryError{*problem};
    if (auto failed = Open())
        return failed;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (name.isEmpty()) {
        q.prepare(QStringLiteral("DELETE FROM press WHERE device = ?"));
        q.addBindValue(device);
    } else {
        q.prepare(QStringLiteral("INSERT INTO press (device, name) VALUES (?, ?) "
                                 "ON CONFLICT (device) DO UPDATE SET name = excluded.name"));
        q.addBindValue(device);
        q.addBindValue(name);
    }
    if (!q.exec())
        return Failure(QStringLiteral("name the press in"), q.lastError());
    return std::nullopt;
}

HistoryResult<QString> SetupHistory::PressName(const QString& device) {
    if (auto failed = Open())
        return *failed;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT name FROM press WHERE device = ?"));
    q.addBindValue(device);
    if (!q.exec())
        return Failure(QStringLiteral("read"), q.lastError());
    return q.next() ? q.value(0).toString() : QString();
}

HistoryResult<qint64> SetupHistory::FaultAppeared(const FaultEntry& entry) {
    if (auto failed = Open())
        return *failed;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(
        QStringLiteral("INSERT INTO fault (device, press, kind, code, text, appeared) VALUES (?, "
                       "COALESCE((SELECT name FROM press WHERE device = ?), ''), ?, ?, ?, ?)"));
    q.addBindValue(entry.device);
    q.addBindValue(entry.device);
    q.addBindValue(entry.kind);
    q.addBindValue(entry.code);
    q.addBindValue(entry.text);
    q.addBindValue(entry.appeared.toMSecsSinceEpoch());
    if (!q.exec())
        return Failure(QStringLiteral("log the fault in"), q.lastError());
    return q.lastInsertId().toLongLong();
}

std::optional<HistoryError> SetupHistory::FaultEnded(qint64 id, const QDateTime& when,
                                                     bool seenCleared) {
    if (auto failed = Open())
        return failed;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE fault SET ended = ?, seen_cleared = ? WHERE id = ?"));
    q.addBindValue(orNull(when));
    q.addBindValue(seenCleared ? 1 : 0);
    q.addBindValue(id);
    if (!q.exec())
        return Failure(QStringLiteral("log the fault in"), q.lastError());
    return std::nullopt;
}

HistoryResult<QList<FaultEntry>> SetupHistory::Faults(const QString& press) {
    auto selected = SelectOfPress(
        QStringLiteral("id, device, press, kind, code, text, appeared, ended, seen_cleared"),
        QStringLiteral("fault"), QStringLiteral("appeared"), press);
    if (auto* failed = std::get_if<HistoryError>(&selected))
        return *failed;
    QSqlQuery& q = std::get<QSqlQuery>(selected);
    QList<FaultEntry> list;
    while (q.next())
        list.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                     q.value(3).toString(), q.value(4).toInt(), q.value(5).toString(),
                     timeOf(q.value(6)), timeOf(q.value(7)), q.value(8).toBool()});
    return list;
}

qint64 SetupHistory::FileSize() const {
    return QFileInfo(m_path).size() + QFileInfo(m_path + QStringLiteral("-wal")).size();
}

QString GroupWords(int groups, const GroupNames& names) {
    if ((groups & DataTransfer::AllGroups) == DataTransfer::AllGroups)
        return QString::fromLatin1(names.all);
    QStringList words;
    if (groups & DataTransfer::SetupGroup)
        words << QString::fromLatin1(names.setup);
    if (groups & DataTransfer::TimingGroup)
        words << QString::fromLatin1(names.timing);
    if (groups & DataTransfer::ShiftGroup)
        words << QString::fromLatin1(names.shift);
    return words.join(QString::fromLatin1(names.separator));
}

std::optional<QString> PressNameProblem(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.size() > PressNameMaxLength)
        return QStringLiteral("a press name has at most %1 characters, not %2")
            .arg(PressNameMaxLength)
            .arg(trimmed.size());
    for (const QChar c : trimmed)
        if (DeviceText::isControl(c))
            return QStringLiteral("a press name holds no control characters (tabs, line breaks)");
    return std::nullopt;
}

std::optional<qint64> SnapshotNumber(const QString& text) {
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (!ok || number < 1 || !text.front().isDigit())
        return std::nullopt;
    return number;
}

HistoryResult<SetupRecord> SnapshotSetup(const Snapshot& snapshot) {
    QString why;
    auto record = SdtFormat::decode(snapshot.setup, &why);
    if (!record)
        return HistoryError{QStringLiteral("snapshot %1 holds no set-up that can be read: %2")
                                .arg(snapshot.info.number)
                                .arg(why)};
    record->AddressTable.resize(LastIndex + 1);
    record->ValueTable.resize(LastIndex + 1, 0);
    return *record;
}
