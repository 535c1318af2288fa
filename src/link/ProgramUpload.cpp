// The upload steps of a program transfer: the board's program into the
// selected project's files.
#include "ProgramTransfer.h"

#include "BoardCodes.h"
#include "ErrorText.h"
#include "ProgramTransferSteps.h"
#include "RSComm.h"
#include "TextFields.h"
#include "WholeFile.h"

#include <QDir>

using namespace ProgramTransferSteps;

namespace {

QString hex2(int value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

struct MemoryRange {
    int first = 0;
    int bytes = 0;
};

MemoryRange programMemory(int boardCode) {
    switch (boardCode) {
    case '2':
        return {0x5000, 45056};
    case '3':
    case '6':
    case ':':
    case ';':
    case '<':
    case '=':
    case 'A':
    case 'B':
        return {0x2000, 24576};
    case '4':
    case '5':
    case '8':
        return {0x2000, 8192};
    case 'D':
        return {0x4000, 32768};
    default:
        return {};
    }
}

// The configuration digit read back from its register's value.
QString digitAFrom(const QString& value) {
    return value == u"3"   ? QStringLiteral("1")
           : value == u"5" ? QStringLiteral("2")
                           : QStringLiteral("3");
}
QString digitCFrom(const QString& value) {
    return value == u"5"    ? QStringLiteral("1")
           : value == u"10" ? QStringLiteral("2")
                            : QStringLiteral("3");
}

} // namespace

void ProgramTransfer::UploadStart() {
    m_loading.setReadingIdent(false);
    if (!m_link.InUploadMode())
        return End();
    if (!RequireOnline(UploadTitle)) {
        m_link.setInUploadMode(false);
        return End();
    }
    m_phase = Phase::ReadIdent;
    m_index = 0;
}

void ProgramTransfer::UploadNotComplete() {
    m_loading.setReadingIdent(false);
    m_loading.prompt().message(
        UploadTitle, QStringLiteral("Program Upload Not Complete!\n\nHEX file not created."),
        Prompt::Icon::Critical);
    m_link.setOnlineMode(false);
    m_link.setInUploadMode(false);
    End();
}

void ProgramTransfer::UploadReadIdent() {
    RSComm& link = m_link;
    m_loading.setReadingIdent(true);
    m_touched = true; // reads only, but the board was asked
    const auto value = ReadIdentByte();
    if (!value) {
        m_loading.setReadingIdent(false);
        link.setInUploadMode(false);
        return End();
    }
    if (link.LastReadFailed())
        return UploadNotComplete();
    const int code = value->toInt();
    if (m_index < BoardIdent::NameBytes) {
        m_identBytes.append(char(code)); // zero bytes included
    } else {
        QString digits = hex2(code);
        ProgramProject::HEX2MarkHEX(digits);
        (m_index == BoardIdent::NameBytes ? m_checksumText : m_revisionText) = digits;
    }
    if (++m_index < IdentBytes)
        return;
    m_loading.setReadingIdent(false);
    m_phase = Phase::ReadConfiguration;
}

void ProgramTransfer::UploadReadConfiguration() {
    RSComm& link = m_link;
    // The board code names what is read and written: a project that cannot be
    // read (or is gone) ends the upload before a file is touched.
    if (!m_project.ReloadBoardCode(QStringLiteral("RSComm-Upload Program"))) {
        link.setInUploadMode(false);
        return End();
    }
    if (BoardCodes::isConfigured(m_project.BoardCode())) {
        const std::array<QString, 3> registers = {QStringLiteral("B8190"), QStringLiteral("B8189"),
                                                  QStringLiteral("B8188")};
        std::array<QString, 3> answers;
        for (size_t i = 0; i < registers.size(); ++i) {
            answers[i] = link.RSRead(registers[i]);
            // A value the board never gave must not become a digit in the file.
            if (link.CommError() || link.LastReadFailed())
                return UploadNotComplete();
        }
        m_configurationLine =
            Windows1252::encode(BoardCodes::lcfBoardIndex(m_project.BoardCode()) +
                                QString(34, u'0') + digitAFrom(answers[0]) + QStringLiteral("00") +
                                answers[1] + digitCFrom(answers[2]) + QStringLiteral("000%\r\n"));
    }
    const MemoryRange range = programMemory(m_project.BoardCode());
    m_firstAddress = range.first;
    m_recordCount = range.bytes / RecordBytes;
    m_recordIndex = 0;
    m_hexText.clear();
    m_hexText.reserve(qsizetype(m_recordCount) * 43 + 13);
    m_phase = Phase::Records;
}

bool ProgramTransfer::UploadRecord() {
    const int address = m_firstAddress + m_recordIndex * RecordBytes;
    const auto data = m_loading.ReadProgramRecord(address, RecordBytes);
    if (!data) {
        UploadNotComplete();
        return false;
    }
    QString line = QStringLiteral(":10") +
                   QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper() +
                   QStringLiteral("00");
    for (const char b : *data)
        line += hex2(quint8(b));
    m_hexText += line.toLatin1() + "\r\n";
    return true;
}

void ProgramTransfer::UploadSave() {
    RSComm& link = m_link;
    m_hexText += ":00000001FF\r\n";
    const QByteArray revision = m_identBytes + m_checksumText.toLatin1() +
                                m_revisionText.toLatin1() + QByteArrayLiteral("\r\n");
    // The three files of a project are replaced together or not at all: a new
    // program beside an old revision would be the mismatch this upload prevents.
    QList<FileContent> files{{m_project.ProgramFile(), m_hexText}};
    if (!m_configurationLine.isEmpty())
        files.append({m_project.ConfigurationFile(), m_configurationLine});
    files.append({m_project.RevisionFile(), revision});
    if (const auto failed = WriteWholeFiles(files)) {
        link.setInUploadMode(false);
        const QString name = QDir::toNativeSeparators(failed->path);
        QString text = ErrorText::numbered(
            failed->failure.number,
            failed->failure.description +
                (name.isEmpty() ? QString() : QStringLiteral(" (") + name + u')'));
        for (const QString& path : failed->notRestored)
            text += QStringLiteral("\n\nThe previous contents of %1 could not be put back.")
                        .arg(QDir::toNativeSeparators(path));
        m_loading.prompt().message(QStringLiteral("RSComm-Upload Program"), text,
                                   Prompt::Icon::Information);
        return End();
    }
    m_loading.prompt().message(UploadTitle, QStringLiteral("Program Upload Complete!"),
                               Prompt::Icon::Information);
    link.setOnlineMode(true);
    link.setInUploadMode(false);
    m_complete = true;
    End();
}
