// The Trend view's chart: one line per stretch of samples without a hole,
// whole-number ticks, the list's latest values, the hover read-out.
#include "frmTrend.h"

#include "RegisterNames.h"

#include <QChart>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QStackedLayout>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

// A step of 1, 2 or 5 times a power of ten, at least 1, that cuts span into
// at most maxSteps steps.
double wholeStep(double span, int maxSteps) {
    for (double scale = 1;; scale *= 10)
        for (double factor : {1.0, 2.0, 5.0})
            if (span / (factor * scale) <= maxSteps)
                return factor * scale;
}

} // namespace

void frmTrend::addSeries(const QString& address, bool visible) {
    Register r;
    r.address = address;
    if (const auto known = RegisterNames::find(address))
        r.name = known->name;
    r.legend = r.name.isEmpty() ? address : address + u' ' + r.name;
    r.colour = freeColour();
    r.visible = visible;
    m_registers.append(r);
    m_store.addColumn();
    newLine(int(m_registers.size()) - 1);

    QPixmap swatch(12, 12);
    swatch.fill(r.colour);
    auto* item = new QListWidgetItem(QIcon(swatch), r.legend, m_lstRegisters);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(visible ? Qt::Checked : Qt::Unchecked);
    item->setToolTip(r.legend);
}

QLineSeries* frmTrend::newLine(int index) {
    Register& r = m_registers[index];
    auto* line = new QLineSeries;
    line->setColor(r.colour);
    m_chart->addSeries(line);
    line->attachAxis(m_timeAxis);
    line->attachAxis(m_valueAxis);
    line->setVisible(r.visible);
    if (r.series.isEmpty())
        line->setName(r.legend);
    connect(line, &QLineSeries::hovered, this, [this, line](const QPointF& point, bool state) {
        for (int i = 0; i < m_registers.size(); ++i)
            if (m_registers[i].series.contains(line))
                showHover(i, point, state);
    });
    r.series.append(line);
    showLegend(index);
    return line;
}

// One legend entry per register, the first line's, even while it is hidden,
// so that it can be found again.
void frmTrend::showLegend(int index) {
    const QList<QLineSeries*>& lines = m_registers[index].series;
    for (qsizetype k = 0; k < lines.size(); ++k)
        for (QLegendMarker* marker : m_chart->legend()->markers(lines[k]))
            marker->setVisible(k == 0);
}

void frmTrend::setVisible(int index, bool visible) {
    Register& r = m_registers[index];
    if (r.visible == visible)
        return;
    r.visible = visible;
    for (QLineSeries* line : r.series)
        line->setVisible(visible);
    showLegend(index);
    m_chartDirty = true;
    saveSettings();
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
    bool any = false, anyVisible = false;
    for (int i = 0; i < m_registers.size(); ++i) {
        const QList<SampleStore::Segment> segments = m_store.segments(i, from, to, ChartBuckets);
        if (m_registers[i].visible) {
            anyVisible = true;
            for (const SampleStore::Segment& segment : segments)
                for (const QPointF& p : segment) {
                    low = any ? std::min(low, p.y()) : p.y();
                    high = any ? std::max(high, p.y()) : p.y();
                    any = true;
                }
        }
        showLines(i, segments);
    }
    if (any)
        setValueRange(low, high);
    // No axis without a value on it: say why the chart is empty instead.
    m_lblNoSamples->setText(anyVisible ? QStringLiteral("No samples yet.")
                                       : QStringLiteral("Every register is hidden: tick one "
                                                        "in the list to show its line."));
    m_chartPages->setCurrentIndex(any ? 0 : 1);
}

void frmTrend::showLines(int index, QList<SampleStore::Segment> segments) {
    // Too many holes to draw each: the oldest close, the newest stay.
    while (segments.size() > MaxLines) {
        segments[1] = segments[0] + segments[1];
        segments.removeFirst();
    }
    Register& r = m_registers[index];
    while (r.series.size() < segments.size())
        newLine(index);
    for (qsizetype k = 0; k < r.series.size(); ++k) {
        QLineSeries* line = r.series[k];
        const SampleStore::Segment points = k < segments.size() ? segments[k] : QList<QPointF>();
        line->replace(points);
        // A lone sample between two holes has no line: it shows as a dot.
        line->setPointsVisible(points.size() == 1);
    }
}

// Every register holds whole numbers: the ticks are whole numbers too, and
// registers that never go below zero get no negative axis.
void frmTrend::setValueRange(double low, double high) {
    constexpr int MaxSteps = 6;
    if (high - low < 2) {
        const double middle = std::floor((low + high) / 2);
        low = middle - 1;
        high = middle + 1;
        if (low < 0 && middle >= 0)
            low = 0, high = 2;
    }
    const double step = wholeStep(high - low, MaxSteps);
    const double from = std::floor(low / step) * step;
    const double to = std::max(from + step, std::ceil(high / step) * step);
    m_valueAxis->setRange(from, to);
    m_valueAxis->setTickCount(int(std::lround((to - from) / step)) + 1);
}

// Each row of the list: the register, its name, and its latest value as the
// register's own view shows it.
void frmTrend::showLatestValues() {
    for (int i = 0; i < m_registers.size() && i < m_lstRegisters->count(); ++i) {
        const Register& r = m_registers[i];
        const auto value = m_store.newest(i);
        QString shown = QStringLiteral("-");
        if (value) {
            const auto known = RegisterNames::find(r.address);
            shown = known ? RegisterNames::format(known->format, QString::number(*value))
                          : QString::number(*value);
        }
        const QString text = r.legend + QStringLiteral(": ") + shown;
        QListWidgetItem* item = m_lstRegisters->item(i);
        if (item->text() != text)
            item->setText(text);
    }
}

void frmTrend::showHover(int index, const QPointF& point, bool state) {
    if (!state) {
        QToolTip::hideText();
        return;
    }
    // The nearest sample the lines pass through, not a point between two.
    std::optional<QPointF> nearest;
    for (QLineSeries* line : m_registers[index].series)
        for (const QPointF& p : line->points())
            if (!nearest || std::abs(p.x() - point.x()) < std::abs(nearest->x() - point.x()))
                nearest = p;
    if (!nearest)
        return;
    const QString text =
        QStringLiteral("%1  %2 = %3")
            .arg(SampleTime::local(qint64(nearest->x())).toString(QStringLiteral("HH:mm:ss.zzz")),
                 m_registers[index].legend, QString::number(qint64(nearest->y())));
    m_lblHover->setText(text);
    QToolTip::showText(QCursor::pos(), text, this);
}
