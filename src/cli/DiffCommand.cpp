#include "DiffCommand.h"

#include "CliArgs.h"
#include "CliHistory.h"
#include "DataTransfer.h"
#include "ErrorText.h"
#include "RSComm.h"
#include "SetupCompare.h"
#include "SetupComparison.h"
#include "SetupHistory.h"
#include "SharedState.h"
#include "StderrPrompt.h"

#include <variant>

namespace DiffCommand {
namespace {

enum Status { Equal = 0, Different = 1, Trouble = 2, BoardFailed = 3 };

const QString BoardWord = QStringLiteral("board");
const QString HistoryPrefix = QStringLiteral("history:");

bool isSnapshot(const QString& side) {
    return side.startsWith(HistoryPrefix);
}

std::optional<qint64> snapshotNumber(const QString& side) {
    return SnapshotNumber(side.mid(HistoryPrefix.size()));
}

struct Plan {
    QString sides[2];
    int groups = SetupCompare::DefaultGroups();
    bool csv = false;
};

std::variant<Plan, QString> parse(const QStringList& args) {
    Plan plan;
    int count = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--csv") {
            plan.csv = true;
        } else if (arg == u"--groups" || arg.startsWith(QStringLiteral("--groups="))) {
            QString list;
            if (arg == u"--groups") {
                if (i + 1 >= args.size())
                    return QStringLiteral("--groups needs a list: setup,timing,shift,all");
                list = args[++i];
            } else {
                list = arg.mid(int(qstrlen("--groups=")));
            }
            const auto groups = SetupCompare::ParseGroups(list);
            if (!groups)
                return QStringLiteral("--groups takes setup, timing, shift or all, "
                                      "comma-separated, not '%1'")
                    .arg(list);
            plan.groups = *groups;
        } else if (arg.startsWith(QStringLiteral("--"))) {
            return QStringLiteral("diff has no option '%1'").arg(arg);
        } else if (count < 2) {
            plan.sides[count++] = arg;
        } else {
            return QStringLiteral("diff compares two sides, not '%1' too").arg(arg);
        }
    }
    if (count < 2)
        return QStringLiteral("diff takes A B: set-up files, the word board or history:N");
    for (const QString& side : plan.sides)
        if (isSnapshot(side) && !snapshotNumber(side))
            return QStringLiteral("not a snapshot number: '%1'").arg(side);
    if (plan.sides[0] == BoardWord && plan.sides[1] == BoardWord)
        return QStringLiteral("diff compares the board with a file, not with itself");
    return plan;
}

// Reads the board where the other side keeps its values, as an upload of
// the groups would; nullopt when the board failed (its messages said why).
std::optional<SetupRecord> readBoard(CliSession& session, const SetupRecord& addresses,
                                     int groups) {
    if (!session.openLink())
        return std::nullopt;
    SetupRecord board = addresses;
    DataTransfer read(session.link, board, groups,
                      QStringLiteral("Reading the Board for Compare, Please Standby..."));
    read.RunToEnd();
    if (read.Failed()) {
        session.prompt.message(QStringLiteral("TELVANE"), ErrorText::processNotComplete(),
                               Prompt::Icon::Exclamation);
        return std::nullopt;
    }
    CliHistory::take(session, QStringLiteral("compare"), groups, board);
    return board;
}

} // namespace

std::optional<QString> check(const QStringList& args) {
    return CliArgs::problem(parse(args));
}

int run(CliSession& session, const QStringList& args) {
    session.ownStatus = true;
    // 1 is "different": output that could not be written is trouble.
    session.outputFailedStatus = Trouble;
    const auto parsed = parse(args);
    if (const QString* problem = std::get_if<QString>(&parsed)) {
        CliOut::error(*problem);
        return Trouble;
    }
    const Plan& plan = std::get<Plan>(parsed);
    SharedState program;
    InitRegisterMap(program);
    SetupHistory history;
    auto side = [&](const QString& word) {
        if (isSnapshot(word))
            return SetupComparison::SnapshotSide(history, *snapshotNumber(word),
                                                 [](const QString& why) { CliOut::error(why); });
        if (word != BoardWord)
            return SetupComparison::FileSide(word, program.ProgramVersionTag, session.prompt);
        return SetupComparison::BoardSide(
            [&session](const SetupRecord& addresses, int groups) {
                return readBoard(session, addresses, groups);
            },
            [&session] { return session.device; });
    };
    const auto outcome =
        SetupComparison::Run(side(plan.sides[0]), side(plan.sides[1]), plan.groups);
    if (!outcome.comparison)
        return plan.sides[outcome.failedSide] == BoardWord ? BoardFailed : Trouble;
    const auto& [names, rows] = *outcome.comparison;
    if (plan.csv) {
        CliOut::text(QString::fromUtf8(SetupCompare::Csv(rows, names[0], names[1])));
    } else {
        for (const SetupCompare::Row& row : rows)
            if (!CliOut::line(QStringList{row.name, row.address, row.left, row.right}.join(u'\t')))
                break;
    }
    return rows.isEmpty() ? Equal : Different;
}

} // namespace DiffCommand
