#include "frmSetup.h"

#include "EntryChecks.h"
#include "FieldEditor.h"
#include "OnOffSwitch.h"
#include "RSComm.h"
#include "RegisterNames.h"
#include "SharedState.h"
#include "UpDown.h"
#include "ViewContext.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

static_assert(frmSetup::FieldCount == EntryChecks::SetupFieldCount);

frmSetup::frmSetup(ViewContext& context, QWidget* parent)
    : ViewBase(context, QStringLiteral("frmSetup"), QStringLiteral("Set-Up"), parent) {
    BuildControls();
    m_editor = std::make_unique<FieldEditor>(context, m_cmdDefault);
    for (int i = 0; i < FieldCount; ++i) {
        FieldSettings settings;
        settings.min = EntryChecks::SetupFields[size_t(i)].min;
        settings.max = EntryChecks::SetupFields[size_t(i)].max;
        // Angles show with the degree sign.
        settings.degreeSign =
            RegisterNames::setupFields()[size_t(i)].format == RegisterNames::Format::Degrees;
        m_editor->addField(m_txtSetup[size_t(i)], m_updSetup[size_t(i)], settings);
    }
    m_editor->accept = [this](int index, qint32 value, const QString&) {
        return txtSetup_Commit(index, value);
    };
    m_editor->change = [this](int index) { updSetup_Change(index); };
    // A closed view's controls lose the focus as they go: that ends no edit.
    m_editor->live = [this] { return m_loop.LoopRunning(); };

    // Clicks only: the passes set the switch too, and that must never write.
    connect(m_chkBrakeWearCompEnable, &QCheckBox::clicked, this,
            &frmSetup::chkBrakeWearCompEnable_Click);
    connect(m_tbsSetup, &QTabBar::currentChanged, this, &frmSetup::tbsSetup_Click);
    Form_Load();
}

frmSetup::~frmSetup() = default;

void frmSetup::Form_Load() {
    for (int i = 0; i < FieldCount; ++i)
        RegisterAddress[size_t(i)] = RegisterNames::setupFields()[size_t(i)].address;
    m_switchReady = false;
    // Activation: the first page, whose fields are polled first.
    ShowPage(0);
}

bool frmSetup::EditActive(int Index) const {
    return m_editor->EditActive(Index);
}

void frmSetup::ShowPage(int page) {
    m_fraSetup[0]->hide();
    m_fraSetup[1]->hide();
    m_fraSetup[size_t(page)]->show();
    m_firstPolled = page == 0 ? 0 : 5;
    m_lastPolled = page == 0 ? 4 : 6;
}

void frmSetup::tbsSetup_Click() {
    ShowPage(m_tbsSetup->currentIndex() == 1 ? 1 : 0);
    // The pass in progress ends at its next step; the next covers this page.
    m_loop.NewCycle();
}

void frmSetup::SetControlsEnabled(bool enabled) {
    for (QGroupBox* frame : m_fraParameters)
        frame->setEnabled(enabled);
    for (int i = 0; i < FieldCount; ++i) {
        m_lblSetup[size_t(i)]->setEnabled(enabled);
        m_updSetup[size_t(i)]->setEnabled(enabled);
        m_txtSetup[size_t(i)]->setEnabled(enabled);
    }
    m_chkBrakeWearCompEnable->setEnabled(enabled);
}

// Until the first value arrives: "-" in every field, the switch grayed.
void frmSetup::ShowUnknownValues() {
    for (int i = 0; i < FieldCount; ++i)
        m_editor->showText(i, QStringLiteral("-"));
    m_chkBrakeWearCompEnable->showGrayed();
}

// Only 0 and 1 are values of the switch; anything else (from a file) leaves
// it grayed, and a grayed switch is not ready to be changed.
void frmSetup::ShowSwitch(qint64 value) {
    m_chkBrakeWearCompEnable->showValue(value);
    m_switchReady = value == 0 || value == 1;
}

void frmSetup::PrepareOnline() {
    m_switchReady = false;
    m_editor->AbandonEdits();
    SetControlsEnabled(true);
    ShowUnknownValues();
}

void frmSetup::PrepareOffline() {
    m_switchReady = false;
    m_offlineEditingSeen = m_context.shared().OfflineEditing;
    m_editor->AbandonEdits();
    SetControlsEnabled(m_offlineEditingSeen);
    ShowUnknownValues();
}

QList<PollItem> frmSetup::PollItems() {
    QList<PollItem> items;
    for (int i = m_firstPolled; i <= m_lastPolled; ++i) {
        items.append({RegisterAddress[size_t(i)],
                      [this, i](const QString& text) { m_editor->showValue(i, text); }});
        if (i == 0)
            items.append({SwitchAddress, [this](const QString& text) {
                              ShowSwitch(FieldEditor::WholeValue(text));
                          }});
    }
    return items;
}

void frmSetup::FormUnload() {
    m_editor->AbandonEdits();
}

// New, Open or Upload replaced the data: an edit in progress belongs to the
// old data and must not reach the new.
void frmSetup::DataReplaced() {
    m_editor->AbandonEdits();
    if (!m_context.link().OnlineMode()) {
        MemoryPass();
        return;
    }
    // Online the board's values show: the last read stands until the next.
    for (int i = 0; i < FieldCount; ++i) {
        const QString committed = m_editor->committed(i);
        if (committed.isEmpty())
            m_editor->showText(i, QStringLiteral("-"));
        else
            m_editor->showValue(i, committed);
    }
}

void frmSetup::MemoryPass() {
    SharedState& shared = m_context.shared();
    // Offline editing switched from the menu: prepare the controls again now.
    if (shared.OfflineEditing != m_offlineEditingSeen)
        PrepareOffline();
    const auto& values = shared.CurrentData.ValueTable;
    const qsizetype last = FirstFieldEntry + FieldCount - 1;
    if (values.size() <= last) {
        ShowUnknownValues();
        m_switchReady = false;
        return;
    }
    ShowSwitch(values[SwitchEntry]);
    for (int i = 0; i < FieldCount; ++i)
        m_editor->showValue(i, QString::number(values[FirstFieldEntry + i]));
}

bool frmSetup::txtSetup_Commit(int Index, qint32 value) {
    StoreEntry(FirstFieldEntry + Index, value);
    WriteIfOnline(RegisterAddress[size_t(Index)], QString::number(value));
    return true;
}

void frmSetup::updSetup_Change(int Index) {
    const qint32 value = m_editor->wholeValue(Index);
    StoreEntry(FirstFieldEntry + Index, value);
    WriteIfOnline(RegisterAddress[size_t(Index)], QString::number(value));
}

void frmSetup::chkBrakeWearCompEnable_Click() {
    if (!m_switchReady)
        return;
    const int value = m_chkBrakeWearCompEnable->checkState() == Qt::Checked ? 1 : 0;
    StoreEntry(SwitchEntry, value);
    WriteIfOnline(SwitchAddress, QString::number(value));
}

void frmSetup::StoreEntry(int entry, qint32 value) {
    auto& values = m_context.shared().CurrentData.ValueTable;
    if (entry < values.size())
        values[entry] = value;
}

void frmSetup::WriteIfOnline(const QString& address, const QString& value) {
    m_context.WriteIfOnline(address, value);
}
