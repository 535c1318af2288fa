#pragma once

#include "SetupRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <variant>

class QSqlError;
class QSqlQuery;

// What the board said it is, as far as it was known without asking it more.
struct SnapshotBoard {
    QString ident; // the program name of the ident block; empty: not known
    std::optional<int> checksum;
    std::optional<int> revision;
    std::optional<int> firmware;

    bool operator==(const SnapshotBoard&) const = default;
};

// One snapshot as a list shows it.
struct SnapshotInfo {
    qint64 number = 0;
    QDateTime time; // read back in UTC
    QString user;
    QString host;
    QString device;
    QString press;  // the device's press name when the snapshot was taken; empty: none
    QString action; // "upload", "download", "compare" or "snapshot"
    int groups = 0; // a set of DataTransfer::Group
    SnapshotBoard board;

    // What a list groups it under: the press name, else the device.
    QString pressOrDevice() const { return press.isEmpty() ? device : press; }
};

// A snapshot with its set-up: the bytes of the ".sdt" file saved from it.
struct Snapshot {
    SnapshotInfo info;
    QByteArray setup;
};

// A fault or comm error the main window showed while it was online.
struct FaultEntry {
    qint64 id = 0;
    QString device;
    QString press;
    QString kind; // "alarm" or "comm"
    int code = 0;
    QString text;
    QDateTime appeared;
    // When it was seen to clear, or when the window stopped watching
    // (offline, closed) with it still showing; invalid while it shows.
    QDateTime ended;
    bool seenCleared = false;

    QString pressOrDevice() const { return press.isEmpty() ? device : press; }
};

// Why the history could not be read or kept, in words for the user.
struct HistoryError {
    QString reason;
};
template <typename T> using HistoryResult = std::variant<T, HistoryError>;

// The set-up history: every snapshot of every press and the fault log, in
// one SQLite file that several programs (the window, command lines) use at
// once. Each write is one short transaction, and a program that finds the
// file busy waits its turn (the busy time-out) instead of failing. Nothing
// is ever deleted. The file is opened, created or brought to the present
// schema at its first use; a failure is a value each call returns.
class SetupHistory {
public:
    static constexpr int SchemaVersion = 2;
    static constexpr int BusyTimeoutMs = 10000;

    // telvane/history.sqlite in the user's data folder (XDG_DATA_HOME).
    static QString DefaultPath();

    explicit SetupHistory(QString path = DefaultPath());
    ~SetupHistory();
    SetupHistory(const SetupHistory&) = delete;
    SetupHistory& operator=(const SetupHistory&) = delete;

    const QString& path() const { return m_path; }

    // Stores the snapshot (its number is given) with the press name its
    // device has now; its number.
    HistoryResult<qint64> Take(const SnapshotInfo& info, const QByteArray& setup);
    // The snapshots of one press (its name, or a device without one), or of
    // all, grouped by press and in the order they were taken.
    HistoryResult<QList<SnapshotInfo>> List(const QString& press = {});
    HistoryResult<Snapshot> Fetch(qint64 number);

    // The name of the press a device is connected to; an empty name takes
    // it away. Snapshots keep the name their device had when they were taken.
    // A name PressNameProblem refuses is refused.
    std::optional<HistoryError> SetPressName(const QString& device, const QString& name);
    HistoryResult<QString> PressName(const QString& device);

    // The fault log: an entry when a fault shows, its end when it goes.
    HistoryResult<qint64> FaultAppeared(const FaultEntry& entry);
    std::optional<HistoryError> FaultEnded(qint64 id, const QDateTime& when, bool seenCleared);
    HistoryResult<QList<FaultEntry>> Faults(const QString& press = {});

    // The size of the file with its write-ahead log, in bytes.
    qint64 FileSize() const;

private:
    std::optional<HistoryError> Open();
    // The rows of a table, of one press (or all), grouped by press, run.
    HistoryResult<QSqlQuery> SelectOfPress(const QString& columns, const QString& table,
                                           const QString& order, const QString& press);
    void Close();
    HistoryError Failure(const QString& what, const QSqlError& error) const;

    QString m_path;
    QString m_connection;
    bool m_open = false;
};

// The names of the groups in a list of them.
struct GroupNames {
    const char* all;
    const char* setup;
    const char* timing;
    const char* shift;
    const char* separator;
};
// "setup,timing", "all": the groups in the words of the command line, or
// in the names given.
QString GroupWords(int groups, const GroupNames& names = {"all", "setup", "timing", "shift", ","});

// The longest press name kept.
constexpr qsizetype PressNameMaxLength = 64;
// Why a press name (blanks around it aside) cannot be kept: too long, or a
// control character that would break the lines and columns of a list;
// nullopt when it can.
std::optional<QString> PressNameProblem(const QString& name);

// A snapshot's number as the user types it ("12"); nullopt for anything
// else, zero, a sign or a space included.
std::optional<qint64> SnapshotNumber(const QString& text);

// The set-up of a snapshot as Open takes a file (its tables grown to the
// whole register table), or why it cannot be read.
HistoryResult<SetupRecord> SnapshotSetup(const Snapshot& snapshot);
