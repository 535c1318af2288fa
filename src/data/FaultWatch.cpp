#include "FaultWatch.h"

#include "HistoryKeeper.h"
#include "SharedState.h"

#include <algorithm>

namespace {

const QString Alarm = QStringLiteral("alarm");
const QString Comm = QStringLiteral("comm");
const QString CommFaultText = QStringLiteral("Comm Fault with K2700");
// The program's code for a board that does not answer.
constexpr int NoAnswerCode = 0x42;

} // namespace

void FaultWatch::Alarms(const QString& device, const AlarmState& alarms, const SharedState& state,
                        const QDateTime& now) {
    QList<QString> shown;
    for (int i = 0; i < AlarmState::AlarmCount; ++i)
        if (alarms.AlarmActive[size_t(i)])
            shown << AlarmText(alarms, state, i).trimmed();
    End(Alarm, shown, now, true);
    for (int i = 0; i < AlarmState::AlarmCount; ++i) {
        if (!alarms.AlarmActive[size_t(i)])
            continue;
        const QString text = AlarmText(alarms, state, i).trimmed();
        const bool known = std::any_of(m_shown.cbegin(), m_shown.cend(), [&](const Shown& s) {
            return s.kind == Alarm && s.text == text;
        });
        if (!known)
            Appear(device, Alarm, i, text, now);
    }
}

void FaultWatch::Online(const QString& device, bool online, bool failed, const QDateTime& now) {
    if (online) {
        End(Comm, {}, now, true);
    } else if (m_online) {
        // Offline, the alarms are no longer watched.
        End(Alarm, {}, now, false);
        if (failed)
            Appear(device, Comm, NoAnswerCode, CommFaultText, now);
    }
    m_online = online;
}

void FaultWatch::Stop(const QDateTime& now) {
    End(QString(), {}, now, false);
}

void FaultWatch::Appear(const QString& device, const QString& kind, int code, const QString& text,
                        const QDateTime& now) {
    FaultEntry entry;
    entry.device = device;
    entry.kind = kind;
    entry.code = code;
    entry.text = text;
    entry.appeared = now;
    auto logged = m_keeper.history().FaultAppeared(entry);
    if (const auto* error = std::get_if<HistoryError>(&logged)) {
        m_keeper.Failed(*error);
        return;
    }
    m_shown.append({std::get<qint64>(logged), kind, text});
}

void FaultWatch::End(const QString& kind, const QList<QString>& stillShown, const QDateTime& now,
                     bool seenCleared) {
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if ((!kind.isEmpty() && it->kind != kind) || stillShown.contains(it->text)) {
            ++it;
            continue;
        }
        if (const auto failed = m_keeper.history().FaultEnded(it->id, now, seenCleared))
            m_keeper.Failed(*failed);
        it = m_shown.erase(it);
    }
}
