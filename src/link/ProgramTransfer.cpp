#include "ProgramTransfer.h"

#include "BoardCodes.h"
#include "Clock.h"
#include "RSComm.h"
#include "TextFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <exception>

namespace {

constexpr int Attention = 255;
constexpr int AttentionAnswer = 85;
// The board's program loading is armed by this value in B8181 and started by
// the mode byte 3; their meaning lies in the board's firmware.
const QString ArmRegister = QStringLiteral("B8181");
const QString ArmValue = QStringLiteral("86");
constexpr int ProgramLoadModeByte = 3;
const QString FaultCodeRegister = QStringLiteral("B8176");
constexpr int PrepareWaitMs = 100;
constexpr int RecordSumWaitMs = 1000;
constexpr int SettleWaitMs = 2000;
constexpr int SettleSliceMs = 100; // the window repaints between slices
constexpr int InternalError = 51;

const QString DownloadTitle = QStringLiteral("Program Download");
const QString UploadTitle = QStringLiteral("Program Upload");
const QString OfflineText =
    QStringLiteral("Program is Currently OFFLINE.\n\nSwitch to ONLINE MODE to Continue.");

QString byteAddress(int address) {
    return QStringLiteral("B") + QString::number(address);
}

QString hex2(int value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString trimSpaces(QString text) {
    while (text.startsWith(u' '))
        text.remove(0, 1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
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

// Configuration register value to write for a digit, and the digit read back.
int digitAValue(int digit) {
    return digit == 1 ? 3 : digit == 2 ? 5 : 12;
}
int digitCValue(int digit) {
    return digit == 1 ? 5 : digit == 2 ? 10 : 20;
}
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

// Fills a save file; the caller commits it once every file is ready.
bool fill(QSaveFile& file, const QByteArray& bytes) {
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

ProgramTransfer::ProgramTransfer(RSComm& link, Direction direction)
    : m_link(link), m_direction(direction) {}

ProgramTransfer::~ProgramTransfer() {
    if (Over())
        return;
    m_link.m_inProgramMode = false;
    m_link.m_writingIdent = false;
    m_link.m_readingIdent = false;
    if (m_direction == Direction::Upload)
        m_link.m_inUploadMode = false;
}

bool ProgramTransfer::Step() {
    if (Over())
        return false;
    try {
        if (m_direction == Direction::Download)
            StepDownload();
        else
            StepUpload();
    } catch (const std::exception& e) {
        Trap(e.what());
    }
    return !Over();
}

void ProgramTransfer::Trap(const char* what) {
    const bool download = m_direction == Direction::Download;
    if (download) {
        m_link.m_onlineMode = false;
        m_link.m_inProgramMode = false;
        m_link.m_validProgram = false;
        m_link.m_writingIdent = false;
    } else {
        m_link.m_inUploadMode = false;
        m_link.m_readingIdent = false;
    }
    m_link.m_prompt.message(download ? QStringLiteral("RSComm DumpProgram")
                                     : QStringLiteral("RSComm-Upload Program"),
                            QStringLiteral("Error Number = ") + QString::number(InternalError) +
                                QStringLiteral("\n\n") + QString::fromLocal8Bit(what),
                            Prompt::Icon::Information);
    End();
}

// --- download ------------------------------------------------------------------

void ProgramTransfer::StepDownload() {
    switch (m_phase) {
    case Phase::Start:
        return DownloadStart();
    case Phase::ReadIdent:
        return DownloadReadIdent();
    case Phase::Confirm:
        return DownloadConfirm();
    case Phase::Prepare:
        return DownloadPrepare();
    case Phase::Records:
        return DownloadRecord();
    case Phase::LeaveProgramMode:
        return DownloadLeave();
    case Phase::Settle:
        return DownloadSettle();
    case Phase::WriteIdent:
        return DownloadWriteIdent();
    case Phase::Report:
        return DownloadReport();
    default:
        End();
    }
}

void ProgramTransfer::DownloadStart() {
    m_link.m_inProgramMode = true;
    m_link.m_writingIdent = false;
    m_link.m_currentProgramAdd = QStringLiteral(" ");
    if (!m_link.m_onlineMode) {
        m_link.m_prompt.message(DownloadTitle, OfflineText, Prompt::Icon::Information);
        m_link.m_inProgramMode = false;
        return End();
    }
    if (!m_link.m_validProgram) {
        m_link.m_prompt.message(
            DownloadTitle,
            QStringLiteral("Currently Selected Program is Invalid.\n\nProgram Download Halted!"),
            Prompt::Icon::Exclamation);
        m_link.m_inProgramMode = false;
        return End();
    }
    m_phase = Phase::ReadIdent;
    m_index = 0;
}

void ProgramTransfer::DownloadReadIdent() {
    if (!m_link.m_commError) {
        const QString value = m_link.RSRead(byteAddress(IdentAddress + m_index));
        if (m_index < 8) {
            const int code = value.toInt();
            // Padding and control bytes are not shown.
            if (code > 31)
                m_boardIdent += Windows1252::decode(QByteArray(1, char(code)));
        } else if (m_index == 8) {
            m_boardChecksum = value;
        } else {
            m_boardRevision = value;
        }
    }
    if (m_link.m_commError) {
        m_link.m_inProgramMode = false;
        return End();
    }
    if (++m_index == IdentBytes)
        m_phase = Phase::Confirm;
}

void ProgramTransfer::DownloadConfirm() {
    const QString text = QStringLiteral("Program to be loaded into module (on disk):\r\n"
                                        "  Program Ident: \t\t") +
                         m_link.m_fileIdent + QStringLiteral("\r\n  Program Revision: \t\t") +
                         m_link.m_fileRevision + QStringLiteral("\r\n  Program Checksum: \t") +
                         m_link.m_fileChecksum + QStringLiteral("\r\n  Target Board: \t\t") +
                         m_link.m_programTargetboardName +
                         QStringLiteral("\r\n\r\nProgram currently loaded in module:\r\n"
                                        "  Program Ident: \t\t") +
                         m_boardIdent + QStringLiteral("\r\n  Program Revision: \t\t") +
                         m_boardRevision + QStringLiteral("\r\n  Program Checksum: \t") +
                         m_boardChecksum +
                         QStringLiteral("\r\n\r\nEntire program file will be dumped to the PLC.\r\n"
                                        "All outputs are off while program dump occurrs.\r\n\r\n"
                                        "Do You Wish to Continue?\r\n");
    const auto answer = m_link.m_prompt.message(
        QStringLiteral("Program Download - [") + m_link.m_fileIdent + QStringLiteral("]"), text,
        Prompt::Icon::Question, Prompt::Buttons::YesNoCancel);
    if (answer != Prompt::Answer::Yes) {
        m_link.m_inProgramMode = false;
        return End();
    }
    // From here on the main window's polling stays off the link.
    m_link.m_onlineMode = false;
    const QString shownPath = QDir::toNativeSeparators(m_link.m_programFile);
    const QFileInfo info(m_link.m_programFile);
    auto refuse = [&](const QString& text, Prompt::Icon icon) {
        m_link.m_prompt.message(DownloadTitle, shownPath + text, icon);
        m_link.m_onlineMode = true;
        m_link.m_inProgramMode = false;
        End();
    };
    if (m_link.m_programFile.isEmpty() || !info.isFile())
        return refuse(QStringLiteral(" File Does Not Exist.\n\nProgram Downloaded Halted"),
                      Prompt::Icon::Information);
    if (info.size() == 0)
        return refuse(QStringLiteral(" File is Not Valid\n\nProgram Downloaded Halted"),
                      Prompt::Icon::Exclamation);
    // The whole file is checked before the board is touched.
    std::optional<QList<ProgramRecords::Record>> records;
    QFile file(m_link.m_programFile);
    if (info.size() <= ProgramRecords::MaxFileBytes && file.open(QIODevice::ReadOnly))
        records = ProgramRecords::parseFile(file.readAll());
    if (!records || file.error() != QFileDevice::NoError) {
        m_link.m_prompt.message(
            QStringLiteral("Program Dump"),
            QStringLiteral("Currently Selected Program is Invalid.\n\nProgram Download Halted!"),
            Prompt::Icon::Exclamation);
        m_link.m_validProgram = false;
        // Nothing was sent: the board is as it was, and so is the link.
        m_link.m_onlineMode = true;
        m_link.m_inProgramMode = false;
        return End();
    }
    m_records = std::move(*records);
    m_recordCount = int(m_records.size());
    m_fileIdentBytes = Windows1252::encode(trimSpaces(m_link.m_fileIdent));
    m_fileIdentBytes.append(QByteArray(8, '\0'));
    m_fileIdentBytes.truncate(8);
    m_phase = Phase::Prepare;
}

void ProgramTransfer::DownloadPrepare() {
    RSComm& link = m_link;
    m_touched = true;
    if (!link.m_commError)
        link.RSWrite(ArmRegister, ArmValue);
    if (!link.m_commError)
        link.RSWrite(FaultCodeRegister, QStringLiteral("0"));
    if (!link.m_commError) {
        RSComm::BusyGuard busy(link);
        link.m_clock.sleepMs(PrepareWaitMs);
        link.ExchangeByte(Attention);
    }
    link.m_boardMode = 0;
    if (BoardCodes::isConfigured(link.m_boardCode)) {
        const auto digits = link.m_configDigits;
        bool failed = false;
        const std::array<std::pair<QString, int>, 3> writes = {
            std::pair{QStringLiteral("B8188"), digitCValue(digits[2])},
            std::pair{QStringLiteral("B8189"), digits[1]},
            std::pair{QStringLiteral("B8190"), digitAValue(digits[0])}};
        for (const auto& [address, value] : writes) {
            if (link.m_commError)
                break;
            link.RSWrite(address, QString::number(value));
            failed = failed || link.m_lastWriteFailed || link.m_lastWriteRefused;
        }
        if (link.m_commError || failed) {
            link.m_prompt.message(QStringLiteral("Program Config Download"),
                                  QStringLiteral("Could Not Set Program Configuration in PLC!"),
                                  Prompt::Icon::Critical);
            // A program must not run with a configuration the board refused.
            if (!link.m_commError)
                return DownloadFailed(QStringLiteral("Program Download Not Complete!"),
                                      Prompt::Icon::Critical);
        }
    }
    {
        RSComm::BusyGuard busy(link);
        if (!link.m_commError)
            link.ExchangeByte(Attention);
        link.m_boardMode = 0;
        if (!link.m_commError)
            link.ExchangeByte(ProgramLoadModeByte);
    }
    m_phase = Phase::Records;
    m_recordIndex = 0;
}

void ProgramTransfer::DownloadRecord() {
    RSComm& link = m_link;
    if (link.m_commError || m_recordIndex >= m_recordCount) {
        // A link that failed skips the end of program loading.
        m_phase = link.m_commError ? Phase::Settle : Phase::LeaveProgramMode;
        m_settleUntilMs = link.m_clock.nowMs() + SettleWaitMs;
        return;
    }
    const ProgramRecords::Record& record = m_records[m_recordIndex];
    int sum = 0;
    {
        RSComm::BusyGuard busy(link);
        auto send = [&](int byte) {
            if (!link.m_commError)
                link.ExchangeByte(byte, true);
            sum += byte;
        };
        send(int(record.data.size()));
        send(record.address >> 8);
        send(record.address & 0xFF);
        for (const char b : record.data)
            send(quint8(b));
        link.m_currentProgramAdd = record.addressText + QStringLiteral("H");
        const int reply = link.m_commError ? -1 : link.AwaitByte(RecordSumWaitMs);
        if (reply != (sum & 0xFF)) {
            link.m_prompt.message(DownloadTitle,
                                  QStringLiteral("Checksum Error, Program Download Halted!"),
                                  Prompt::Icon::Exclamation);
            link.m_onlineMode = false;
            link.m_inProgramMode = false;
            link.m_validProgram = false;
            return End();
        }
    }
    ++m_recordIndex;
}

void ProgramTransfer::DownloadLeave() {
    RSComm& link = m_link;
    if (!link.m_commError) {
        RSComm::BusyGuard busy(link);
        if (link.ExchangeAttention() != AttentionAnswer) {
            link.m_prompt.message(DownloadTitle, QStringLiteral("PLC did not Exit Program Mode!"),
                                  Prompt::Icon::Critical);
            link.m_onlineMode = false;
            link.m_inProgramMode = false;
            link.m_validProgram = false;
            return End();
        }
    }
    link.m_boardMode = 0;
    m_phase = Phase::Settle;
    m_settleUntilMs = link.m_clock.nowMs() + SettleWaitMs;
}

void ProgramTransfer::DownloadSettle() {
    const qint64 remaining = m_settleUntilMs - m_link.m_clock.nowMs();
    if (remaining > 0) {
        m_link.m_clock.sleepMs(int(std::min<qint64>(remaining, SettleSliceMs)));
        if (m_settleUntilMs - m_link.m_clock.nowMs() > 0)
            return;
    }
    m_phase = Phase::WriteIdent;
    m_index = 0;
}

void ProgramTransfer::DownloadWriteIdent() {
    RSComm& link = m_link;
    if (link.m_commError)
        return void(m_phase = Phase::Report);
    link.m_writingIdent = true;
    const QString value = m_index < 8    ? QString::number(quint8(m_fileIdentBytes[m_index]))
                          : m_index == 8 ? link.m_fileChecksum
                                         : link.m_fileRevision;
    link.RSWrite(byteAddress(IdentAddress + m_index), value);
    // A write the board finally refused counts like a broken link.
    if (link.m_commError || link.m_lastWriteFailed || link.m_lastWriteRefused) {
        link.m_prompt.message(DownloadTitle,
                              QStringLiteral("Could Not Send Program Ident and Revision to PLC!"),
                              Prompt::Icon::Critical);
        m_identFailed = true;
        return void(m_phase = Phase::Report);
    }
    if (++m_index == IdentBytes)
        m_phase = Phase::Report;
}

void ProgramTransfer::DownloadReport() {
    RSComm& link = m_link;
    link.m_validProgram = false;
    link.m_writingIdent = false;
    if (link.m_commError || m_identFailed) {
        link.m_prompt.message(DownloadTitle, QStringLiteral("Program Download Not Complete!"),
                              Prompt::Icon::Critical);
        link.m_onlineMode = false;
    } else {
        link.m_prompt.message(DownloadTitle, QStringLiteral("Program Download Complete!"),
                              Prompt::Icon::Information);
        link.m_onlineMode = true;
        m_complete = true;
    }
    link.m_inProgramMode = false;
    End();
}

void ProgramTransfer::DownloadFailed(const QString& text, Prompt::Icon icon) {
    m_link.m_prompt.message(DownloadTitle, text, icon);
    m_link.m_onlineMode = false;
    m_link.m_inProgramMode = false;
    m_link.m_validProgram = false;
    m_link.m_writingIdent = false;
    End();
}

// --- upload --------------------------------------------------------------------

void ProgramTransfer::StepUpload() {
    switch (m_phase) {
    case Phase::Start:
        return UploadStart();
    case Phase::ReadIdent:
        return UploadReadIdent();
    case Phase::ReadConfiguration:
        return UploadReadConfiguration();
    case Phase::Records:
        return UploadRecord();
    case Phase::Save:
        return UploadSave();
    default:
        End();
    }
}

void ProgramTransfer::UploadStart() {
    m_link.m_readingIdent = false;
    if (!m_link.m_inUploadMode)
        return End();
    if (!m_link.m_onlineMode) {
        m_link.m_prompt.message(UploadTitle, OfflineText, Prompt::Icon::Information);
        m_link.m_inUploadMode = false;
        return End();
    }
    m_phase = Phase::ReadIdent;
    m_index = 0;
}

void ProgramTransfer::UploadNotComplete() {
    m_link.m_readingIdent = false;
    m_link.m_prompt.message(UploadTitle,
                            QStringLiteral("Program Upload Not Complete!\n\nHEX file not created."),
                            Prompt::Icon::Critical);
    m_link.m_onlineMode = false;
    m_link.m_inUploadMode = false;
    End();
}

void ProgramTransfer::UploadReadIdent() {
    RSComm& link = m_link;
    link.m_readingIdent = true;
    m_touched = true; // reads only, but the board was asked
    if (!link.m_commError) {
        const QString value = link.RSRead(byteAddress(IdentAddress + m_index));
        const int code = value.toInt();
        if (m_index < 8) {
            m_identBytes.append(char(code)); // zero bytes included
        } else {
            QString digits = hex2(code);
            RSComm::HEX2MarkHEX(digits);
            (m_index == 8 ? m_checksumText : m_revisionText) = digits;
        }
    }
    if (link.m_commError) {
        link.m_readingIdent = false;
        link.m_inUploadMode = false;
        return End();
    }
    if (link.m_lastReadFailed)
        return UploadNotComplete();
    if (++m_index < IdentBytes)
        return;
    link.m_readingIdent = false;
    m_phase = Phase::ReadConfiguration;
}

void ProgramTransfer::UploadReadConfiguration() {
    RSComm& link = m_link;
    // The board code names what is read and written: a project that cannot be
    // read (or is gone) ends the upload before a file is touched.
    if (!link.ReadBoardCode(link.m_projectFile, QStringLiteral("RSComm-Upload Program"))) {
        link.m_inUploadMode = false;
        return End();
    }
    if (BoardCodes::isConfigured(link.m_boardCode)) {
        const std::array<QString, 3> registers = {QStringLiteral("B8190"), QStringLiteral("B8189"),
                                                  QStringLiteral("B8188")};
        std::array<QString, 3> answers;
        for (size_t i = 0; i < registers.size(); ++i) {
            answers[i] = link.RSRead(registers[i]);
            // A value the board never gave must not become a digit in the file.
            if (link.m_commError || link.m_lastReadFailed)
                return UploadNotComplete();
        }
        m_configurationLine =
            Windows1252::encode(RSComm::LCFBoardIndex(link.m_boardCode) + QString(34, u'0') +
                                digitAFrom(answers[0]) + QStringLiteral("00") + answers[1] +
                                digitCFrom(answers[2]) + QStringLiteral("000%\r\n"));
    }
    const MemoryRange range = programMemory(link.m_boardCode);
    m_firstAddress = range.first;
    m_recordCount = range.bytes / RecordBytes;
    m_recordIndex = 0;
    m_hexText.clear();
    m_hexText.reserve(qsizetype(m_recordCount) * 43 + 13);
    m_phase = Phase::Records;
}

void ProgramTransfer::UploadRecord() {
    RSComm& link = m_link;
    if (m_recordIndex >= m_recordCount) {
        m_phase = Phase::Save;
        return;
    }
    const int address = m_firstAddress + m_recordIndex * RecordBytes;
    const QString addressText =
        QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
    link.m_currentProgramAdd = addressText + QStringLiteral("H");
    QString line = QStringLiteral(":10") + addressText + QStringLiteral("00");
    for (int i = 0; i < RecordBytes; ++i) {
        const QString value = link.RSRead(byteAddress(address + i));
        if (link.m_commError || link.m_lastReadFailed)
            return UploadNotComplete();
        line += hex2(value.toInt());
    }
    m_hexText += line.toLatin1() + "\r\n";
    ++m_recordIndex;
}

void ProgramTransfer::UploadSave() {
    RSComm& link = m_link;
    m_hexText += ":00000001FF\r\n";
    const QByteArray revision = m_identBytes + m_checksumText.toLatin1() +
                                m_revisionText.toLatin1() + QByteArrayLiteral("\r\n");
    // Each file is replaced whole, and only once all of them are ready.
    QSaveFile hexFile(link.m_programFile);
    QSaveFile configurationFile(link.m_configurationFile);
    QSaveFile revisionFile(link.m_revisionFile);
    const bool configured = !m_configurationLine.isEmpty();
    QSaveFile* failed = nullptr;
    if (!fill(hexFile, m_hexText))
        failed = &hexFile;
    else if (configured && !fill(configurationFile, m_configurationLine))
        failed = &configurationFile;
    else if (!fill(revisionFile, revision))
        failed = &revisionFile;
    else if (!hexFile.commit())
        failed = &hexFile;
    else if (configured && !configurationFile.commit())
        failed = &configurationFile;
    else if (!revisionFile.commit())
        failed = &revisionFile;
    if (failed) {
        link.m_inUploadMode = false;
        const QString name = QDir::toNativeSeparators(failed->fileName());
        link.m_prompt.message(QStringLiteral("RSComm-Upload Program"),
                              QStringLiteral("Error Number = ") +
                                  QString::number(int(failed->error())) + QStringLiteral("\n\n") +
                                  failed->errorString() +
                                  (name.isEmpty() ? QString() : QStringLiteral(" (") + name + u')'),
                              Prompt::Icon::Information);
        return End();
    }
    link.m_prompt.message(UploadTitle, QStringLiteral("Program Upload Complete!"),
                          Prompt::Icon::Information);
    link.m_onlineMode = true;
    link.m_inUploadMode = false;
    m_complete = true;
    End();
}

// --- the link's own calls: the whole transfer at once ------------------------

bool RSComm::DumpProgram() {
    ProgramTransfer job(*this, ProgramTransfer::Direction::Download);
    while (job.Step()) {
    }
    return job.Complete();
}

bool RSComm::UploadProgram() {
    ProgramTransfer job(*this, ProgramTransfer::Direction::Upload);
    while (job.Step()) {
    }
    return job.Complete();
}
