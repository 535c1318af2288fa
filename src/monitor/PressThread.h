#pragma once

#include "MonitorConfig.h"
#include "PlantMessages.h"
#include "SampleTime.h"

#include <QThread>
#include <condition_variable>
#include <mutex>
#include <optional>

// How the monitor waits: back-off between tries to reach a press, and how
// long a press may be unreachable before it counts as offline.
struct MonitorTiming {
    int retryMinMs = 1000;
    int retryMaxMs = 30000;
    int offlineAfterMs = 60000;
    int brokerRetryMinMs = 1000;
    int brokerRetryMaxMs = 30000;
};

class PressLink;

// One press's link on a thread of its own: opens it (again and again, with
// back-off, while the board does not answer), reads what the board is, then
// samples the press's registers and its fault and comm error codes on a
// steady schedule. It reports by signals, which reach the monitor's thread
// queued; nothing else touches the link.
class PressThread final : public QThread {
    Q_OBJECT
public:
    struct Sample {
        Plant::PressSample values;
        std::optional<int> fault; // nullopt: the read failed
        std::optional<int> commError;
    };

    PressThread(MonitorConfig::Press press, MonitorTiming timing, QObject* parent = nullptr);
    ~PressThread() override;

    const MonitorConfig::Press& press() const { return m_press; }
    // Ends the thread after the read in progress (a board that does not
    // answer holds a read up to its time-outs).
    void requestStop();

signals:
    // The board answered: what it is, and its first sample.
    void linkUp(const Plant::BoardInfo& board, const PressThread::Sample& first);
    void linkDown(const QString& reason);
    void sampled(const PressThread::Sample& sample);

protected:
    void run() override;

private:
    // Waits until the monotonic time dueMs; false when a stop came first.
    bool waitUntil(qint64 dueMs);
    bool stopping();
    // One reading of the registers and the fault and comm error codes;
    // nullopt when the link was lost on the way.
    std::optional<Sample> takeSample(PressLink& link);

    const MonitorConfig::Press m_press;
    SampleTime m_wall;
    const MonitorTiming m_timing;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
};

Q_DECLARE_METATYPE(PressThread::Sample)
