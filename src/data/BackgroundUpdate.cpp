#include "BackgroundUpdate.h"

#include "NumberText.h"
#include "RSComm.h"
#include "SharedState.h"

std::optional<QString> BackgroundUpdate::Tick() {
    // A transaction is waiting in its message box; this tick would interleave with it.
    if (m_link.Busy())
        return std::nullopt;

    if (!m_link.OnlineMode()) {
        m_state.SystemMessage = QStringLiteral("Set-up Program is Currently OFFLINE");
        return m_link.CommError() ? QStringLiteral("System Message:  Comm Fault with K2700")
                                  : QStringLiteral("System Message:  Program is Currently OFFLINE");
    }

    if (++m_alarms.PollPhase > 4)
        m_alarms.PollPhase = 0;
    const int phase = m_alarms.PollPhase;

    qint32 value = 0;
    if (!m_link.CommError()) {
        const QString text = m_link.RSRead(m_state.AlarmPollAddress[size_t(phase)]);
        // A read the board garbled twice says nothing about the alarms: the
        // flags stay as they are until the register is read again.
        if (m_link.LastReadFailed() && !m_link.CommError())
            return std::nullopt;
        value = NumberText::wholeInt32(text);
    }
    if (m_link.CommError())
        return std::nullopt;

    DecodeAlarmRegister(m_alarms, phase, value,
                        [this](const QString& address) -> std::optional<qint32> {
                            if (m_link.CommError())
                                return std::nullopt;
                            const QString text = m_link.RSRead(address);
                            if (m_link.LastReadFailed())
                                return std::nullopt;
                            return NumberText::wholeInt32(text);
                        });

    if (m_alarms.anyActive()) {
        m_state.SystemMessage = BuildAlarmText(m_alarms, m_state);
        return QStringLiteral("System Message:  Faults Active in PLC");
    }
    m_state.SystemMessage =
        QStringLiteral("-- System Normal --\r\nSet-up Program is Currently ONLINE");
    return QStringLiteral("System Message:  All Faults Normal");
}
