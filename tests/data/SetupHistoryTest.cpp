// The set-up history against a real SQLite file in a temporary data folder.
#include "SetupHistory.h"
#include "FileSizeLimit.h"
#include "HistoryKeeper.h"
#include "HistorySchema.h"
#include "SdtFormat.h"
#include "SharedState.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

SetupRecord defaults() {
    SharedState state;
    InitRegisterMap(state);
    return state.DefaultData;
}

template <typename T> const T& ok(const HistoryResult<T>& result) {
    if (const auto* error = std::get_if<HistoryError>(&result))
        ADD_FAILURE() << error->reason.toStdString();
    static const T none{};
    return std::holds_alternative<T>(result) ? std::get<T>(result) : none;
}

template <typename T> QString reason(const HistoryResult<T>& result) {
    const auto* error = std::get_if<HistoryError>(&result);
    return error ? error->reason : QString();
}

SnapshotInfo snapshotAt(const QString& device, const QString& action, int groups) {
    SnapshotInfo info;
    info.time = QDateTime::fromMSecsSinceEpoch(1714651387125);
    info.user = QStringLiteral("anna");
    info.host = QStringLiteral("laptop");
    info.device = device;
    info.action = action;
    info.groups = groups;
    return info;
}

class SetupHistoryTest : public ::testing::Test {
protected:
    QString path() const { return folder.filePath(QStringLiteral("telvane/history.sqlite")); }
    QByteArray fileBytes() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir folder;
};

TEST_F(SetupHistoryTest, SnapshotsComeBackWholeAndListUnderThePressNameTheirDeviceHadThen) {
    SetupHistory history(path());
    SetupRecord record = defaults();
    record.ValueTable[39] = 123;
    const QByteArray bytes = SdtFormat::encode(record);

    SnapshotInfo first = snapshotAt(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("upload"), 3);
    first.board = {QStringLiteral("CUPPER01"), 171, 3, std::nullopt};
    const qint64 one = ok(history.Take(first, bytes));
    ASSERT_FALSE(history.SetPressName(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("Press 7")));
    ok(history.Take(snapshotAt(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("download"), 1),
                    bytes));
    ok(history.Take(snapshotAt(QStringLiteral("/dev/ttyS0"), QStringLiteral("compare"), 7), bytes));

    const Snapshot got = ok(history.Fetch(one));
    EXPECT_EQ(got.setup, bytes);
    EXPECT_EQ(got.info.time, first.time);
    EXPECT_EQ(got.info.user, "anna");
    EXPECT_EQ(got.info.host, "laptop");
    EXPECT_EQ(got.info.board, first.board);
    EXPECT_EQ(got.info.press, ""); // named after it was taken

    // Grouped by press name, else device; in the order taken within a press.
    const auto all = ok(history.List());
    ASSERT_EQ(all.size(), 3);
    QStringList order;
    for (const SnapshotInfo& s : all)
        order << s.pressOrDevice();
    EXPECT_EQ(order, QStringList({"/dev/ttyS0", "/dev/ttyUSB0", "Press 7"}));
    EXPECT_EQ(ok(history.List(QStringLiteral("Press 7"))).size(), 1);
    EXPECT_EQ(ok(history.List(QStringLiteral("/dev/ttyUSB0"))).size(), 1);
    EXPECT_EQ(ok(history.List(QStringLiteral("Press 8"))).size(), 0);
    EXPECT_EQ(ok(history.PressName(QStringLiteral("/dev/ttyUSB0"))), "Press 7");

    EXPECT_EQ(reason(history.Fetch(99)),
              QStringLiteral("there is no snapshot 99 in %1").arg(path()));
}

TEST_F(SetupHistoryTest, AFileOfTheFirstSchemaIsBroughtUpToDateKeepingItsSnapshots) {
    QDir().mkpath(folder.filePath(QStringLiteral("telvane")));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "first");
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString& sql : HistorySchema::Steps()[0])
            ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
        ASSERT_TRUE(q.exec("INSERT INTO snapshot (taken, user, host, device, press, action, "
                           "groups, setup) VALUES (1714651387125, 'bert', 'pc', '/dev/ttyS0', "
                           "'Press 3', 'upload', 1, x'0102')"));
        ASSERT_TRUE(q.exec("PRAGMA user_version=1"));
    }
    QSqlDatabase::removeDatabase("first");

    SetupHistory history(path());
    const auto old = ok(history.List());
    ASSERT_EQ(old.size(), 1);
    EXPECT_EQ(old[0].press, "Press 3");
    EXPECT_EQ(ok(history.Fetch(old[0].number)).setup, QByteArray("\x01\x02"));
    FaultEntry fault{0, "/dev/ttyS0", {}, "alarm", 3, " Scrap Jam ", old[0].time, {}, false};
    ok(history.FaultAppeared(fault));
    EXPECT_EQ(ok(history.Faults()).size(), 1);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
    db.setDatabaseName(path());
    ASSERT_TRUE(db.open());
    QSqlQuery q("PRAGMA user_version", db);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), SetupHistory::SchemaVersion);
    q = QSqlQuery("PRAGMA journal_mode", db);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "wal");
}

TEST_F(SetupHistoryTest, ADamagedOrNewerFileIsNamedAndLeftAsItWas) {
    QDir().mkpath(folder.filePath(QStringLiteral("telvane")));
    QFile junk(path());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    const QByteArray garbage = QByteArray("this is no database, ").repeated(300);
    junk.write(garbage);
    junk.close();
    {
        SetupHistory history(path());
        const auto taken = history.Take(snapshotAt("/dev/ttyS0", "upload", 1), "x");
        EXPECT_EQ(reason(taken),
                  QStringLiteral("cannot read %1: file is not a database").arg(path()));
        EXPECT_TRUE(reason(history.List()).contains("file is not a database"));
    }
    EXPECT_EQ(fileBytes(), garbage);

    QFile::remove(path());
    {
        SetupHistory history(path());
        ok(history.List());
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "newer");
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        QSqlQuery(QStringLiteral("PRAGMA user_version=99"), db);
    }
    QSqlDatabase::removeDatabase("newer");
    SetupHistory history(path());
    EXPECT_EQ(reason(history.List()),
              QStringLiteral("%1 was made by a newer TELVANE (history version 99; this one "
                             "knows %2)")
                  .arg(path())
                  .arg(SetupHistory::SchemaVersion));
}

TEST_F(SetupHistoryTest, AFolderNobodyCanWriteAndAFullDiskAreSaidOnceAndKeepEarlierSnapshots) {
    int notices = 0;
    QString said;
    SetupHistory nowhere(QStringLiteral("/proc/telvane/history.sqlite"));
    HistoryKeeper keeper(nowhere, [&](const HistoryError& e) {
        ++notices;
        said = e.reason;
    });
    EXPECT_FALSE(keeper.Take("/dev/ttyS0", "upload", 1, defaults()));
    EXPECT_FALSE(keeper.Take("/dev/ttyS0", "upload", 1, defaults()));
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(said, "cannot create the folder /proc/telvane for the set-up history");

    SetupHistory history(path());
    HistoryKeeper full(history, [&](const HistoryError& e) { said = e.reason; });
    ASSERT_TRUE(full.Take("/dev/ttyS0", "upload", 1, defaults()));
    {
        // No room for the log of writes to grow: a full disk.
        const FileSizeLimit limit(rlim_t(QFileInfo(path() + "-wal").size()));
        EXPECT_FALSE(full.Take("/dev/ttyS0", "upload", 1, defaults()));
    }
    EXPECT_TRUE(said.contains("cannot keep the snapshot in")) << said.toStdString();
    EXPECT_GE(ok(history.List()).size(), 1);
    EXPECT_EQ(ok(history.Fetch(1)).setup, SdtFormat::encode(defaults()));
}

TEST_F(SetupHistoryTest, AFaultEndsSeenClearedOrWhenTheWindowStoppedWatching) {
    SetupHistory history(path());
    const QDateTime t0 = QDateTime::fromMSecsSinceEpoch(1714651387000);
    FaultEntry jam{0,  "/dev/ttyS0", {},   "alarm", 1, " Die Jam (No Cup Drop) Station: 3",
                   t0, {},           false};
    const qint64 a = ok(history.FaultAppeared(jam));
    FaultEntry comm{0,  "/dev/ttyS0", {}, "comm", 42, "Comm Fault with K2700", t0.addSecs(5),
                    {}, false};
    const qint64 b = ok(history.FaultAppeared(comm));
    ASSERT_FALSE(history.FaultEnded(a, t0.addSecs(60), true));
    ASSERT_FALSE(history.FaultEnded(b, t0.addSecs(90), false));
    const auto faults = ok(history.Faults("/dev/ttyS0"));
    ASSERT_EQ(faults.size(), 2);
    EXPECT_EQ(faults[0].text, jam.text);
    EXPECT_EQ(faults[0].ended, t0.addSecs(60));
    EXPECT_TRUE(faults[0].seenCleared);
    EXPECT_EQ(faults[1].code, 42);
    EXPECT_FALSE(faults[1].seenCleared);
}

} // namespace
