#include "ProgramLoading.h"

#include "BoardLink.h"
#include "BoardProtocol.h"
#include "Clock.h"

using namespace BoardProtocol;
using Step = Exchange::Step;

namespace {

QString addressText(int address) {
    return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
}

ParsedAddress byteAt(int address) {
    ParsedAddress a;
    a.boardAddress = address;
    return a;
}

} // namespace

ProgramLoading::ProgramLoading(BoardLink& core, Prompt& prompt, ProgramProject& project)
    : m_core(core), m_prompt(prompt), m_project(project) {}

Clock& ProgramLoading::clock() const {
    return m_core.clock();
}

void ProgramLoading::BeginProgramMode() {
    m_inProgramMode = true;
    m_writingIdent = false;
    m_currentProgramAdd = QStringLiteral(" ");
}

void ProgramLoading::EndProgramMode() {
    m_inProgramMode = false;
    m_writingIdent = false;
}

void ProgramLoading::ArmProgramLoad() {
    // Neither write can be refused: both values fit their byte.
    if (!m_core.failed())
        (void)m_core.write(byteAt(ArmRegister), ArmValue);
    if (!m_core.failed())
        (void)m_core.write(byteAt(FaultCodeRegister), 0);
    if (!m_core.failed()) {
        BoardLink::Transaction transaction(m_core);
        m_core.clock().sleepMs(ArmWaitMs);
        (void)m_core.exchange(Attention, Step::ProgramLoad);
    }
    m_core.leaveMode();
}

void ProgramLoading::StartProgramLoad() {
    BoardLink::Transaction transaction(m_core);
    if (!m_core.failed())
        (void)m_core.exchange(Attention, Step::ProgramLoad);
    m_core.leaveMode();
    if (!m_core.failed())
        (void)m_core.exchange(ProgramLoadModeByte, Step::ProgramLoad);
}

bool ProgramLoading::SendProgramRecord(const ProgramRecords::Record& record) {
    BoardLink::Transaction transaction(m_core);
    int sum = 0;
    auto send = [&](int byte) {
        if (!m_core.failed())
            (void)m_core.exchange(byte, Step::RecordByte, -1, BoardLink::Send::NoWait);
        sum += byte;
    };
    send(int(record.data.size()));
    send(record.address >> 8);
    send(record.address & 0xFF);
    for (const char b : record.data)
        send(quint8(b));
    m_currentProgramAdd = record.addressText + QStringLiteral("H");
    if (m_core.failed())
        return false;
    const auto reply = m_core.awaitByte(RecordSumWaitMs);
    return reply && reply.value() == (sum & 0xFF);
}

bool ProgramLoading::EndProgramLoad() {
    if (!m_core.failed()) {
        BoardLink::Transaction transaction(m_core);
        // Here the answer to the attention byte is what is awaited: one that
        // comes only after a resend is still that answer.
        const auto reply = m_core.exchange(Attention, Step::ProgramLoad);
        const int answer = reply                                            ? reply.value()
                           : reply.failedWith(LinkFailure::Kind::WrongEcho) ? reply.failure().byte
                                                                            : -1;
        if (answer != Acknowledge)
            return false;
    }
    m_core.leaveMode();
    return true;
}

std::optional<QByteArray> ProgramLoading::ReadProgramRecord(int address, int bytes) {
    m_currentProgramAdd = addressText(address) + QStringLiteral("H");
    QByteArray data;
    for (int i = 0; i < bytes; ++i) {
        const auto value = m_core.read(byteAt(address + i));
        if (!value || m_core.failed())
            return std::nullopt;
        data.append(char(value.value()));
    }
    return data;
}
