#include "frm8470DF1.h"

#include "Df1StatusText.h"
#include "EntryChecks.h"
#include "FieldEditor.h"
#include "Prompt.h"
#include "RSComm.h"
#include "RegisterNames.h"
#include "SharedState.h"
#include "UpDown.h"
#include "ViewContext.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// Focus that leaves for a menu, the list's own popup, a message box or
// another window, and comes back from one, is no move between controls.
bool movesBetweenControls(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

int valueOf(const QString& text) {
    return FieldEditor::WholeValue(text);
}

} // namespace

frm8470DF1::frm8470DF1(ViewContext& context, QWidget* parent)
    : ViewBase(context, QStringLiteral("frm8470DF1"), QStringLiteral("R8470DF1"), parent) {
    BuildControls();
    m_editor = std::make_unique<FieldEditor>(context, m_cmdDefault);
    for (int i = 0; i < FieldCount; ++i) {
        FieldSettings settings;
        const EntryChecks::Limits& limits = EntryChecks::Df1Setup[size_t(1 + i)];
        settings.min = limits.min;
        settings.max = limits.max;
        settings.value = FieldValue::ShownText;
        settings.messageTitle = QStringLiteral("R8470DF1 Set-up");
        m_editor->addField(m_txtSetup[size_t(i)], m_updSetup[size_t(i)], settings);
    }
    m_editor->accept = [this](int index, qint32 value, const QString&) {
        return txtSetup_Commit(index, value);
    };
    m_editor->change = [this](int index) { updSetup_Change(index); };
    // A closed view's controls lose the focus as they go: that ends no edit.
    m_editor->live = [this] { return m_loop.LoopRunning(); };

    // A user's choice only: the passes set the list too, and that must never
    // write the board back.
    connect(m_cboSetup, &QComboBox::activated, this, &frm8470DF1::cboSetup_Click);
    m_cboSetup->installEventFilter(this);
    Form_Load();
}

frm8470DF1::~frm8470DF1() = default;

void frm8470DF1::Form_Load() {
    m_registerAddress = {
        QStringLiteral("B4023"),   QStringLiteral("B4021"), QStringLiteral("B4022"),
        QStringLiteral("W4016"),   QStringLiteral("B4014"), QStringLiteral("B4026"),
        QStringLiteral("B4302.6"), QStringLiteral("B4303"), QStringLiteral("W4304")};
    for (int row = PlcTypeRow; row < RegisterCount; ++row)
        m_registerAddress[size_t(row)] =
            RegisterNames::df1Setup()[size_t(row - PlcTypeRow)].address;
    m_listReady = false;
    for (const char* type : RegisterNames::PlcTypes)
        m_cboSetup->addItem(QString::fromLatin1(type));
    m_cboSetup->setCurrentIndex(-1);
}

bool frm8470DF1::EditActive(int Index) const {
    return Index == ListEdit ? m_listEditActive : m_editor->EditActive(Index);
}

// Ends every edit in progress without committing it: the focus, if in a
// field or the list, goes to the focus button.
void frm8470DF1::EndEdits() {
    m_editor->AbandonEdits();
    m_listEditActive = false;
    if (m_cboSetup->hasFocus())
        m_cmdDefault->setFocus(Qt::OtherFocusReason);
}

// What both modes' preparation does first: no edit survives, and until the
// first value arrives no row and no parameter shows one.
void frm8470DF1::PrepareControls() {
    m_listReady = false;
    EndEdits();
    for (QLabel* display : m_lblDisplay)
        display->setText(QStringLiteral("-"));
    for (int i = 0; i < FieldCount; ++i)
        m_editor->showText(i, QStringLiteral("-"));
    const QSignalBlocker blocker(m_cboSetup);
    m_cboSetup->setCurrentIndex(-1);
}

void frm8470DF1::SetParametersEnabled(bool enabled) {
    m_fraSetup[2]->setEnabled(enabled);
    for (int i = PlcTypeRow; i < RegisterCount; ++i)
        m_lblDescription[size_t(i)]->setEnabled(enabled);
    for (int i = 0; i < FieldCount; ++i) {
        m_txtSetup[size_t(i)]->setEnabled(enabled);
        m_updSetup[size_t(i)]->setEnabled(enabled);
    }
    m_cboSetup->setEnabled(enabled);
}

void frm8470DF1::PrepareOnline() {
    PrepareControls();
    // Once per preparation: the first pass tells whether the board's DF1
    // driver runs at all.
    m_checkDriver = true;
    m_fraSetup[0]->setEnabled(true);
    m_fraSetup[1]->setEnabled(true);
    for (int i = 0; i < PlcTypeRow; ++i)
        m_lblDescription[size_t(i)]->setEnabled(true);
    for (QLabel* display : m_lblDisplay)
        display->setEnabled(true);
    SetParametersEnabled(true);
}

void frm8470DF1::PrepareOffline() {
    PrepareControls();
    m_checkDriver = false;
    m_offlineEditingSeen = m_context.shared().OfflineEditing;
    m_fraSetup[0]->setEnabled(false);
    m_fraSetup[1]->setEnabled(false);
    for (int i = 0; i < PlcTypeRow; ++i)
        m_lblDescription[size_t(i)]->setEnabled(false);
    for (QLabel* display : m_lblDisplay)
        display->setEnabled(false);
    SetParametersEnabled(m_offlineEditingSeen);
}

void frm8470DF1::ShowStatus(int row, const QString& text) {
    m_lblDisplay[size_t(row)]->setText(text);
}

// Only 0 and 1 name a PLC type; anything else (from a file) shows no
// selection. Either way the list now shows what is known, and a user's
// choice from here on is a real edit.
void frm8470DF1::ShowPlcType(qint64 value) {
    if (m_listEditActive)
        return;
    const QSignalBlocker blocker(m_cboSetup);
    m_cboSetup->setCurrentIndex(value == 0 || value == 1 ? int(value) : -1);
    m_listReady = true;
}

QList<PollItem> frm8470DF1::PollItems() {
    QList<PollItem> items;
    PollItem driver(DriverEnabledAddress, [this](const QString& text) {
        m_checkDriver = false;
        if (valueOf(text) == 0)
            m_context.prompt().message(
                QStringLiteral("WARNING!!"),
                QStringLiteral("The DF1 Serial Communications Driver is Not Enabled in the K2700."),
                Prompt::Icon::Exclamation, Prompt::Buttons::Ok);
    });
    driver.when = [this] { return m_checkDriver; };
    items.append(driver);

    using Decode = QString (*)(int);
    const Decode decode[StatusRows] = {Df1StatusText::Configuration,
                                       Df1StatusText::Transmit,
                                       Df1StatusText::Transmit,
                                       nullptr,
                                       Df1StatusText::ActiveCommand,
                                       nullptr,
                                       Df1StatusText::ReceivedCommand,
                                       nullptr,
                                       nullptr};
    m_replyCodesDue = false;
    for (int row = 0; row < StatusRows; ++row) {
        if (row == LinkStatusRow) {
            AppendLinkStatus(items);
            continue;
        }
        const Decode text = decode[row];
        // The two transaction counters are words the driver counts on: whole.
        items.append(
            {m_registerAddress[size_t(row)],
             [this, row, text](const QString& value) {
                 ShowStatus(row, text ? text(valueOf(value)) : value);
             },
             m_registerAddress[size_t(row)].startsWith(u'W') ? PollItem::Whole : PollItem::Plain});
    }
    items.append({m_registerAddress[PlcTypeRow],
                  [this](const QString& value) { ShowPlcType(valueOf(value)); }});
    for (int i = 0; i < FieldCount; ++i)
        items.append({m_registerAddress[size_t(FirstFieldRow + i)],
                      [this, i](const QString& value) { m_editor->showValue(i, value); }});
    return items;
}

// Row 7: the link layer status, and only when it is not zero the STS and
// EXT STS codes that say what went wrong, one read per step. A read that
// fails leaves the row as it was.
void frm8470DF1::AppendLinkStatus(QList<PollItem>& items) {
    PollItem status(m_registerAddress[LinkStatusRow], [this](const QString& value) {
        m_linkStatus = valueOf(value);
        m_replyCodesDue = Df1StatusText::NeedsReplyCodes(m_linkStatus);
        if (!m_replyCodesDue)
            ShowStatus(LinkStatusRow, Df1StatusText::LinkStatus(m_linkStatus, 0, 0));
    });
    status.readFailed = [this] { m_replyCodesDue = false; };
    items.append(status);

    PollItem sts(StsAddress, [this](const QString& value) { m_sts = valueOf(value); });
    sts.when = [this] { return m_replyCodesDue; };
    sts.readFailed = [this] { m_replyCodesDue = false; };
    items.append(sts);

    PollItem extSts(ExtStsAddress, [this](const QString& value) {
        m_replyCodesDue = false;
        ShowStatus(LinkStatusRow, Df1StatusText::LinkStatus(m_linkStatus, m_sts, valueOf(value)));
    });
    extSts.when = [this] { return m_replyCodesDue; };
    extSts.readFailed = [this] { m_replyCodesDue = false; };
    items.append(extSts);
}

void frm8470DF1::MemoryPass() {
    SharedState& shared = m_context.shared();
    // Offline editing switched from the menu: prepare the controls again now.
    if (shared.OfflineEditing != m_offlineEditingSeen)
        PrepareOffline();
    const auto& values = shared.CurrentData.ValueTable;
    if (values.size() <= FirstFieldEntry + FieldCount - 1)
        return;
    ShowPlcType(values[PlcTypeEntry]);
    for (int i = 0; i < FieldCount; ++i)
        m_editor->showValue(i, QString::number(values[FirstFieldEntry + i]));
}

void frm8470DF1::FormUnload() {
    EndEdits();
}

// New, Open or Upload replaced the data: an edit in progress belongs to the
// old data and must not reach the new.
void frm8470DF1::DataReplaced() {
    EndEdits();
    if (!m_context.link().OnlineMode())
        MemoryPass();
}

void frm8470DF1::cboSetup_Click(int index) {
    if (!m_listReady || index < 0)
        return;
    m_listEditActive = true;
    StoreEntry(PlcTypeEntry, index);
    WriteIfOnline(m_registerAddress[PlcTypeRow], index);
}

// The list is being edited while it has the focus: the passes leave it
// alone. Esc ends the edit and leaves the list.
bool frm8470DF1::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_cboSetup || !m_loop.LoopRunning())
        return ViewBase::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (movesBetweenControls(static_cast<QFocusEvent*>(event)->reason()))
            m_listEditActive = true;
        break;
    case QEvent::FocusOut:
        if (movesBetweenControls(static_cast<QFocusEvent*>(event)->reason()))
            m_listEditActive = false;
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_listEditActive = false;
            m_cmdDefault->setFocus(Qt::OtherFocusReason);
            return true;
        }
        break;
    default:
        break;
    }
    return ViewBase::eventFilter(watched, event);
}

bool frm8470DF1::txtSetup_Commit(int Index, qint32 value) {
    StoreEntry(FirstFieldEntry + Index, value);
    WriteIfOnline(m_registerAddress[size_t(FirstFieldRow + Index)], value);
    return true;
}

void frm8470DF1::updSetup_Change(int Index) {
    const qint32 value = m_editor->wholeValue(Index);
    StoreEntry(FirstFieldEntry + Index, value);
    WriteIfOnline(m_registerAddress[size_t(FirstFieldRow + Index)], value);
}

void frm8470DF1::StoreEntry(int entry, qint32 value) {
    auto& values = m_context.shared().CurrentData.ValueTable;
    if (entry < values.size())
        values[entry] = value;
}

void frm8470DF1::WriteIfOnline(const QString& address, qint32 value) {
    m_context.WriteIfOnline(address, QString::number(value));
}
