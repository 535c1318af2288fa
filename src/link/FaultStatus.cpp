#include "FaultStatus.h"

#include "CodeTable.h"
#include "ProgramFolder.h"
#include "RSComm.h"

#include <QFileDevice>

namespace {
constexpr QChar Q = u'"';
} // namespace

int FaultStatus::code(int slot) const {
    bool ok = false;
    const int value = codeText[size_t(slot)].toInt(&ok, 16);
    return ok ? value : 0;
}

QString FaultStatus::label(int slot) const {
    const QString& text = codeText[size_t(slot)];
    if (text.isEmpty())
        return {};
    switch (slot) {
    case 0:
        return QStringLiteral("Current Fault: Code = ") + text + u'H';
    case 1:
        return QStringLiteral("Last Fault: Code = ") + text + u'H';
    case CoCpuSlot:
        return QStringLiteral("CO-CPU Slot: ") + coCpuSlot;
    case 4:
        return QStringLiteral("Current Comm Error: Code = ") + text + u'H';
    case 5:
        return QStringLiteral("Last Comm Error: Code = ") + text + u'H';
    default:
        return {};
    }
}

QString FaultStatus::CorrectiveAction(int n) {
    if (n >= 0x01 && n <= 0x3F)
        return QStringLiteral("Replace CO-CPU board at ") + Q + QStringLiteral("CO-CPU Slot") + Q +
               QStringLiteral(" and try again.  ") +
               QStringLiteral("If fault persists, peplace R8050 processor board and try again.  ") +
               QStringLiteral("If fault persists, verify proper use of ") + Q +
               QStringLiteral("sfunc05/06/12") + Q + QStringLiteral(" in user program.");
    if (n == 0x42)
        return QStringLiteral("Verify connection of cable between computer ") + Q +
               QStringLiteral("COM") + Q + QStringLiteral(" port and target board ") + Q +
               QStringLiteral("PROG PORT") + Q + QStringLiteral(".  Verify ") +
               QStringLiteral("cable wiring and connectors.  If fault persists, replace target "
                              "board and/or ") +
               QStringLiteral("try a different computer.");
    if (n == 0x45)
        return QStringLiteral("User program executed an sfunc09() system fault function call.  "
                              "See User ") +
               QStringLiteral("program for details on source of fault and corrective action.");
    if (n == 0x5C || n == 0x5D)
        return QStringLiteral("Program is invalid.  Re-dump program to target board.  If fault "
                              "persists, ") +
               QStringLiteral("verify cable connections between computer and target board.  If "
                              "fault persists, ") +
               QStringLiteral("replace target board.");
    if (n >= 0x40 && n <= 0x7A)
        return QStringLiteral("Reset fault and try again.  If fault persists, replace target "
                              "board and try ") +
               QStringLiteral("again.  See Korvel Manual for more details.");
    return QStringLiteral("None");
}

FaultStatusReader::FaultStatusReader(RSComm& link, QString programFolder)
    : m_link(link), m_programFolder(std::move(programFolder)) {}

QString FaultStatusReader::faultTable() const {
    return ProgramFolder::resolve(m_programFolder, QStringLiteral("support/FaultErrCodes.txt"));
}

QString FaultStatusReader::commTable() const {
    return ProgramFolder::resolve(m_programFolder, QStringLiteral("support/CommErrCodes.txt"));
}

void FaultStatusReader::Begin(bool coCpuShown) {
    m_status = FaultStatus{};
    m_coCpuShown = coCpuShown;
    m_phase = 0;
    m_errorNumber = 0;
    m_errorString.clear();
}

void FaultStatusReader::ReadSlot(int slot) {
    QString value;
    if (!m_link.CommError())
        value = m_link.RSRead(QStringLiteral("B") +
                              QString::number(FaultStatus::Registers[size_t(slot)]));
    QString& text = m_status.codeText[size_t(slot)];
    text = m_link.CommError() ? FaultStatus::NoAnswer
                              : CodeTable::codeText(int(value.toLongLong() & 0xFF));
    if (slot != FaultStatus::CoCpuSlot && !m_link.CommError() && m_status.code(slot) != 0)
        m_status.resetEnabled = true;
    if (slot == FaultStatus::CoCpuSlot)
        m_status.coCpuSlot = QString::number(m_status.code(slot));
}

bool FaultStatusReader::Step() {
    if (Done())
        return true;
    if (m_phase < FaultStatus::Slots) {
        ReadSlot(m_phase++);
        if (m_phase < FaultStatus::Slots || m_coCpuShown)
            return true;
    } else if (m_phase == CoCpuPhase) {
        ++m_phase;
        if (!m_link.CommError()) {
            const QString value = m_link.RSRead(QStringLiteral("B8175"));
            if (!m_link.CommError() && !m_link.LastReadFailed())
                m_status.coCpuSlot = value;
        }
    }
    return Finish();
}

bool FaultStatusReader::FinishUnread() {
    if (Done())
        return true;
    for (int slot = m_phase; slot < FaultStatus::Slots; ++slot) {
        m_status.codeText[size_t(slot)] = FaultStatus::NoAnswer;
        if (slot == FaultStatus::CoCpuSlot)
            m_status.coCpuSlot = QString::number(m_status.code(slot));
    }
    return Finish();
}

bool FaultStatusReader::Describe(const QString& table, int slot) {
    const auto lookup =
        CodeTable::find(table, m_status.codeText[size_t(slot)], CodeTable::Match::Last);
    if (lookup.readError) {
        m_errorNumber = int(QFileDevice::ReadError);
        m_errorString = lookup.errorString;
        return false;
    }
    if (lookup.description)
        m_status.description[size_t(slot)] = lookup.description;
    return true;
}

bool FaultStatusReader::Finish() {
    m_phase = FinishPhase;
    for (const int slot : {0, 1})
        if (!Describe(faultTable(), slot))
            return false;
    m_status.correctiveAction =
        FaultStatus::CorrectiveAction(m_status.code(FaultStatus::ActionSlot));
    for (const int slot : {4, 5})
        if (!Describe(commTable(), slot))
            return false;
    return true;
}

bool FaultStatusReader::ReadAll(bool coCpuShown) {
    Begin(coCpuShown);
    while (!Done())
        if (!Step())
            return false;
    return true;
}
