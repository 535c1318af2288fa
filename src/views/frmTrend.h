#pragma once

#include "SampleRecording.h"
#include "SampleStore.h"
#include "SampleTime.h"
#include "ViewBase.h"

#include <QColor>
#include <QList>
#include <QTimer>
#include <array>
#include <optional>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineEdit;
class QLineSeries;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QValueAxis;

// The Trend view: up to eight registers plotted against time while online,
// one register read per step of the refresh loop; one pass over them is one
// sample. The chart shows the last 1, 5, 15 or 60 minutes and keeps no more
// than the longest of these; a recording keeps every sample in a CSV file.
class frmTrend final : public ViewBase {
    Q_OBJECT
public:
    static constexpr int MaxRegisters = 8;
    static constexpr std::array<int, 4> WindowMinutes{1, 5, 15, 60};
    static constexpr qint64 KeepMs = 60LL * 60 * 1000;
    // The chart is redrawn this often at most, however fast samples come:
    // drawing takes the time of reads, and the board comes first.
    static constexpr int ChartRefreshMs = 1000;
    // A chart is this many buckets wide: more points would not show.
    static constexpr int ChartBuckets = 800;

    // clock: the monotonic clock that times the samples (the link's).
    frmTrend(ViewContext& context, const Clock& clock, QWidget* parent = nullptr);

    QStringList addresses() const;
    const SampleStore& store() const { return m_store; }
    const SampleRecording& recording() const { return m_recording; }
    QLineSeries* series(int index) const { return m_registers[index].series; }

    // Takes the address checked as strictly as the command line's; a
    // message says why not.
    bool AddRegister(const QString& text);
    void RemoveRegister(int index);
    void cmdRecord_Click();
    void cmdStop_Click();

protected:
    void PrepareOnline() override;
    void PrepareOffline() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override {}
    void FormUnload() override;

private:
    struct Register {
        QString address;
        QColor colour;
        QLineSeries* series = nullptr;
    };

    void buildLayout();
    void addSeries(const QString& address);
    void registersChanged();
    void sampleCompleted();
    void refreshChart();
    void showRecordingState();
    void recordingFailed(const QString& why);
    void showHover(int index, const QPointF& point, bool state);
    void message(const QString& text);
    QColor freeColour() const;

    SampleTime m_time;
    SampleStore m_store{KeepMs};
    SampleRecording m_recording;
    QList<Register> m_registers;
    // The sample being read: its time and the values read so far, for the
    // registers of generation m_generation.
    qint64 m_pendingTimeMs = 0;
    QList<std::optional<QString>> m_pending;
    int m_generation = 0;
    QString m_recordPath;
    QTimer m_chartTimer;
    bool m_chartDirty = false;

    QChart* m_chart = nullptr;
    QChartView* m_chvTrend = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_valueAxis = nullptr;
    QListWidget* m_lstRegisters = nullptr;
    QLineEdit* m_txtAddress = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdRemove = nullptr;
    QComboBox* m_cboWindow = nullptr;
    QPushButton* m_cmdPause = nullptr;
    QPushButton* m_cmdRecord = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QLabel* m_lblRecording = nullptr;
    QLabel* m_lblOffline = nullptr;
    QLabel* m_lblHover = nullptr;
};
