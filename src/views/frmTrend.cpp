#include "frmTrend.h"

#include "Address.h"
#include "FileDialogs.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SampleCsv.h"
#include "SharedState.h"
#include "ViewContext.h"

#include <QChart>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

const QString Title = QStringLiteral("Trend");

// Colours that stay apart from each other on the chart's white.
const std::array<QColor, frmTrend::MaxRegisters> Palette{
    QColor(31, 119, 180),  QColor(214, 39, 40), QColor(44, 160, 44),   QColor(255, 127, 14),
    QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194), QColor(23, 190, 207)};

std::optional<qint32> wholeNumber(const QString& text) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint32>::min() + 1 ||
        value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

} // namespace

frmTrend::frmTrend(ViewContext& context, const Clock& clock, QWidget* parent)
    : ViewBase(context, QStringLiteral("frmTrend"), Title, parent), m_time(clock) {
    buildLayout();
    for (const char* address : {"W182", "W1040", "W1042"})
        addSeries(QString::fromLatin1(address));
    registersChanged();
    showRecordingState();

    connect(&m_loop, &RefreshLoop::passCompleted, this, &frmTrend::sampleCompleted);
    connect(&m_recording, &SampleRecording::failed, this, &frmTrend::recordingFailed);
    m_chartTimer.setInterval(ChartRefreshMs);
    connect(&m_chartTimer, &QTimer::timeout, this, [this] {
        if (m_chartDirty && !m_cmdPause->isChecked())
            refreshChart();
    });
    m_chartTimer.start();
}

QStringList frmTrend::addresses() const {
    QStringList out;
    for (const Register& r : m_registers)
        out.append(r.address);
    return out;
}

QColor frmTrend::freeColour() const {
    for (const QColor& colour : Palette) {
        const bool used = std::any_of(m_registers.begin(), m_registers.end(),
                                      [&](const Register& r) { return r.colour == colour; });
        if (!used)
            return colour;
    }
    return Palette[0];
}

void frmTrend::message(const QString& text) {
    m_context.prompt().message(Title, text, Prompt::Icon::Information);
}

void frmTrend::addSeries(const QString& address) {
    Register r{address, freeColour(), new QLineSeries};
    r.series->setName(address);
    r.series->setColor(r.colour);
    m_chart->addSeries(r.series);
    r.series->attachAxis(m_timeAxis);
    r.series->attachAxis(m_valueAxis);
    QLineSeries* series = r.series;
    connect(series, &QLineSeries::hovered, this, [this, series](const QPointF& point, bool state) {
        for (int i = 0; i < m_registers.size(); ++i)
            if (m_registers[i].series == series)
                showHover(i, point, state);
    });
    m_registers.append(r);
    m_store.addColumn();

    QPixmap swatch(12, 12);
    swatch.fill(r.colour);
    auto* item = new QListWidgetItem(QIcon(swatch), address, m_lstRegisters);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
}

bool frmTrend::AddRegister(const QString& text) {
    const QString address = text.trimmed().toUpper();
    if (!Address::parseWellFormed(address)) {
        message(QStringLiteral("'%1' is not a register address.\n\nEnter a letter and a number, "
                               "such as W182, B110.6, D1100, F858 or EFF0H.")
                    .arg(text.trimmed()));
        return false;
    }
    if (addresses().contains(address)) {
        message(QStringLiteral("%1 is on the chart already.").arg(address));
        return false;
    }
    if (m_registers.size() >= MaxRegisters) {
        message(QStringLiteral("The chart shows at most %1 registers.\n\nRemove one first.")
                    .arg(MaxRegisters));
        return false;
    }
    addSeries(address);
    registersChanged();
    m_txtAddress->clear();
    return true;
}

void frmTrend::RemoveRegister(int index) {
    // The last register stays: a pass over nothing would spin without a read.
    if (index < 0 || index >= m_registers.size() || m_registers.size() <= 1)
        return;
    const Register r = m_registers.takeAt(index);
    m_chart->removeSeries(r.series);
    delete r.series;
    delete m_lstRegisters->takeItem(index);
    m_store.removeColumn(index);
    registersChanged();
}

// The sample being read has the old registers: it is dropped, and the next
// pass reads the new ones.
void frmTrend::registersChanged() {
    ++m_generation;
    m_pending.clear();
    m_loop.NewCycle();
    m_cmdAdd->setEnabled(m_registers.size() < MaxRegisters && !m_recording.isRecording());
    m_cmdRemove->setEnabled(m_registers.size() > 1 && !m_recording.isRecording());
    m_chartDirty = true;
}

void frmTrend::PrepareOnline() {
    m_lblOffline->hide();
    m_cmdRecord->setEnabled(!m_recording.isRecording());
}

void frmTrend::PrepareOffline() {
    // Offline there is nothing to record; the chart keeps what it has.
    if (m_recording.isRecording())
        cmdStop_Click();
    m_lblOffline->show();
    m_cmdRecord->setEnabled(false);
}

QList<PollItem> frmTrend::PollItems() {
    m_pendingTimeMs = m_time.epochMs();
    m_pending = QList<std::optional<QString>>(m_registers.size());
    QList<PollItem> items;
    for (int i = 0; i < m_registers.size(); ++i) {
        items.append(
            {m_registers[i].address, [this, i, generation = m_generation](const QString& v) {
                 if (generation == m_generation && i < m_pending.size())
                     m_pending[i] = v;
             }});
    }
    return items;
}

void frmTrend::sampleCompleted() {
    if (m_pending.size() != m_registers.size())
        return; // the registers changed during the pass
    std::vector<std::optional<qint32>> values;
    values.reserve(size_t(m_pending.size()));
    for (const auto& text : m_pending)
        values.push_back(text ? wholeNumber(*text) : std::nullopt);
    m_store.append(m_pendingTimeMs, values);
    if (m_recording.isRecording())
        m_recording.write(SampleTime::local(m_pendingTimeMs), m_pending);
    m_chartDirty = true;
}

void frmTrend::refreshChart() {
    m_chartDirty = false;
    const qint64 windowMs =
        qint64(WindowMinutes[size_t(std::max(0, m_cboWindow->currentIndex()))]) * 60 * 1000;
    const qint64 to = m_store.isEmpty() ? m_time.epochMs() : m_store.newestTime();
    const qint64 from = to - windowMs;
    m_timeAxis->setFormat(windowMs <= 5 * 60 * 1000 ? QStringLiteral("HH:mm:ss")
                                                    : QStringLiteral("HH:mm"));
    m_timeAxis->setRange(SampleTime::local(from), SampleTime::local(to));
    double low = 0, high = 0;
    bool any = false;
    for (int i = 0; i < m_registers.size(); ++i) {
        const QList<QPointF> points = m_store.points(i, from, to, ChartBuckets);
        m_registers[i].series->replace(points);
        if (!m_registers[i].series->isVisible())
            continue;
        for (const QPointF& p : points) {
            low = any ? std::min(low, p.y()) : p.y();
            high = any ? std::max(high, p.y()) : p.y();
            any = true;
        }
    }
    if (!any)
        low = 0, high = 1;
    const double margin = std::max(1.0, (high - low) * 0.05);
    // Registers that never go below zero get no negative axis.
    m_valueAxis->setRange(low >= 0 ? std::max(0.0, low - margin) : low - margin, high + margin);
    m_valueAxis->applyNiceNumbers();
}

void frmTrend::showHover(int index, const QPointF& point, bool state) {
    if (!state) {
        QToolTip::hideText();
        return;
    }
    // The nearest sample the line passes through, not a point between two.
    const QList<QPointF> points = m_registers[index].series->points();
    if (points.isEmpty())
        return;
    const auto nearest = std::min_element(points.begin(), points.end(), [&](QPointF a, QPointF b) {
        return std::abs(a.x() - point.x()) < std::abs(b.x() - point.x());
    });
    const QString text =
        QStringLiteral("%1  %2 = %3")
            .arg(SampleTime::local(qint64(nearest->x())).toString(QStringLiteral("HH:mm:ss.zzz")),
                 m_registers[index].address, QString::number(qint64(nearest->y())));
    m_lblHover->setText(text);
    QToolTip::showText(QCursor::pos(), text, this);
}

void frmTrend::cmdRecord_Click() {
    if (m_recording.isRecording() || !m_context.link().OnlineMode())
        return;
    const QString preset = m_recordPath.isEmpty()
                               ? QFileInfo(m_context.shared().Files.gFileNamePath).absolutePath() +
                                     QStringLiteral("/trend.csv")
                               : m_recordPath;
    const QString path = m_context.fileDialogs().getSaveFileName(
        this, QStringLiteral("CSV Files (*.csv)"), preset, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    m_recordPath = WithDefaultSuffix(path, QStringLiteral("csv"));
    // The sample in progress began before the recording: the first row is
    // the next whole sample.
    if (const auto why = m_recording.start(m_recordPath, addresses())) {
        m_context.prompt().message(
            Title,
            QStringLiteral("Cannot record to %1:\n%2\n\nNothing is recorded.")
                .arg(QDir::toNativeSeparators(m_recordPath), *why),
            Prompt::Icon::Exclamation);
    }
    showRecordingState();
}

void frmTrend::cmdStop_Click() {
    m_recording.stop();
    showRecordingState();
}

void frmTrend::recordingFailed(const QString& why) {
    showRecordingState();
    // Not from inside the loop's step: the message box waits outside it.
    QTimer::singleShot(0, this, [this, why, path = m_recording.path()] {
        if (Unloaded())
            return;
        m_context.prompt().message(
            Title,
            QStringLiteral("Recording to %1 stopped:\n%2").arg(QDir::toNativeSeparators(path), why),
            Prompt::Icon::Exclamation);
    });
}

void frmTrend::showRecordingState() {
    const bool recording = m_recording.isRecording();
    m_lblRecording->setText(
        recording
            ? QStringLiteral("Recording to %1").arg(QDir::toNativeSeparators(m_recording.path()))
            : QStringLiteral("Not recording"));
    m_cmdRecord->setEnabled(!recording && m_context.link().OnlineMode());
    m_cmdStop->setEnabled(recording);
    // The file's columns are fixed by its header.
    m_cmdAdd->setEnabled(!recording && m_registers.size() < MaxRegisters);
    m_cmdRemove->setEnabled(!recording && m_registers.size() > 1);
    m_txtAddress->setEnabled(!recording);
}

void frmTrend::FormUnload() {
    m_chartTimer.stop();
    m_recording.stop();
}
