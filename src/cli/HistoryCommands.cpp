#include "HistoryCommands.h"

#include "CliArgs.h"
#include "CliExit.h"
#include "SetupCompare.h"
#include "SetupHistory.h"
#include "WholeFile.h"

#include <variant>

namespace HistoryCommands {
namespace {

struct ListPlan {
    QString press; // empty: every press
};
struct ShowPlan {
    qint64 number;
};
struct ExportPlan {
    qint64 number;
    QString file;
};
using Plan = std::variant<ListPlan, ShowPlan, ExportPlan>;

std::variant<qint64, QString> snapshotNumber(const QString& text) {
    if (const auto number = SnapshotNumber(text))
        return *number;
    return QStringLiteral("not a snapshot number: '%1'").arg(text);
}

std::variant<Plan, QString> parse(const QStringList& args) {
    const QString verb = args.value(0);
    if (verb != u"show" && verb != u"export") {
        if (args.size() > 1)
            return QStringLiteral("history takes [PRESS], show N or export N FILE.sdt");
        return Plan{ListPlan{verb}};
    }
    const int wanted = verb == u"show" ? 2 : 3;
    if (args.size() != wanted)
        return verb == u"show" ? QStringLiteral("history show takes N")
                               : QStringLiteral("history export takes N FILE.sdt");
    const auto number = snapshotNumber(args[1]);
    if (const QString* problem = std::get_if<QString>(&number))
        return *problem;
    if (verb == u"show")
        return Plan{ShowPlan{std::get<qint64>(number)}};
    return Plan{ExportPlan{std::get<qint64>(number), args[2]}};
}

QString isoTime(const QDateTime& time) {
    const QDateTime local = time.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// Trouble with the history itself is exit 2, with its reason.
int trouble(const HistoryError& error) {
    CliOut::error(error.reason);
    return Usage;
}

int list(SetupHistory& history, const ListPlan& plan) {
    const auto listed = history.List(plan.press);
    if (const auto* error = std::get_if<HistoryError>(&listed))
        return trouble(*error);
    for (const SnapshotInfo& s : std::get<QList<SnapshotInfo>>(listed)) {
        const QStringList fields{
            QString::number(s.number), isoTime(s.time), s.pressOrDevice(), s.device, s.action,
            GroupWords(s.groups),      s.user};
        if (!CliOut::line(fields.join(u'\t')))
            break;
    }
    return Ok;
}

// The snapshot, or nullopt when the history said why not.
std::optional<Snapshot> fetch(SetupHistory& history, qint64 number) {
    auto fetched = history.Fetch(number);
    if (const auto* error = std::get_if<HistoryError>(&fetched)) {
        CliOut::error(error->reason);
        return std::nullopt;
    }
    return std::get<Snapshot>(std::move(fetched));
}

int show(SetupHistory& history, const ShowPlan& plan) {
    const auto fetched = fetch(history, plan.number);
    if (!fetched)
        return Usage;
    const Snapshot& snapshot = *fetched;
    const auto record = SnapshotSetup(snapshot);
    if (const auto* error = std::get_if<HistoryError>(&record))
        return trouble(*error);
    for (const SetupCompare::Row& row :
         SetupCompare::Values(std::get<SetupRecord>(record), snapshot.info.groups))
        if (!CliOut::line(QStringList{row.name, row.address, row.left}.join(u'\t')))
            break;
    return Ok;
}

int exportFile(SetupHistory& history, const ExportPlan& plan) {
    const auto fetched = fetch(history, plan.number);
    if (!fetched)
        return Usage;
    if (const auto failed = WriteWholeFile(plan.file, fetched->setup)) {
        CliOut::error(QStringLiteral("cannot save %1: %2").arg(plan.file, failed->description));
        return OutputFailed;
    }
    return Ok;
}

} // namespace

std::optional<QString> check(const QStringList& args) {
    return CliArgs::problem(parse(args));
}

int run(CliSession&, const QStringList& args) {
    const auto parsed = parse(args);
    if (const QString* problem = std::get_if<QString>(&parsed)) {
        CliOut::error(*problem);
        return Usage;
    }
    SetupHistory history;
    return std::visit(
        [&history](const auto& plan) {
            using T = std::decay_t<decltype(plan)>;
            if constexpr (std::is_same_v<T, ListPlan>)
                return list(history, plan);
            else if constexpr (std::is_same_v<T, ShowPlan>)
                return show(history, plan);
            else
                return exportFile(history, plan);
        },
        std::get<Plan>(parsed));
}

} // namespace HistoryCommands
