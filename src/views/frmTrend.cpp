#include "frmTrend.h"

#include "Address.h"
#include "Prompt.h"
#include "RegisterNames.h"
#include "TrendSettings.h"
#include "ViewContext.h"

#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace {

const QString Title = QStringLiteral("Trend");
const QStringList DefaultRegisters{QStringLiteral("W182"), QStringLiteral("W1040"),
                                   QStringLiteral("W1042")};

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

frmTrend::frmTrend(ViewContext& context, SampleTime::WallClock wall, QWidget* parent)
    : ViewBase(context, QStringLiteral("frmTrend"), Title, parent), m_time(std::move(wall)) {
    buildLayout();
    restoreSettings();
    registersChanged();
    showRecordingState();

    connect(&m_loop, &RefreshLoop::passCompleted, this, &frmTrend::sampleCompleted);
    connect(&m_recording, &SampleRecording::failed, this, &frmTrend::recordingFailed);
    m_chartTimer.setInterval(ChartRefreshMs);
    connect(&m_chartTimer, &QTimer::timeout, this, [this] {
        if (!m_chartDirty)
            return;
        showLatestValues();
        if (!m_cmdPause->isChecked())
            refreshChart();
    });
    m_chartTimer.start();
    refreshChart();
}

QStringList frmTrend::addresses() const {
    QStringList out;
    for (const Register& r : m_registers)
        out.append(r.address);
    return out;
}

QList<QLineSeries*> frmTrend::lines(int index) const {
    QList<QLineSeries*> out;
    for (QLineSeries* line : m_registers[index].series)
        if (line->count() > 0)
            out.append(line);
    return out;
}

// What the user had last time, as far as it still holds: addresses are
// checked as if typed, and a list with none left starts from the defaults.
void frmTrend::restoreSettings() {
    const TrendSettings saved = TrendSettings::load();
    QStringList registers;
    for (const QString& text : saved.registers) {
        const QString address = text.trimmed().toUpper();
        if (Address::parseWellFormed(address) && !registers.contains(address) &&
            registers.size() < MaxRegisters)
            registers.append(address);
    }
    if (registers.isEmpty())
        registers = DefaultRegisters;
    for (const QString& address : registers)
        addSeries(address, !saved.hidden.contains(address, Qt::CaseInsensitive));
    const auto window = std::find(WindowMinutes.begin(), WindowMinutes.end(), saved.windowMinutes);
    m_cboWindow->setCurrentIndex(
        window == WindowMinutes.end() ? 0 : int(std::distance(WindowMinutes.begin(), window)));
    const auto interval = std::find(IntervalsMs.begin(), IntervalsMs.end(), saved.intervalMs);
    m_cboInterval->setCurrentIndex(
        interval == IntervalsMs.end() ? 0 : int(std::distance(IntervalsMs.begin(), interval)));
    m_loop.setPassIntervalMs(intervalMs());
    m_settingsRestored = true;
}

void frmTrend::saveSettings() const {
    if (!m_settingsRestored)
        return;
    TrendSettings settings;
    for (const Register& r : m_registers) {
        settings.registers.append(r.address);
        if (!r.visible)
            settings.hidden.append(r.address);
    }
    settings.windowMinutes = WindowMinutes[size_t(std::max(0, m_cboWindow->currentIndex()))];
    settings.intervalMs = intervalMs();
    settings.save();
}

int frmTrend::intervalMs() const {
    return IntervalsMs[size_t(std::max(0, m_cboInterval->currentIndex()))];
}

// The next sample starts now, and the ones after it at the new pace; a
// recording goes on at it.
void frmTrend::intervalChanged() {
    m_loop.setPassIntervalMs(intervalMs());
    saveSettings();
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

bool frmTrend::addRegister(const QString& text) {
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
    addSeries(address, true);
    registersChanged();
    m_txtAddress->clear();
    return true;
}

void frmTrend::removeRegister(int index) {
    // The last register stays: a pass over nothing would spin without a read.
    if (index < 0 || index >= m_registers.size() || m_registers.size() <= 1)
        return;
    const Register r = m_registers.takeAt(index);
    for (QLineSeries* line : r.series) {
        m_chart->removeSeries(line);
        delete line;
    }
    delete m_lstRegisters->takeItem(index);
    m_store.removeColumn(index);
    registersChanged();
}

// The sample being read has the old registers: it is dropped, and the next
// pass reads the new ones. The pass dropped here is no hole in the readings.
void frmTrend::registersChanged() {
    ++m_generation;
    m_pending.clear();
    m_passOpen = false;
    m_loop.NewCycle();
    showRecordingState();
    m_chartDirty = true;
    saveSettings();
}

void frmTrend::PrepareOnline() {
    m_lblOffline->hide();
    m_afterGap = true;
    m_cmdRecord->setEnabled(!m_recording.isRecording());
}

void frmTrend::PrepareOffline() {
    // Offline there is nothing to record; the chart keeps what it has.
    finishRecording();
    m_afterGap = true;
    m_lblOffline->show();
    m_cmdRecord->setEnabled(false);
}

QList<PollItem> frmTrend::PollItems() {
    // The pass before did not end, or a step waited since: a hole. Waiting
    // for its time is what a paced sample does: there its time tells.
    const bool held = m_loop.HeldSteps() != m_heldStepsSeen;
    if (m_passOpen || (held && intervalMs() == 0))
        m_afterGap = true;
    m_heldStepsSeen = m_loop.HeldSteps();
    m_passOpen = true;
    m_passRecorded = m_recording.isRecording();
    m_pendingTimeMs = m_time.epochMs();
    m_pending = QList<std::optional<QString>>(m_registers.size());
    QList<PollItem> items;
    for (int i = 0; i < m_registers.size(); ++i)
        items.append({m_registers[i].address,
                      [this, i, generation = m_generation](const QString& v) {
                          if (generation == m_generation && i < m_pending.size())
                              m_pending[i] = v;
                      },
                      PollItem::Whole});
    return items;
}

void frmTrend::sampleCompleted() {
    m_passOpen = false;
    if (m_pending.size() != m_registers.size())
        return; // the registers changed during the pass
    if (m_loop.HeldSteps() != m_heldStepsSeen) {
        // A dialog or another transaction held the pass: its reads lie on
        // both sides of the pause, so they are no one sample.
        m_heldStepsSeen = m_loop.HeldSteps();
        m_afterGap = true;
        return;
    }
    const bool afterGap =
        m_afterGap ||
        (!m_store.isEmpty() && m_pendingTimeMs - m_store.newestTime() > intervalMs() + GapMs);
    m_afterGap = false;
    std::vector<std::optional<qint32>> values;
    values.reserve(size_t(m_pending.size()));
    for (const auto& text : m_pending)
        values.push_back(text ? wholeNumber(*text) : std::nullopt);
    m_store.append(m_pendingTimeMs, values, afterGap);
    if (m_recording.isRecording() && m_passRecorded)
        m_recording.write(SampleTime::local(m_pendingTimeMs), m_pending);
    m_chartDirty = true;
}

void frmTrend::FormUnload() {
    m_chartTimer.stop();
    finishRecording();
}
