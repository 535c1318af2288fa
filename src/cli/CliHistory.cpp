#include "CliHistory.h"

#include "CliOut.h"
#include "HistoryKeeper.h"

namespace CliHistory {

namespace {

void notice(const HistoryError& error) {
    cannotKeep(error.reason);
}

} // namespace

std::optional<qint64> take(const CliSession& session, const QString& action, int groups,
                           const SetupRecord& record) {
    SetupHistory history;
    return HistoryKeeper(history, notice).Take(session.device, action, groups, record);
}

void takeAfter(const CliSession& session, const DataTransfer& transfer, const SetupRecord& record) {
    SetupHistory history;
    HistoryKeeper(history, notice).TakeAfter(transfer, session.device, record);
}

void cannotKeep(const QString& reason) {
    CliOut::error(QStringLiteral("the set-up history could not be kept: ") + reason);
}

} // namespace CliHistory
