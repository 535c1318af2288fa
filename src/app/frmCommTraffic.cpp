#include "frmCommTraffic.h"

#include "BoardLink.h"
#include "Clock.h"
#include "ErrorText.h"
#include "FileDialogs.h"
#include "Prompt.h"
#include "RSComm.h"
#include "TrafficText.h"
#include "ViewContext.h"
#include "WholeFile.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

struct Colours {
    QColor text;
    QColor background;
};

Colours coloursOf(TrafficText::Mark mark, const QPalette& palette) {
    const QColor text = palette.color(QPalette::Text);
    switch (mark) {
    case TrafficText::Mark::Resend:
        return {QColor(190, 110, 0), {}};
    case TrafficText::Mark::TimeOut:
        return {QColor(200, 0, 0), {}};
    case TrafficText::Mark::WrongEcho:
        return {QColor(150, 0, 170), {}};
    case TrafficText::Mark::Lost:
        return {Qt::white, QColor(150, 0, 0)};
    case TrafficText::Mark::Plain:
        break;
    }
    return {text, {}};
}

QString plural(int n, const char* one, const char* many) {
    return QString::number(n) + u' ' + QString::fromLatin1(n == 1 ? one : many);
}

} // namespace

TrafficView::TrafficView(const CommTrafficLog& log, QWidget* parent)
    : QAbstractScrollArea(parent), m_log(log) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_rowHeight = fontMetrics().height();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(1);
}

int TrafficView::visibleRows() const {
    return std::max(1, viewport()->height() / m_rowHeight);
}

QString TrafficView::lineAt(int row) const {
    return TrafficText::line(m_log.at(row), m_log.originUs());
}

void TrafficView::refresh() {
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    bar->setRange(0, std::max(0, m_log.size() - visibleRows()));
    bar->setPageStep(visibleRows());
    if (atEnd)
        bar->setValue(bar->maximum());
    viewport()->update();
}

void TrafficView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    refresh();
}

void TrafficView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int first = verticalScrollBar()->value();
    const int last = std::min(m_log.size(), first + visibleRows() + 1);
    const int ascent = fontMetrics().ascent();
    for (int row = first; row < last; ++row) {
        const Exchange& exchange = m_log.at(row);
        const Colours colours = coloursOf(TrafficText::mark(exchange), palette());
        const QRect rect(0, (row - first) * m_rowHeight, viewport()->width(), m_rowHeight);
        if (colours.background.isValid())
            painter.fillRect(rect, colours.background);
        painter.setPen(colours.text);
        painter.drawText(4, rect.top() + ascent, lineAt(row));
    }
}

frmCommTraffic::frmCommTraffic(ViewContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(context) {
    setObjectName(QStringLiteral("frmCommTraffic"));
    setWindowTitle(QStringLiteral("Comm Traffic"));
    resize(760, 480);

    lblCounts = new QLabel(this);
    lblCounts->setObjectName(QStringLiteral("lblCounts"));
    lstTraffic = new TrafficView(m_log, this);
    lstTraffic->setObjectName(QStringLiteral("lstTraffic"));
    cmdPause = new QPushButton(QStringLiteral("&Pause"), this);
    cmdPause->setObjectName(QStringLiteral("cmdPause"));
    cmdClear = new QPushButton(QStringLiteral("&Clear"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdSaveAs = new QPushButton(QStringLiteral("Save &As..."), this);
    cmdSaveAs->setObjectName(QStringLiteral("cmdSaveAs"));
    connect(cmdPause, &QPushButton::clicked, this, &frmCommTraffic::cmdPause_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmCommTraffic::cmdClear_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &frmCommTraffic::cmdSaveAs_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblCounts, 1);
    buttons->addWidget(cmdPause);
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdSaveAs);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(lstTraffic, 1);

    m_refresh.setInterval(RefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &frmCommTraffic::Refresh);
    Refresh();
}

frmCommTraffic::~frmCommTraffic() {
    Watch(false);
}

void frmCommTraffic::Watch(bool on) {
    if (on == m_watching)
        return;
    m_watching = on;
    BoardLink& core = m_context.link().core();
    if (on) {
        core.addObserver(m_log);
        m_refresh.start();
    } else {
        // Closed, the window costs the link nothing.
        core.removeObserver(m_log);
        m_refresh.stop();
    }
}

void frmCommTraffic::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Watch(true);
    Refresh();
}

void frmCommTraffic::hideEvent(QHideEvent* event) {
    Watch(false);
    QWidget::hideEvent(event);
}

QString frmCommTraffic::CountsText() const {
    const auto counts = m_log.lastMinute(m_context.link().core().clock().nowUs());
    return QStringLiteral("Last minute: ") + plural(counts.exchanges, "exchange", "exchanges") +
           QStringLiteral(", ") + plural(counts.resends, "resend", "resends") +
           QStringLiteral(", ") + plural(counts.timeOuts, "time-out", "time-outs") +
           QStringLiteral(", ") + plural(counts.wrongEchoes, "wrong echo", "wrong echoes");
}

void frmCommTraffic::Refresh() {
    lblCounts->setText(CountsText());
    if (m_log.kept() == m_shownKept)
        return;
    m_shownKept = m_log.kept();
    lstTraffic->refresh();
}

void frmCommTraffic::cmdPause_Click() {
    m_log.setPaused(!m_log.paused());
    cmdPause->setText(m_log.paused() ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
}

void frmCommTraffic::cmdClear_Click() {
    m_log.clear();
    Refresh();
}

void frmCommTraffic::cmdSaveAs_Click() {
    const QString path = m_context.fileDialogs().getSaveFileName(
        this, QStringLiteral("Text Files (*.txt *.TXT)"),
        FileDialogStart(m_context.programFolder()) + u'/', QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QByteArray text;
    for (int row = 0; row < m_log.size(); ++row)
        text += lstTraffic->lineAt(row).toUtf8() + "\r\n";
    if (const auto failed = WriteWholeFile(path, text))
        m_context.prompt().message(QStringLiteral("Comm Traffic"),
                                   ErrorText::numbered(failed->number, failed->description),
                                   Prompt::Icon::Exclamation);
}
