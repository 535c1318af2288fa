#include "ProgramLoading.h"

#include "Clock.h"
#include "RSComm.h"

namespace {

constexpr int Attention = 255;
constexpr int AttentionAnswer = 85;
// The board's program loading is armed by this value in B8181 and started by
// the mode byte 3; their meaning lies in the board's firmware.
const QString ArmRegister = QStringLiteral("B8181");
const QString ArmValue = QStringLiteral("86");
constexpr int ProgramLoadModeByte = 3;
const QString FaultCodeRegister = QStringLiteral("B8176");
constexpr int ArmWaitMs = 100;
constexpr int RecordSumWaitMs = 1000;

QString addressText(int address) {
    return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

Prompt& ProgramLoading::prompt() const {
    return m_link.m_prompt;
}

Clock& ProgramLoading::clock() const {
    return m_link.m_clock;
}

void ProgramLoading::BeginProgramMode() {
    m_link.m_inProgramMode = true;
    m_link.m_writingIdent = false;
    m_link.m_currentProgramAdd = QStringLiteral(" ");
}

void ProgramLoading::EndProgramMode() {
    m_link.m_inProgramMode = false;
    m_link.m_writingIdent = false;
}

void ProgramLoading::setWritingIdent(bool writing) {
    m_link.m_writingIdent = writing;
}

void ProgramLoading::setReadingIdent(bool reading) {
    m_link.m_readingIdent = reading;
}

void ProgramLoading::InvalidateProgram() {
    m_link.m_validProgram = false;
}

bool ProgramLoading::ReloadBoardCode(const QString& errorTitle) {
    return m_link.ReadBoardCode(m_link.m_projectFile, errorTitle);
}

void ProgramLoading::ArmProgramLoad() {
    RSComm& link = m_link;
    if (!link.m_commError)
        link.RSWrite(ArmRegister, ArmValue);
    if (!link.m_commError)
        link.RSWrite(FaultCodeRegister, QStringLiteral("0"));
    if (!link.m_commError) {
        RSComm::BusyGuard busy(link);
        link.m_clock.sleepMs(ArmWaitMs);
        link.ExchangeByte(Attention);
    }
    link.m_boardMode = 0;
}

void ProgramLoading::StartProgramLoad() {
    RSComm& link = m_link;
    RSComm::BusyGuard busy(link);
    if (!link.m_commError)
        link.ExchangeByte(Attention);
    link.m_boardMode = 0;
    if (!link.m_commError)
        link.ExchangeByte(ProgramLoadModeByte);
}

bool ProgramLoading::SendProgramRecord(const ProgramRecords::Record& record) {
    RSComm& link = m_link;
    RSComm::BusyGuard busy(link);
    int sum = 0;
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
    return reply == (sum & 0xFF);
}

bool ProgramLoading::EndProgramLoad() {
    RSComm& link = m_link;
    if (!link.m_commError) {
        RSComm::BusyGuard busy(link);
        if (link.ExchangeAttention() != AttentionAnswer)
            return false;
    }
    link.m_boardMode = 0;
    return true;
}

std::optional<QByteArray> ProgramLoading::ReadProgramRecord(int address, int bytes) {
    RSComm& link = m_link;
    link.m_currentProgramAdd = addressText(address) + QStringLiteral("H");
    QByteArray data;
    for (int i = 0; i < bytes; ++i) {
        const QString value = link.RSRead(QStringLiteral("B") + QString::number(address + i));
        if (link.m_commError || link.m_lastReadFailed)
            return std::nullopt;
        data.append(char(value.toInt()));
    }
    return data;
}
