#pragma once

#include "PlantMessages.h"
#include "PressThread.h"

#include <QHash>
#include <QObject>
#include <QTimer>

// The code text tables beside the program, read once per code.
class CodeTexts {
public:
    explicit CodeTexts(QString programFolder);
    Plant::Code fault(int code);
    Plant::Code commError(int code);

private:
    Plant::Code lookup(QHash<int, QString>& cache, const QString& table, int code);
    QString m_faultTable;
    QString m_commTable;
    QHash<int, QString> m_faults;
    QHash<int, QString> m_commErrors;
};

// What one press is, as the plant sees it: turns its link's reports into a
// status that changes (online; reconnecting while the board does not answer;
// offline once it has not answered for a while, or was never reached) and
// into events: online and offline, fault raised and cleared. Runs on the
// monitor's thread.
class PressTracker final : public QObject {
    Q_OBJECT
public:
    PressTracker(const MonitorConfig::Press& press, int offlineAfterMs, CodeTexts& texts,
                 QObject* parent = nullptr);

    const QString& name() const { return m_name; }
    // Meaningful once statusChanged has been emitted.
    const Plant::PressStatus& status() const { return m_status; }
    bool reported() const { return m_status.time.isValid(); }

    void linkUp(const Plant::BoardInfo& board, const PressThread::Sample& first);
    void linkDown(const QString& reason);
    void sampled(const PressThread::Sample& sample);
    // The monitor is ending: the press goes offline.
    void stop();

signals:
    void statusChanged();
    void event(const Plant::PressEvent& event);
    void sample(const Plant::PressSample& sample);

private:
    void goOffline();
    void changed(const Plant::PressStatus& next);
    void emitEvent(Plant::PressEvent::Kind kind, const Plant::Code& fault = {});
    // The sample's codes in next; fault events for a fault that changed.
    void takeCodes(const PressThread::Sample& sample, Plant::PressStatus& next);

    QString m_name;
    CodeTexts& m_texts;
    Plant::PressStatus m_status;
    QTimer m_offlineTimer;
    bool m_saidOnline = false; // the last online/offline event said online
    bool m_stopped = false;
};
