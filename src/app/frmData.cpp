#include "frmData.h"

#include "DisplayFormat.h"
#include "MouseHoldButton.h"
#include "RSComm.h"
#include "RefreshLoop.h"
#include "RegisterNames.h"
#include "SharedState.h"
#include "ViewContext.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Entries of one shift: the totals, then the sixteen stations.
constexpr int ShiftEntries = RegisterNames::ShiftEntries;

QLabel* valueLabel(int index) {
    auto* label = new QLabel(QStringLiteral("-"));
    label->setObjectName(QStringLiteral("lblData%1").arg(index));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(index % ShiftEntries < 2 ? 120 : 70);
    return label;
}

QLabel* descriptionLabel(int index, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QStringLiteral("lblDescription%1").arg(index));
    return label;
}

QGroupBox* groupFrame(int index, const QString& caption) {
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(QStringLiteral("fraShiftData%1").arg(index));
    return frame;
}

} // namespace

frmData::frmData(ViewContext& context, QWidget* parent)
    : ViewBase(context, QStringLiteral("frmData"), QStringLiteral("Shift Data"), parent) {
    BuildControls();
    connect(m_tbsData, &QTabBar::currentChanged, this, &frmData::tbsData_Click);
    connect(m_cmdEndofShift, &MouseHoldButton::mouseDown, this, &frmData::cmdEndofShift_MouseDown);
    connect(m_cmdEndofShift, &MouseHoldButton::mouseUp, this, &frmData::cmdEndofShift_MouseUp);
    Form_Load();
}

void frmData::Form_Load() {
    // The register table's first 36 entries: each shift's strokes (a double
    // word), die jams, then the die jams of stations 1 to 16.
    for (int i = 0; i < ValueCount; ++i)
        m_address[size_t(i)] = RegisterNames::shiftData()[size_t(i)].address;
    // Activation: the first page, whose entries are polled first.
    ShowPage(0);
}

void frmData::BuildControls() {
    m_tbsData = new QTabBar;
    m_tbsData->setObjectName(QStringLiteral("tbsData"));
    m_tbsData->addTab(QStringLiteral("&Current Shift"));
    m_tbsData->addTab(QStringLiteral("&Last Shift"));
    m_tbsData->setExpanding(false);

    m_fraData[0] = BuildPage(0);
    m_fraData[1] = BuildPage(1);

    m_fraEndofShift = new QGroupBox(QStringLiteral("End of Shift"));
    m_fraEndofShift->setObjectName(QStringLiteral("fraEndofShift"));
    m_cmdEndofShift = new MouseHoldButton(QStringLiteral("T&ransfer Data"));
    m_cmdEndofShift->setObjectName(QStringLiteral("cmdEndofShift"));
    m_cmdEndofShift->setAutoDefault(false);
    auto* endOfShift = new QHBoxLayout(m_fraEndofShift);
    endOfShift->addWidget(m_cmdEndofShift);

    auto* window = new QVBoxLayout(this);
    window->addWidget(m_tbsData);
    window->addWidget(m_fraData[0], 1);
    window->addWidget(m_fraData[1], 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_fraEndofShift);
    window->addLayout(bottom);
}

// A page: the shift's totals over a 2 x 8 grid of its stations.
QFrame* frmData::BuildPage(int page) {
    const int first = page * ShiftEntries;
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("fraData%1").arg(page));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setWindowTitle(RegisterNames::shiftCaption(page));
    frame->setAccessibleName(frame->windowTitle());

    for (int i = first; i < first + ShiftEntries; ++i) {
        m_lblData[size_t(i)] = valueLabel(i);
        m_lblDescription[size_t(i)] =
            descriptionLabel(i, RegisterNames::shiftData()[size_t(i)].text);
    }

    QGroupBox* totals = groupFrame(2 * page, RegisterNames::shiftCaption(page));
    auto* totalsGrid = new QGridLayout(totals);
    for (int row = 0; row < 2; ++row) {
        totalsGrid->addWidget(m_lblDescription[size_t(first + row)], row, 0, Qt::AlignRight);
        totalsGrid->addWidget(m_lblData[size_t(first + row)], row, 1);
    }
    totalsGrid->setColumnStretch(2, 1);

    QGroupBox* stations = groupFrame(2 * page + 1, RegisterNames::StationsFrame);
    auto* stationGrid = new QGridLayout(stations);
    for (int station = 0; station < Stations; ++station) {
        const int row = station % 8;
        const int column = 2 * (station / 8);
        const int i = first + 2 + station;
        stationGrid->addWidget(m_lblDescription[size_t(i)], row, column, Qt::AlignRight);
        stationGrid->addWidget(m_lblData[size_t(i)], row, column + 1);
    }
    stationGrid->setColumnStretch(4, 1);

    m_fraShiftData[size_t(2 * page)] = totals;
    m_fraShiftData[size_t(2 * page + 1)] = stations;
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(totals);
    layout->addWidget(stations);
    layout->addStretch();
    return frame;
}

void frmData::ShowPage(int page) {
    m_fraData[0]->hide();
    m_fraData[1]->hide();
    m_fraData[size_t(page)]->show();
    m_firstPolled = page == 0 ? 0 : ShiftEntries;
    m_lastPolled = m_firstPolled + ShiftEntries - 1;
}

void frmData::tbsData_Click() {
    ShowPage(m_tbsData->currentIndex() == 1 ? 1 : 0);
    // The pass in progress ends at its next step; the next reads this tab.
    m_loop.NewCycle();
}

void frmData::SetControlsEnabled(bool enabled) {
    m_fraEndofShift->setEnabled(enabled);
    m_cmdEndofShift->setEnabled(enabled);
    for (QGroupBox* frame : m_fraShiftData)
        frame->setEnabled(enabled);
    for (int i = 0; i < ValueCount; ++i) {
        m_lblDescription[size_t(i)]->setEnabled(enabled);
        m_lblData[size_t(i)]->setEnabled(enabled);
    }
}

void frmData::PrepareOnline() {
    SetControlsEnabled(true);
    for (QLabel* label : m_lblData)
        label->setText(QStringLiteral("-"));
}

void frmData::PrepareOffline() {
    SetControlsEnabled(false);
    for (QLabel* label : m_lblData)
        label->setText(QStringLiteral("-"));
}

QList<PollItem> frmData::PollItems() {
    QList<PollItem> items;
    // Counts of the running machine; the last shift's change when a shift
    // ends, which the button of this view asks for.
    for (int i = m_firstPolled; i <= m_lastPolled; ++i)
        items.append({m_address[size_t(i)],
                      [this, i](const QString& text) {
                          m_lblData[size_t(i)]->setText(DisplayFormat::GroupedWhole(text));
                      },
                      PollItem::Whole});
    return items;
}

void frmData::MemoryPass() {
    const auto& values = m_context.shared().CurrentData.ValueTable;
    for (int i = 0; i < ValueCount; ++i) {
        const QString text =
            i < values.size() ? DisplayFormat::GroupedWhole(values[i]) : QStringLiteral("-");
        // Unchanged text is not set again: this pass runs every few milliseconds.
        if (m_lblData[size_t(i)]->text() != text)
            m_lblData[size_t(i)]->setText(text);
    }
}

void frmData::cmdEndofShift_MouseDown() {
    RSComm& link = m_context.link();
    // Inside another transaction's message box the write would interleave with it.
    if (link.CommError() || !link.OnlineMode() || link.Busy())
        return;
    link.RSWrite(EndOfShiftFlag, QStringLiteral("1"));
}

void frmData::cmdEndofShift_MouseUp() {
    WriteEndOfShift(QStringLiteral("0"));
}

// The flag must not stay set: a release that comes while another transaction
// waits in its message box is written once that transaction is over.
void frmData::WriteEndOfShift(const QString& value) {
    RSComm& link = m_context.link();
    if (link.CommError() || !link.OnlineMode())
        return;
    if (link.Busy()) {
        QTimer::singleShot(RefreshLoop::BusyRetryMs, this,
                           [this, value] { WriteEndOfShift(value); });
        return;
    }
    link.RSWrite(EndOfShiftFlag, value);
}
