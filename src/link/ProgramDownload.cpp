// The download steps of a program transfer: the selected project into the board.
#include "ProgramTransfer.h"

#include "BoardCodes.h"
#include "Clock.h"
#include "ProgramTransferSteps.h"
#include "RSComm.h"
#include "TextFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

using namespace ProgramTransferSteps;

namespace {

constexpr int SettleSliceMs = 100; // the window repaints between slices

QString trimSpaces(QString text) {
    while (text.startsWith(u' '))
        text.remove(0, 1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

// Configuration register value to write for a digit.
int digitAValue(int digit) {
    return digit == 1 ? 3 : digit == 2 ? 5 : 12;
}
int digitCValue(int digit) {
    return digit == 1 ? 5 : digit == 2 ? 10 : 20;
}

} // namespace

void ProgramTransfer::DownloadStart() {
    m_loading.BeginProgramMode();
    if (!RequireOnline(DownloadTitle)) {
        m_loading.EndProgramMode();
        return End();
    }
    if (!m_link.ValidProgram()) {
        m_loading.prompt().message(
            DownloadTitle,
            QStringLiteral("Currently Selected Program is Invalid.\n\nProgram Download Halted!"),
            Prompt::Icon::Exclamation);
        m_loading.EndProgramMode();
        return End();
    }
    m_phase = Phase::ReadIdent;
    m_index = 0;
}

void ProgramTransfer::DownloadReadIdent() {
    const auto value = ReadIdentByte();
    if (!value) {
        m_loading.EndProgramMode();
        return End();
    }
    if (m_index < BoardIdent::NameBytes) {
        const int code = value->toInt();
        // Padding and control bytes are not shown.
        if (code > 31)
            m_boardIdent += Windows1252::decode(QByteArray(1, char(code)));
    } else if (m_index == BoardIdent::NameBytes) {
        m_boardChecksum = *value;
    } else {
        m_boardRevision = *value;
    }
    if (++m_index == IdentBytes)
        m_phase = Phase::Confirm;
}

void ProgramTransfer::DownloadConfirm() {
    RSComm& link = m_link;
    const QString text = QStringLiteral("Program to be loaded into module (on disk):\r\n"
                                        "  Program Ident: \t\t") +
                         m_project.FileIdent() + QStringLiteral("\r\n  Program Revision: \t\t") +
                         m_project.FileRevision() + QStringLiteral("\r\n  Program Checksum: \t") +
                         m_project.FileChecksum() + QStringLiteral("\r\n  Target Board: \t\t") +
                         m_project.ProgramTargetboardName() +
                         QStringLiteral("\r\n\r\nProgram currently loaded in module:\r\n"
                                        "  Program Ident: \t\t") +
                         m_boardIdent + QStringLiteral("\r\n  Program Revision: \t\t") +
                         m_boardRevision + QStringLiteral("\r\n  Program Checksum: \t") +
                         m_boardChecksum +
                         QStringLiteral("\r\n\r\nEntire program file will be dumped to the PLC.\r\n"
                                        "All outputs are off while program dump occurrs.\r\n\r\n"
                                        "Do You Wish to Continue?\r\n");
    const auto answer = m_loading.prompt().message(
        QStringLiteral("Program Download - [") + m_project.FileIdent() + QStringLiteral("]"), text,
        Prompt::Icon::Question, Prompt::Buttons::YesNoCancel);
    if (answer != Prompt::Answer::Yes) {
        m_loading.EndProgramMode();
        return End();
    }
    // From here on the main window's polling stays off the link.
    link.setOnlineMode(false);
    const QString programFile = m_project.ProgramFile();
    const QString shownPath = QDir::toNativeSeparators(programFile);
    const QFileInfo info(programFile);
    auto refuse = [&](const QString& text, Prompt::Icon icon) {
        m_loading.prompt().message(DownloadTitle, shownPath + text, icon);
        link.setOnlineMode(true);
        m_loading.EndProgramMode();
        End();
    };
    if (programFile.isEmpty() || !info.isFile())
        return refuse(QStringLiteral(" File Does Not Exist.\n\nProgram Downloaded Halted"),
                      Prompt::Icon::Information);
    if (info.size() == 0)
        return refuse(QStringLiteral(" File is Not Valid\n\nProgram Downloaded Halted"),
                      Prompt::Icon::Exclamation);
    // The whole file is checked before the board is touched.
    std::optional<QList<ProgramRecords::Record>> records;
    QFile file(programFile);
    if (info.size() <= ProgramRecords::MaxFileBytes && file.open(QIODevice::ReadOnly))
        records = ProgramRecords::parseFile(file.readAll());
    if (!records || file.error() != QFileDevice::NoError) {
        m_loading.prompt().message(
            QStringLiteral("Program Dump"),
            QStringLiteral("Currently Selected Program is Invalid.\n\nProgram Download Halted!"),
            Prompt::Icon::Exclamation);
        m_project.Invalidate();
        // Nothing was sent: the board is as it was, and so is the link.
        link.setOnlineMode(true);
        m_loading.EndProgramMode();
        return End();
    }
    m_records = std::move(*records);
    m_recordCount = int(m_records.size());
    m_fileIdentBytes = Windows1252::encode(trimSpaces(m_project.FileIdent()));
    m_fileIdentBytes.append(QByteArray(BoardIdent::NameBytes, '\0'));
    m_fileIdentBytes.truncate(BoardIdent::NameBytes);
    m_phase = Phase::Prepare;
}

void ProgramTransfer::DownloadPrepare() {
    RSComm& link = m_link;
    m_touched = true;
    m_loading.ArmProgramLoad();
    if (BoardCodes::isConfigured(m_project.BoardCode())) {
        const auto digits = m_project.ConfigDigits();
        bool failed = false;
        const std::array<std::pair<QString, int>, 3> writes = {
            std::pair{QStringLiteral("B8188"), digitCValue(digits[2])},
            std::pair{QStringLiteral("B8189"), digits[1]},
            std::pair{QStringLiteral("B8190"), digitAValue(digits[0])}};
        for (const auto& [address, value] : writes) {
            if (link.CommError())
                break;
            link.RSWrite(address, QString::number(value));
            failed = failed || link.LastWriteFailed() || link.LastWriteRefused();
        }
        if (link.CommError() || failed) {
            m_loading.prompt().message(
                QStringLiteral("Program Config Download"),
                QStringLiteral("Could Not Set Program Configuration in PLC!"),
                Prompt::Icon::Critical);
            // A program must not run with a configuration the board refused.
            if (!link.CommError())
                return DownloadFailed(QStringLiteral("Program Download Not Complete!"),
                                      Prompt::Icon::Critical);
        }
    }
    m_loading.StartProgramLoad();
    m_phase = Phase::Records;
    m_recordIndex = 0;
}

// A failure's message belongs to the transaction it ends.
bool ProgramTransfer::DownloadRecord() {
    return m_link.AsOneTransaction([this] {
        if (m_loading.SendProgramRecord(m_records[m_recordIndex]))
            return true;
        DownloadFailed(QStringLiteral("Checksum Error, Program Download Halted!"),
                       Prompt::Icon::Exclamation);
        return false;
    });
}

void ProgramTransfer::DownloadLeave() {
    m_link.AsOneTransaction([this] {
        if (!m_loading.EndProgramLoad())
            return DownloadFailed(QStringLiteral("PLC did not Exit Program Mode!"),
                                  Prompt::Icon::Critical);
        StartSettle(Phase::Settle);
    });
}

void ProgramTransfer::DownloadSettle() {
    Clock& clock = m_loading.clock();
    const qint64 remaining = m_settleUntilMs - clock.nowMs();
    if (remaining > 0) {
        clock.sleepMs(int(std::min<qint64>(remaining, SettleSliceMs)));
        if (m_settleUntilMs - clock.nowMs() > 0)
            return;
    }
    m_phase = Phase::WriteIdent;
    m_index = 0;
}

void ProgramTransfer::DownloadWriteIdent() {
    RSComm& link = m_link;
    if (link.CommError())
        return void(m_phase = Phase::Report);
    m_loading.setWritingIdent(true);
    const QString value = m_index < BoardIdent::NameBytes
                              ? QString::number(quint8(m_fileIdentBytes[m_index]))
                          : m_index == BoardIdent::NameBytes ? m_project.FileChecksum()
                                                             : m_project.FileRevision();
    link.RSWrite(byteAddress(IdentAddress + m_index), value);
    // A write the board finally refused counts like a broken link.
    if (link.CommError() || link.LastWriteFailed() || link.LastWriteRefused()) {
        m_loading.prompt().message(
            DownloadTitle, QStringLiteral("Could Not Send Program Ident and Revision to PLC!"),
            Prompt::Icon::Critical);
        m_identFailed = true;
        return void(m_phase = Phase::Report);
    }
    if (++m_index == IdentBytes)
        m_phase = Phase::Report;
}

void ProgramTransfer::DownloadReport() {
    RSComm& link = m_link;
    m_project.Invalidate();
    m_loading.setWritingIdent(false);
    if (link.CommError() || m_identFailed) {
        m_loading.prompt().message(DownloadTitle, QStringLiteral("Program Download Not Complete!"),
                                   Prompt::Icon::Critical);
        link.setOnlineMode(false);
    } else {
        m_loading.prompt().message(DownloadTitle, QStringLiteral("Program Download Complete!"),
                                   Prompt::Icon::Information);
        link.setOnlineMode(true);
        m_complete = true;
    }
    m_loading.EndProgramMode();
    End();
}

void ProgramTransfer::DownloadFailed(const QString& text, Prompt::Icon icon) {
    m_loading.prompt().message(DownloadTitle, text, icon);
    m_link.setOnlineMode(false);
    m_loading.EndProgramMode();
    m_project.Invalidate();
    End();
}
