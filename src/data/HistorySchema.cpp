#include "HistorySchema.h"

namespace HistorySchema {
namespace {

const QStringList steps[] = {
    // 1: snapshots and press names. Times are milliseconds since the epoch
    // (UTC); a snapshot's set-up is the ".sdt" file's bytes, so that an
    // export writes them back unchanged. AUTOINCREMENT: a number is never
    // given twice.
    {
        QStringLiteral("CREATE TABLE snapshot ("
                       " number INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " taken INTEGER NOT NULL,"
                       " user TEXT NOT NULL,"
                       " host TEXT NOT NULL,"
                       " device TEXT NOT NULL,"
                       " press TEXT NOT NULL,"
                       " action TEXT NOT NULL,"
                       " groups INTEGER NOT NULL,"
                       " ident TEXT,"
                       " checksum INTEGER,"
                       " revision INTEGER,"
                       " firmware INTEGER,"
                       " setup BLOB NOT NULL)"),
        QStringLiteral("CREATE INDEX snapshot_press ON snapshot (press, device, number)"),
        QStringLiteral("CREATE TABLE press (device TEXT PRIMARY KEY, name TEXT NOT NULL)"),
    },
    // 2: the fault log of the main window.
    {
        QStringLiteral("CREATE TABLE fault ("
                       " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " device TEXT NOT NULL,"
                       " press TEXT NOT NULL,"
                       " kind TEXT NOT NULL,"
                       " code INTEGER NOT NULL,"
                       " text TEXT NOT NULL,"
                       " appeared INTEGER NOT NULL,"
                       " ended INTEGER,"
                       " seen_cleared INTEGER NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE INDEX fault_press ON fault (press, device, appeared)"),
    },
};

} // namespace

std::span<const QStringList> Steps() {
    return steps;
}

} // namespace HistorySchema
