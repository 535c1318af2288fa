#include "frmTiming.h"

#include "EntryChecks.h"
#include "FieldEditor.h"
#include "RSComm.h"
#include "SharedState.h"
#include "UpDown.h"
#include "ViewContext.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <limits>

static_assert(frmTiming::Channels == EntryChecks::TimingChannels);

frmTiming::frmTiming(ViewContext& context, QWidget* parent)
    : ViewBase(context, QStringLiteral("frmTiming"), QStringLiteral("Machine Timing"), parent) {
    BuildControls();
    m_editor = std::make_unique<FieldEditor>(context, m_cmdDefault);
    FieldSettings setpoint;
    setpoint.min = EntryChecks::Setpoint.min;
    setpoint.max = EntryChecks::Setpoint.max;
    setpoint.value = FieldValue::ShownText;
    setpoint.markers = {QStringLiteral("****")};
    setpoint.rewriteAccepted = true;
    setpoint.unchangedIsNoEdit = true;
    for (int field = 0; field < 2 * Channels; ++field)
        m_editor->addField(Box(field), m_updChannel[size_t(field)], setpoint);

    // The offset and channel number boxes hold what the buttons use: an
    // accepted entry is neither stored nor sent.
    FieldSettings number;
    number.value = FieldValue::ShownText;
    number.messageTitle = QStringLiteral("Resolver Offset");
    number.rewriteOnEntry = true;
    number.validateOnEveryLeave = false;
    number.arrowEndsEdit = false;
    number.min = EntryChecks::ResolverOffset.min;
    number.max = EntryChecks::ResolverOffset.max;
    number.enterTarget = m_cmdSetOffset;
    m_editor->addField(m_txtTmg[0], m_updTmg[0], number);
    number.min = EntryChecks::ChannelNumber.min;
    number.max = EntryChecks::ChannelNumber.max;
    number.enterTarget = nullptr;
    m_editor->addField(m_txtTmg[1], m_updTmg[1], number);

    m_editor->accept = [this](int field, qint32 value, const QString&) {
        return field < 2 * Channels ? txtChannel_Commit(field, value) : true;
    };
    m_editor->change = [this](int field) {
        if (field < 2 * Channels)
            updChannel_Change(IsOffField(field) ? field - Channels + OffBoxIndex : field);
    };
    // A closed view's controls lose the focus as they go: that ends no edit.
    m_editor->live = [this] { return m_loop.LoopRunning(); };

    connect(m_tbsTiming, &QTabBar::currentChanged, this, &frmTiming::tbsTiming_Click);
    connect(m_cmdRecallChan, &QPushButton::clicked, this, &frmTiming::cmdRecallChan_Click);
    connect(m_cmdClearChan, &QPushButton::clicked, this, &frmTiming::cmdClearChan_Click);
    connect(m_cmdSetOffset, &QPushButton::clicked, this, &frmTiming::cmdSetOffset_Click);
    connect(m_cmdResetPLSConfig, &QPushButton::clicked, this, &frmTiming::cmdResetPLSConfig_Click);
    connect(&m_loop, &RefreshLoop::passCompleted, this, [this] {
        if (m_preparing)
            FinishPrepareOnline();
    });
    // Activation: the first page shows.
    ShowPage(0);
}

frmTiming::~frmTiming() = default;

void frmTiming::tbsTiming_Click() {
    // The loop covers both pages alike: only the page shown changes.
    ShowPage(m_tbsTiming->currentIndex() == 1 ? 1 : 0);
}

// No board action while another transaction waits in its message box, or
// while the program is offline.
bool frmTiming::BoardFree() const {
    const RSComm& link = m_context.link();
    return link.OnlineMode() && !link.CommError() && !link.Busy();
}

void frmTiming::SetPanel(int panel, const QString& text) {
    m_panels[size_t(panel - 1)]->setText(text);
}

void frmTiming::SetOffsetGroupEnabled(bool enabled) {
    m_fraTmg[1]->setEnabled(enabled);
    m_txtTmg[0]->setEnabled(enabled);
    m_updTmg[0]->setEnabled(enabled);
    m_cmdSetOffset->setEnabled(enabled);
}

void frmTiming::SetChannelEditingEnabled(bool enabled) {
    for (QLabel* label : m_lblChannel)
        label->setEnabled(enabled);
    for (int field = 0; field < 2 * Channels; ++field) {
        Box(field)->setEnabled(enabled);
        m_updChannel[size_t(field)]->setEnabled(enabled);
    }
}

void frmTiming::PrepareOnline() {
    m_editor->AbandonEdits();
    m_machineStopped = false;
    m_wasStopped = false;
    m_sbrMachineTiming->setEnabled(true);
    for (int frame : {0, 2, 3, 4})
        m_fraTmg[size_t(frame)]->setEnabled(true);
    SetChannelEditingEnabled(true);
    for (int field = 0; field < 2 * Channels; ++field)
        Box(field)->setText(QStringLiteral("-"));
    SetConfigEnabled(true);
    m_txtTmg[1]->setEnabled(true);
    m_updTmg[1]->setEnabled(true);
    // Usable once the configuration has been read and the channels recalled.
    m_cmdRecallChan->setEnabled(false);
    m_cmdClearChan->setEnabled(false);
    m_cmdResetPLSConfig->setEnabled(false);
    // The first poll that finds the machine standing enables the offset.
    SetOffsetGroupEnabled(false);
    m_preparing = true;
}

void frmTiming::FinishPrepareOnline() {
    m_preparing = false;
    m_cmdRecallChan->setEnabled(true);
    m_cmdClearChan->setEnabled(true);
    m_cmdResetPLSConfig->setEnabled(true);
}

void frmTiming::PrepareOffline() {
    const SetupRecord& data = m_context.shared().CurrentData;
    m_offlineEditingSeen = m_context.shared().OfflineEditing;
    const bool editing = m_offlineEditingSeen;
    m_editor->AbandonEdits();
    m_preparing = false;
    m_machineStopped = false;
    m_wasStopped = false;
    m_sbrMachineTiming->setEnabled(false);
    SetPanel(1, QStringLiteral("RPM: -"));
    SetPanel(2, QStringLiteral("Position: -"));
    SetPanel(3, QStringLiteral("Offset: ") + QString::number(data.PlsOffset));
    SetPanel(4, QStringLiteral("Scale: ") + QString::number(data.PlsScale));
    for (QGroupBox* frame : m_fraTmg)
        frame->setEnabled(false);
    m_fraTmg[0]->setEnabled(editing);
    m_fraTmg[2]->setEnabled(editing);
    SetChannelEditingEnabled(editing);
    ShowMemoryChannels();
    ShowMemoryConfig();
    SetConfigEnabled(false);
    m_cmdResetPLSConfig->setEnabled(false);
    SetOffsetGroupEnabled(false);
    m_cmdRecallChan->setEnabled(false);
    m_cmdClearChan->setEnabled(editing);
    m_txtTmg[1]->setEnabled(editing);
    m_updTmg[1]->setEnabled(editing);
}

QList<PollItem> frmTiming::PollItems() {
    QList<PollItem> items;
    if (m_preparing) {
        PollItem config;
        config.read = [this]() -> std::optional<QString> {
            ShowPLSConfig();
            return QString();
        };
        items << config << RecallAllItems();
        return items;
    }
    SharedState& shared = m_context.shared();
    if (shared.TimingDownloaded) {
        // A download of timing channels ended: show what the board now holds.
        shared.TimingDownloaded = false;
        items << RecallAllItems();
    }
    return items << StatusBarItems();
}

QList<PollItem> frmTiming::StatusBarItems() {
    RSComm& link = m_context.link();
    QList<PollItem> items;
    PollItem rpm;
    rpm.read = [&link]() -> std::optional<QString> { return link.PLSRpm(); };
    rpm.show = [this](const QString& value) { ShowRpm(value); };
    items << rpm;

    // The position only while the machine turns slowly enough to read it.
    PollItem positionSpeed;
    positionSpeed.read = [&link]() -> std::optional<QString> { return link.PLSRpm(); };
    positionSpeed.show = [this](const QString& value) {
        m_positionRpm = FieldEditor::WholeValue(value);
        if (m_positionRpm > FastRpm)
            SetPanel(2, QStringLiteral("Position: 888"));
    };
    items << positionSpeed;
    PollItem position;
    position.when = [this] { return m_positionRpm <= FastRpm; };
    position.read = [&link]() -> std::optional<QString> { return link.PLSPos(); };
    position.show = [this](const QString& value) {
        SetPanel(2, QStringLiteral("Position: ") + value);
    };
    items << position;

    PollItem offset;
    offset.read = [&link]() -> std::optional<QString> { return link.PLSOffset(); };
    offset.show = [this](const QString& value) { SetPanel(3, QStringLiteral("Offset: ") + value); };
    items << offset;
    PollItem scale;
    scale.read = [&link]() -> std::optional<QString> { return link.PLSScaleFactor(); };
    scale.show = [this](const QString& value) { SetPanel(4, QStringLiteral("Scale: ") + value); };
    items << scale;
    return items;
}

// The speed as read; the machine stands only when it reads exactly 0. A
// failed read (-9999) or a word beyond 16 bits counts as running.
void frmTiming::ShowRpm(const QString& value) {
    SetPanel(1, QStringLiteral("RPM: ") + value);
    bool ok = false;
    const int rpm = value.trimmed().toInt(&ok);
    const bool fits = ok && rpm >= std::numeric_limits<qint16>::min() &&
                      rpm <= std::numeric_limits<qint16>::max();
    m_machineStopped = fits && rpm == 0;
    if (m_machineStopped && !m_wasStopped)
        SetOffsetGroupEnabled(true);
    else if (m_wasStopped && !m_machineStopped)
        SetOffsetGroupEnabled(false);
    m_wasStopped = m_machineStopped;
}

void frmTiming::MemoryPass() {
    SharedState& shared = m_context.shared();
    // New or Open replaced memory, or offline editing was switched from the
    // menu: the offline display is built again.
    if (shared.DataReplaced) {
        shared.DataReplaced = false;
        PrepareOffline();
    }
    if (shared.OfflineEditing != m_offlineEditingSeen)
        PrepareOffline();
}

void frmTiming::FormUnload() {
    m_editor->AbandonEdits();
}

// CurrentData was replaced as a whole: an edit in progress belongs to the
// old data. Offline the new values show at once; online the board's stay.
void frmTiming::DataReplaced() {
    m_editor->AbandonEdits();
    if (m_context.link().OnlineMode())
        return;
    m_context.shared().DataReplaced = false;
    PrepareOffline();
}
