#pragma once

#include "AlarmTables.h"

#include <QDateTime>
#include <QList>
#include <QString>

class HistoryKeeper;
struct SharedState;

// The fault log of the main window: every alarm it shows while online, and
// the comm fault when the link fails under it, each with the time it
// appeared and the time it went. Going offline ends the alarms it was
// showing (not seen to clear); a comm fault clears when the link is back.
class FaultWatch {
public:
    explicit FaultWatch(HistoryKeeper& keeper) : m_keeper(keeper) {}

    // After a tick that read the board: the alarms the window shows now.
    void Alarms(const QString& device, const AlarmState& alarms, const SharedState& state,
                const QDateTime& now);
    // The online mode as the window shows it, after every change; failed:
    // the link failed while the window was online.
    void Online(const QString& device, bool online, bool failed, const QDateTime& now);
    // The window closes: whatever still shows was not seen to clear.
    void Stop(const QDateTime& now);

private:
    struct Shown {
        qint64 id;
        QString kind;
        QString text;
    };
    void Appear(const QString& device, const QString& kind, int code, const QString& text,
                const QDateTime& now);
    // Ends the entries of a kind (all kinds: empty) that hold no longer.
    void End(const QString& kind, const QList<QString>& stillShown, const QDateTime& now,
             bool seenCleared);

    HistoryKeeper& m_keeper;
    QList<Shown> m_shown;
    bool m_online = false;
};
