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
class QStackedLayout;
class QValueAxis;

// The Trend view: up to eight registers plotted against time while online,
// one register read whole per step of the refresh loop; one pass over them is
// one sample. The chart shows the last 1, 5, 15 or 60 minutes and keeps no more
// than the longest of these; a recording keeps every sample in a CSV file.
// The registers, the hidden ones and the time window are kept per user.
class frmTrend final : public ViewBase {
    Q_OBJECT
public:
    static constexpr int MaxRegisters = 8;
    static constexpr std::array<int, 4> WindowMinutes{1, 5, 15, 60};
    // How far apart samples start, as watch's --every: 0 as fast as the wire
    // allows (about 35 samples a second of three words at 19200 baud).
    static constexpr std::array<int, 5> IntervalsMs{0, 100, 250, 1000, 5000};
    static constexpr qint64 KeepMs = 60LL * 60 * 1000;
    // The chart is redrawn this often at most, however fast samples come:
    // drawing takes the time of reads, and the board comes first.
    static constexpr int ChartRefreshMs = 1000;
    // A chart is this many buckets wide: more points would not show.
    static constexpr int ChartBuckets = 800;
    // Samples further apart than their interval and this have a hole
    // between them: the link waits this long for an answer before it asks
    // again, so a board that did not answer always leaves one, and a pass
    // never takes this long.
    static constexpr qint64 GapMs = 1000;
    // Lines drawn for one register at most; beyond, the oldest holes close.
    static constexpr int MaxLines = 100;

    // wall: the clock that times the samples.
    explicit frmTrend(ViewContext& context, SampleTime::WallClock wall = SampleTime::systemMs,
                      QWidget* parent = nullptr);

    QStringList addresses() const;
    // The chosen sampling interval (one of IntervalsMs).
    int intervalMs() const;
    const SampleStore& store() const { return m_store; }
    const SampleRecording& recording() const { return m_recording; }
    // The lines a register's samples make on the chart, one for each
    // stretch without a hole.
    QList<QLineSeries*> lines(int index) const;

    // Takes the address checked as strictly as the command line's; a
    // message says why not.
    bool addRegister(const QString& text);
    void removeRegister(int index);
    void chooseFileAndRecord();
    void stopRecording();

protected:
    void PrepareOnline() override;
    void PrepareOffline() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override {}
    void FormUnload() override;

private:
    struct Register {
        QString address;
        QString name;   // what the program calls it, or empty
        QString legend; // the address and the name
        QColor colour;
        bool visible = true;
        // The first line carries the legend entry; the others are the
        // stretches after holes.
        QList<QLineSeries*> series;
    };

    void buildLayout();
    void restoreSettings();
    void saveSettings() const;
    void addSeries(const QString& address, bool visible);
    QLineSeries* newLine(int index);
    void showLegend(int index);
    void setVisible(int index, bool visible);
    void intervalChanged();
    void registersChanged();
    void sampleCompleted();
    void refreshChart();
    void showLines(int index, QList<SampleStore::Segment> segments);
    void setValueRange(double low, double high);
    void showLatestValues();
    void showHover(int index, const QPointF& point, bool state);
    void finishRecording();
    void showRecordingState();
    void recordingFailed();
    void message(const QString& text);
    QColor freeColour() const;

    SampleTime m_time;
    SampleStore m_store{KeepMs};
    SampleRecording m_recording;
    QList<Register> m_registers;
    bool m_settingsRestored = false;
    // The sample being read: its time and the values read so far, for the
    // registers of generation m_generation.
    qint64 m_pendingTimeMs = 0;
    QList<std::optional<QString>> m_pending;
    int m_generation = 0;
    // Where sampling broke off: a pass that did not end, a held step, offline.
    bool m_passOpen = false;
    bool m_afterGap = true;
    qint64 m_heldStepsSeen = 0;
    // The pass in progress began while recording: its row belongs to the file.
    bool m_passRecorded = false;
    QString m_recordPath;
    QTimer m_chartTimer;
    bool m_chartDirty = false;

    QChart* m_chart = nullptr;
    QChartView* m_chvTrend = nullptr;
    QLabel* m_lblNoSamples = nullptr;
    QStackedLayout* m_chartPages = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_valueAxis = nullptr;
    QListWidget* m_lstRegisters = nullptr;
    QLineEdit* m_txtAddress = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdRemove = nullptr;
    QComboBox* m_cboWindow = nullptr;
    QComboBox* m_cboInterval = nullptr;
    QPushButton* m_cmdPause = nullptr;
    QPushButton* m_cmdRecord = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QLabel* m_lblRecording = nullptr;
    QLabel* m_lblOffline = nullptr;
    QLabel* m_lblHover = nullptr;
};
