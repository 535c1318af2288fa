#pragma once

#include "SetupHistory.h"

#include <functional>
#include <optional>

class DataTransfer;
struct SetupRecord;

// Takes the snapshots that the window and the command line take by
// themselves: who took it, on which computer and when, and the set-up as
// the ".sdt" bytes. The history never stands in the way of the work: when
// it cannot be kept, the work goes on as it would have, and the user is
// told once why (the notice), not at every snapshot.
class HistoryKeeper {
public:
    using Notice = std::function<void(const HistoryError&)>;

    HistoryKeeper(SetupHistory& history, Notice notice)
        : m_history(history), m_notice(std::move(notice)) {}

    // The snapshot's number; nullopt when it could not be kept (the notice
    // has said why, if it had not said so already).
    std::optional<qint64> Take(const QString& device, const QString& action, int groups,
                               const SetupRecord& record, const SnapshotBoard& board = {});
    // After a group transfer of the record: an upload that went through
    // whole, as File Save would write the record (a part-read board is no
    // set-up), or a download that began, with the values it sent.
    std::optional<qint64> TakeAfter(const DataTransfer& transfer, const QString& device,
                                    const SetupRecord& record, const SnapshotBoard& board = {});
    // The same for a result of the history that the caller could not use.
    void Failed(const HistoryError& error);

    SetupHistory& history() { return m_history; }

    // The user and the computer a snapshot is taken by.
    static QString UserName();
    static QString HostName();

private:
    SetupHistory& m_history;
    Notice m_notice;
    bool m_told = false;
};
