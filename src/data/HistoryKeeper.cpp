#include "HistoryKeeper.h"

#include "DataTransfer.h"
#include "SdtFormat.h"
#include "SetupRecord.h"
#include "SharedState.h"

#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

std::optional<qint64> HistoryKeeper::Take(const QString& device, const QString& action, int groups,
                                          const SetupRecord& record, const SnapshotBoard& board) {
    SnapshotInfo info;
    info.time = QDateTime::currentDateTime();
    info.user = UserName();
    info.host = HostName();
    info.device = device;
    info.action = action;
    info.groups = groups;
    info.board = board;
    auto taken = m_history.Take(info, SdtFormat::encode(record));
    if (const auto* error = std::get_if<HistoryError>(&taken)) {
        Failed(*error);
        return std::nullopt;
    }
    return std::get<qint64>(taken);
}

std::optional<qint64> HistoryKeeper::TakeAfter(const DataTransfer& transfer, const QString& device,
                                               const SetupRecord& record,
                                               const SnapshotBoard& board) {
    const bool whole = !transfer.Failed() && !transfer.CancelRequested();
    const int groups = DataTransfer::GroupsOf(transfer.Code());
    if (DataTransfer::IsUpload(transfer.Code())) {
        if (!whole)
            return std::nullopt;
        SetupRecord saved = record;
        saved.VersionTag = BuildVersionTag();
        return Take(device, QStringLiteral("upload"), groups, saved, board);
    }
    if (!whole && transfer.Value() == 0)
        return std::nullopt; // nothing reached the board
    return Take(device,
                whole ? QStringLiteral("download") : QStringLiteral("download (not complete)"),
                groups, record, board);
}

void HistoryKeeper::Failed(const HistoryError& error) {
    if (m_told)
        return;
    m_told = true;
    if (m_notice)
        m_notice(error);
}

QString HistoryKeeper::UserName() {
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        const QString user = qEnvironmentVariable(name);
        if (!user.isEmpty())
            return user;
    }
#ifdef Q_OS_UNIX
    // A service or a shell started without a login sets none of them.
    if (const passwd* account = getpwuid(geteuid()))
        return QString::fromLocal8Bit(account->pw_name);
#endif
    return QStringLiteral("unknown");
}

QString HistoryKeeper::HostName() {
    return QSysInfo::machineHostName();
}
