#include "BoardCommands.h"

#include "BoardIdent.h"
#include "CliArgs.h"
#include "CliExit.h"
#include "ErrorText.h"
#include "FaultStatus.h"
#include "ProgramFolder.h"
#include "RSComm.h"
#include "StderrPrompt.h"
#include "TargetBoardData.h"

#include <QDateTime>
#include <QFileInfo>

using namespace TargetBoardData;

namespace {

const QString Tab = QStringLiteral("\t");
const QString Unread = QStringLiteral("-");

// The question is printed as the window would ask it; running the command
// was the answer.
void confirm(CliSession& s, const QString& title, const QString& text) {
    s.prompt.message(title, text, Prompt::Icon::Critical, Prompt::Buttons::Ok);
}

int linkOutcome(const CliSession& s, const QString& what) {
    if (!s.link.CommError() && !s.link.LastWriteFailed())
        return Ok;
    CliOut::error(QStringLiteral("%1 failed on %2").arg(what, s.port));
    return LinkFailed;
}

// Every write in its order, each skipped once the link has failed, as the
// window does; a write the board refused or rejected fails the command even
// when later ones went through.
int writeAll(CliSession& s, const Writes& writes, const QString& what) {
    QStringList unwritten;
    for (const auto& [address, value] : writes) {
        if (!s.link.CommError())
            s.link.RSWrite(address, value);
        if (s.link.CommError() || s.link.LastWriteFailed() || s.link.LastWriteRefused())
            unwritten << address;
    }
    if (unwritten.isEmpty())
        return Ok;
    CliOut::error(QStringLiteral("%1 failed on %2: %3 not written")
                      .arg(what, s.port, unwritten.join(QStringLiteral(", "))));
    return LinkFailed;
}

// One register as the window shows it, or "-" when the link failed.
QString readTwoDigits(RSComm& link, const QString& address) {
    if (link.CommError())
        return Unread;
    const QString value = link.RSRead(address);
    if (link.CommError() || link.LastReadFailed())
        return Unread;
    return TwoDigits(value);
}

void printFaults(const FaultStatus& status, bool coCpu) {
    auto described = [&](int slot) {
        CliOut::line(status.label(slot) + Tab +
                     status.description[size_t(slot)].value_or(QString()));
    };
    described(0);
    described(1);
    if (coCpu)
        CliOut::line(status.label(FaultStatus::CoCpuSlot));
    described(4);
    described(5);
    CliOut::line(QStringLiteral("Corrective Action:") + Tab + status.correctiveAction);
}

void printIdentity(RSComm& link, const DiskIdentity& disk) {
    QString name;
    QString checksum = Unread;
    QString revision = Unread;
    // The name counts only when all its bytes were read: a partial one would
    // show letters from two places as one name.
    int nameBytesRead = 0;
    for (int k = 0; k < IdentBytes && !link.CommError(); ++k) {
        const QString value = link.RSRead(IdentByteAddress(k));
        if (link.CommError() || link.LastReadFailed())
            continue;
        if (k < BoardIdent::NameBytes) {
            name += IdentCharacter(value);
            ++nameBytesRead;
        } else if (k == BoardIdent::NameBytes) {
            checksum = value;
        } else {
            revision = value;
        }
    }
    CliOut::line(QStringLiteral("In Target Board:"));
    CliOut::line(QStringLiteral("Name:") + Tab +
                 (nameBytesRead == BoardIdent::NameBytes ? name : Unread));
    CliOut::line(QStringLiteral("Revision:") + Tab + revision);
    CliOut::line(QStringLiteral("Checksum:") + Tab + checksum);
    CliOut::line(QStringLiteral("On Disk:"));
    CliOut::line(QStringLiteral("Name:") + Tab + disk.name);
    CliOut::line(QStringLiteral("Revision:") + Tab + QString::number(disk.revision));
    CliOut::line(QStringLiteral("Checksum:") + Tab + QString::number(disk.checksum));
    CliOut::line(QStringLiteral("Target Board:") + Tab + RSComm::TargetboardName(disk.boardCode));
    CliOut::line(QStringLiteral("Rev Date:") + Tab + disk.revDate);
}

void printAddressesAndClock(RSComm& link, int boardCode) {
    std::array<QString, FieldCount> values;
    // Every register is read whatever the board, as the window polls them.
    for (int i = 0; i < FieldCount; ++i)
        values[size_t(i)] = readTwoDigits(link, QString::fromLatin1(Fields[size_t(i)].address));
    CliOut::line(QString::fromLatin1(Fields[NetworkAddress1].label) + Tab + values[0]);
    if (HasSecondAddress(boardCode))
        CliOut::line(QString::fromLatin1(Fields[NetworkAddress2].label) + Tab + values[1]);
    if (HasClock(boardCode)) {
        CliOut::line(QStringLiteral("Target Board Time:") + Tab + values[2] +
                     QStringLiteral(" : ") + values[3] + QStringLiteral(" : ") + values[4]);
        CliOut::line(QStringLiteral("Target Board Date:") + Tab + values[5] +
                     QStringLiteral(" - ") + values[6] + QStringLiteral(" - ") + values[7]);
    }
}

} // namespace

namespace BoardCommands {

std::optional<QString> checkStatus(const QStringList& args) {
    if (!args.isEmpty() && !QFileInfo(args[0]).isFile())
        return QStringLiteral("no such project file: '%1'").arg(args[0]);
    return std::nullopt;
}

int status(CliSession& s, const QStringList& args) {
    DiskIdentity disk;
    if (!args.isEmpty()) {
        // The window's command checks a chosen project as the download does.
        const QString project = QFileInfo(args[0]).absoluteFilePath();
        // The check speaks the download's words ("... Halted!"): what it
        // meant for this command is said after them.
        const auto refused = [&] {
            CliOut::error(QStringLiteral("board-status did not read the board: the project %1 "
                                         "was refused")
                              .arg(args[0]));
            return Usage;
        };
        s.link.setDownloadFile(project);
        if (!s.link.ValidProgram())
            return refused();
        if (auto error = ReadDiskIdentity(project, disk)) {
            s.prompt.message(QStringLiteral("InitializeForm"),
                             ErrorText::numbered(error->number, error->description),
                             Prompt::Icon::Information);
            return refused();
        }
    }
    FaultStatusReader reader(s.link, ProgramFolder::path());
    const bool coCpu = ShowsCoCpuSlot(disk.boardCode);
    if (!reader.ReadAll(coCpu)) {
        s.prompt.message(QStringLiteral("TargetBoard FirstPass"),
                         ErrorText::numbered(reader.errorNumber(), reader.errorString()),
                         Prompt::Icon::Information);
        return Usage;
    }
    // Each page is read only while the pages before it could be printed.
    printFaults(reader.status(), coCpu);
    if (CliOut::failed())
        return Ok;
    printIdentity(s.link, disk);
    if (CliOut::failed())
        return Ok;
    printAddressesAndClock(s.link, disk.boardCode);
    return linkOutcome(s, QStringLiteral("reading the board"));
}

int resetFaults(CliSession& s, const QStringList&) {
    confirm(s, QStringLiteral("WARNING - Fault Code Reset!"),
            QStringLiteral("Target Board will be reinitialized.\r\n\r\nDo you wish to continue?"));
    Writes writes;
    for (const char* address : {"B8178", "B8179", "B8177", "B8176"})
        writes.append({QString::fromLatin1(address), QStringLiteral("0")});
    return writeAll(s, writes, QStringLiteral("resetting the faults"));
}

int clockSet(CliSession& s, const QStringList&) {
    const QDateTime snapshot = QDateTime::currentDateTime();
    return writeAll(s, TimeWrites(snapshot) + DateWrites(snapshot),
                    QStringLiteral("setting the clock"));
}

} // namespace BoardCommands
