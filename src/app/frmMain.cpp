#include "frmMain.h"

#include "Address.h"
#include "DisplayFormat.h"
#include "FocusButton.h"
#include "FrameInterior.h"
#include "NumberText.h"
#include "RSComm.h"
#include "RegisterNames.h"
#include "SharedState.h"
#include "ViewContext.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The widest text the label of a value can show: the largest value its
// register holds, in the value's format.
QString widestText(const RegisterNames::Label& value) {
    const auto address = Address::parse(value.address);
    const int bits = 8 * (address ? address->size() : 4);
    return RegisterNames::format(value.format, QString::number((quint64(1) << bits) - 1));
}

QLabel* valueLabel(const QString& name, const RegisterNames::Label& value) {
    constexpr int LeastWidth = 160;
    auto* label = new QLabel(widestText(value));
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 2.2);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    // A size of its own, whatever it shows: a label that took the width of
    // each new value would lay the whole window out again several times a
    // pass.
    label->setFixedSize(label->sizeHint().expandedTo({LeastWidth, 0}));
    label->setText(QStringLiteral("-"));
    return label;
}

} // namespace

frmMain::frmMain(ViewContext& context, QWidget* parent)
    : ViewBase(context, QStringLiteral("frmMain"), QStringLiteral("Main Display"), parent) {
    const auto& names = RegisterNames::mainDisplay();
    for (int i = 0; i < 5; ++i) {
        m_fraDisplay[size_t(i)] =
            new QGroupBox(i < 4 ? names[size_t(i)].text : RegisterNames::MainBrakeFrame);
        m_fraDisplay[size_t(i)]->setObjectName(QStringLiteral("fraDisplay%1").arg(i));
        // Its own background, the window's colour: a repaint of the frame
        // stops there, not at the view and the window frame beneath.
        m_fraDisplay[size_t(i)]->setAutoFillBackground(true);
    }
    for (int i = 0; i < ValueCount; ++i)
        m_lblDisplay[size_t(i)] =
            valueLabel(QStringLiteral("lblDisplay%1").arg(i), names[size_t(i)]);
    for (int i = 0; i < 4; ++i) {
        auto* box = new QVBoxLayout(m_fraDisplay[size_t(i)]);
        box->addWidget(m_lblDisplay[size_t(i)], 0, Qt::AlignCenter);
    }
    auto* brake = new QGridLayout(m_fraDisplay[4]);
    for (int i = 0; i < 2; ++i) {
        m_lblDescription[size_t(i)] = new QLabel(names[size_t(4 + i)].text);
        m_lblDescription[size_t(i)]->setObjectName(QStringLiteral("lblDescription%1").arg(i));
        brake->addWidget(m_lblDescription[size_t(i)], i, 0, Qt::AlignRight);
        brake->addWidget(m_lblDisplay[size_t(4 + i)], i, 1, Qt::AlignCenter);
    }
    FillValueLabels();

    m_fraMessageDisplay = new QGroupBox(QStringLiteral("Messages"));
    m_fraMessageDisplay->setObjectName(QStringLiteral("fraMessageDisplay"));
    m_txtMessageDisplay = new QPlainTextEdit;
    m_txtMessageDisplay->setObjectName(QStringLiteral("txtMessageDisplay"));
    m_txtMessageDisplay->setReadOnly(true);
    auto* messages = new QVBoxLayout(m_fraMessageDisplay);
    messages->addWidget(m_txtMessageDisplay);

    m_cmdAlarmReset = new QPushButton(QStringLiteral("Alarm &Reset"));
    m_cmdAlarmReset->setObjectName(QStringLiteral("cmdAlarmReset"));
    connect(m_cmdAlarmReset, &QPushButton::clicked, this, &frmMain::cmdAlarmReset_Click);
    m_cmdDefault = NewFocusButton();

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_fraDisplay[0], 0, 0);
    grid->addWidget(m_fraDisplay[1], 0, 1);
    grid->addWidget(m_fraDisplay[2], 1, 0);
    grid->addWidget(m_fraDisplay[3], 1, 1);
    grid->addWidget(m_fraDisplay[4], 2, 0);
    grid->addWidget(m_fraMessageDisplay, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdDefault);
    buttons->addStretch();
    buttons->addWidget(m_cmdAlarmReset);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    Form_Load();
}

void frmMain::Form_Load() {
    for (int i = 0; i < ValueCount; ++i)
        m_address[size_t(i)] = RegisterNames::mainDisplay()[size_t(i)].address;
}

void frmMain::FillValueLabels() {
    // The five frames are made alike: what one paints inside, all do (each
    // reading draws a frame aside three times).
    FrameInterior::fill(*m_fraDisplay[0],
                        QList<QWidget*>(m_lblDisplay.begin(), m_lblDisplay.end()));
}

void frmMain::changeEvent(QEvent* event) {
    ViewBase::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        FillValueLabels();
}

void frmMain::cmdAlarmReset_Click() {
    m_context.WriteIfOnline(QStringLiteral("F15"), QStringLiteral("1"));
}

void frmMain::CycleStart() {
    const QString& message = m_context.shared().SystemMessage;
    // Setting the same text again would reset the user's scrolling and selection.
    if (message != m_shownMessage) {
        m_shownMessage = message;
        QString screen = message;
        screen.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_txtMessageDisplay->setPlainText(screen);
    }
}

void frmMain::SetControlsEnabled(bool enabled) {
    for (QGroupBox* frame : m_fraDisplay)
        frame->setEnabled(enabled);
    for (QLabel* label : m_lblDisplay)
        label->setEnabled(enabled);
    for (QLabel* label : m_lblDescription)
        label->setEnabled(enabled);
    m_cmdAlarmReset->setEnabled(enabled);
}

void frmMain::PrepareOnline() {
    SetControlsEnabled(true);
    m_cmdDefault->setFocus();
}

void frmMain::PrepareOffline() {
    SetControlsEnabled(false);
    for (QLabel* label : m_lblDisplay)
        label->setText(QStringLiteral("-"));
    m_cmdDefault->setFocus();
}

QList<PollItem> frmMain::PollItems() {
    m_speedAbove30 = false;
    QList<PollItem> items;
    // Every value moves with the machine (the brake responses at each stop).
    for (int i = 0; i < ValueCount; ++i)
        items.append({m_address[size_t(i)], [this, i](const QString& text) { ShowValue(i, text); },
                      PollItem::Whole});
    // A speed the board garbled twice is no value: the speed last read stands.
    items[0].readFailed = [this] { m_speedAbove30 = m_lastSpeedAbove30; };
    return items;
}

void frmMain::ShowValue(int index, const QString& text) {
    if (index == 0) {
        m_speedAbove30 = NumberText::leadingNumber(text) > ReadablePositionSpeed;
        m_lastSpeedAbove30 = m_speedAbove30;
    }
    const bool tooFast = index == 1 && m_speedAbove30;
    m_lblDisplay[size_t(index)]->setText(
        RegisterNames::format(RegisterNames::mainDisplay()[size_t(index)].format,
                              tooFast ? QStringLiteral("888") : text));
}

void frmMain::MemoryPass() {
    const auto& values = m_context.shared().CurrentData.ValueTable;
    auto value = [&values](int i) { return i < values.size() ? values[i] : 0; };
    m_lblDisplay[2]->setText(DisplayFormat::GroupedWhole(value(18)));
    m_lblDisplay[3]->setText(DisplayFormat::GroupedWhole(value(19)));
    m_lblDisplay[4]->setText(DisplayFormat::Degrees(QString::number(value(36))));
    m_lblDisplay[5]->setText(DisplayFormat::Degrees(QString::number(value(37))));
}
