#include "RSComm.h"

#include "Clock.h"

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

void RSComm::BeginProgramMode() {
    m_inProgramMode = true;
    m_writingIdent = false;
    m_currentProgramAdd = QStringLiteral(" ");
}

void RSComm::EndProgramMode() {
    m_inProgramMode = false;
    m_writingIdent = false;
}

bool RSComm::ReloadBoardCode(const QString& errorTitle) {
    return ReadBoardCode(m_projectFile, errorTitle);
}

void RSComm::ArmProgramLoad() {
    if (!m_commError)
        RSWrite(ArmRegister, ArmValue);
    if (!m_commError)
        RSWrite(FaultCodeRegister, QStringLiteral("0"));
    if (!m_commError) {
        BusyGuard busy(*this);
        m_clock.sleepMs(ArmWaitMs);
        ExchangeByte(Attention);
    }
    m_boardMode = 0;
}

void RSComm::StartProgramLoad() {
    BusyGuard busy(*this);
    if (!m_commError)
        ExchangeByte(Attention);
    m_boardMode = 0;
    if (!m_commError)
        ExchangeByte(ProgramLoadModeByte);
}

bool RSComm::SendProgramRecord(const ProgramRecords::Record& record) {
    BusyGuard busy(*this);
    int sum = 0;
    auto send = [&](int byte) {
        if (!m_commError)
            ExchangeByte(byte, true);
        sum += byte;
    };
    send(int(record.data.size()));
    send(record.address >> 8);
    send(record.address & 0xFF);
    for (const char b : record.data)
        send(quint8(b));
    m_currentProgramAdd = record.addressText + QStringLiteral("H");
    const int reply = m_commError ? -1 : AwaitByte(RecordSumWaitMs);
    return reply == (sum & 0xFF);
}

bool RSComm::EndProgramLoad() {
    if (!m_commError) {
        BusyGuard busy(*this);
        if (ExchangeAttention() != AttentionAnswer)
            return false;
    }
    m_boardMode = 0;
    return true;
}

std::optional<QByteArray> RSComm::ReadProgramRecord(int address, int bytes) {
    m_currentProgramAdd = addressText(address) + QStringLiteral("H");
    QByteArray data;
    for (int i = 0; i < bytes; ++i) {
        const QString value = RSRead(QStringLiteral("B") + QString::number(address + i));
        if (m_commError || m_lastReadFailed)
            return std::nullopt;
        data.append(char(value.toInt()));
    }
    return data;
}
