#include "frmTargetBoard.h"

#include "ErrorText.h"
#include "FieldEditor.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedRoutines.h"
#include "UpDown.h"
#include "ViewContext.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

using namespace TargetBoardData;

namespace {

const QString OfflineText = QStringLiteral("Cannot Communicate with Target Board.");

} // namespace

frmTargetBoard::frmTargetBoard(ViewContext& context, QWidget* parent)
    : ModalViewBase(context, QStringLiteral("frmTargetBoard"),
                    QStringLiteral("Target Board Interface"), parent),
      m_reader(context.link(), context.programFolder()),
      m_now([] { return QDateTime::currentDateTime(); }) {
    BuildControls();

    m_editor = std::make_unique<FieldEditor>(context, m_cmdDefault);
    for (int i = 0; i < FieldCount; ++i) {
        const auto& f = Fields[size_t(i)];
        FieldSettings settings;
        settings.min = f.min;
        settings.max = f.max;
        settings.value = FieldValue::ShownText;
        settings.messageTitle = QStringLiteral("Set-up") + QString::fromLatin1(f.label);
        m_editor->addField(m_txtSetup[size_t(i)], m_updSetup[size_t(i)], settings);
    }
    m_editor->accept = [this](int index, qint32, const QString& text) {
        return accept(index, text);
    };
    m_editor->change = [this](int index) { updSetup_Change(index); };
    m_editor->live = [this] { return m_loop.LoopRunning(); };

    connect(m_tabTargetBoard, &QTabBar::currentChanged, this,
            &frmTargetBoard::tabTargetBoard_Click);
    connect(m_cmdOk, &QPushButton::clicked, this, &frmTargetBoard::cmdOk_Click);
    connect(m_cmdGoOnline, &QPushButton::clicked, this, &frmTargetBoard::cmdGoOnline_Click);
    connect(m_cmdResetFaults, &QPushButton::clicked, this, &frmTargetBoard::cmdResetFaults_Click);
    connect(m_cmdSetToCurrTime, &QPushButton::clicked, this,
            &frmTargetBoard::cmdSetToCurrTime_Click);
    connect(m_cmdSetToCurrDate, &QPushButton::clicked, this,
            &frmTargetBoard::cmdSetToCurrDate_Click);
}

frmTargetBoard::~frmTargetBoard() {
    m_loop.Stop();
}

bool frmTargetBoard::EditActive(int index) const {
    return m_editor->EditActive(index);
}

bool frmTargetBoard::PrepareForm(const QString& KorvelFile) {
    // 1. The project: its board code and what its revision file says.
    if (auto error = ReadDiskIdentity(KorvelFile, m_disk)) {
        m_context.prompt().message(QStringLiteral("InitializeForm"),
                                   ErrorText::numbered(error->number, error->description),
                                   Prompt::Icon::Information);
        return false;
    }
    m_boardCode = m_disk.boardCode;
    // 2, 3. Register table (Fields); the network address comment.
    m_lblNetworkAddComment->setText(Prompt::screenText(
        QStringLiteral("Each R8000 board connected to the R8000 Network must be ") +
        QStringLiteral("assigned a unique network address between 1 and 32.") +
        QStringLiteral("\r\n\r\n") +
        QStringLiteral("System function sfunc19(); configures the R8470 serial ") +
        QStringLiteral("communication for the K2700 processor.")));
    // 4. What every board shows.
    m_cmdGoOnline->hide();
    m_lblTargetBoard[FaultStatus::CoCpuSlot]->hide();
    m_lblSetupDesc[NetworkAddress2]->hide();
    m_txtSetup[NetworkAddress2]->hide();
    m_updSetup[NetworkAddress2]->hide();
    for (int i = FirstClockField; i < FieldCount; ++i) {
        SetRowEnabled(i, false);
        m_editor->showText(i, QStringLiteral("-"));
    }
    SetClockControlsEnabled(false);
    // 5. By board.
    if (ShowsCoCpuSlot(m_boardCode))
        m_lblTargetBoard[FaultStatus::CoCpuSlot]->show();
    if (HasClock(m_boardCode)) {
        for (int i = FirstClockField; i < FieldCount; ++i)
            SetRowEnabled(i, true);
        SetClockControlsEnabled(true);
    }
    if (HasSecondAddress(m_boardCode)) {
        m_lblSetupDesc[NetworkAddress2]->show();
        m_txtSetup[NetworkAddress2]->show();
        m_updSetup[NetworkAddress2]->show();
        m_editor->showText(NetworkAddress2, QString());
    }
    // 6. The program on disk.
    m_lblRevIdentOnDisk[0]->setText(m_disk.name);
    m_lblRevIdentOnDisk[1]->setText(QString::number(m_disk.revision));
    m_lblRevIdentOnDisk[2]->setText(QString::number(m_disk.checksum));
    m_lblRevIdentOnDisk[3]->setText(RSComm::TargetboardName(m_boardCode));
    m_lblRevIdentOnDisk[4]->setText(m_disk.revDate);
    return true;
}

bool frmTargetBoard::InitializeForm(const QString& KorvelFile) {
    if (!PrepareForm(KorvelFile))
        return false;
    exec();
    return true;
}

void frmTargetBoard::FormActivate() {
    CenterForm(this);
    m_tabTargetBoard->setCurrentIndex(0);
    tabTargetBoard_Click(0);
    m_tabTargetBoard->setFocus();
    // The first cycle shows the computer's clock.
    m_lastSecondShown = -1;
    cmdGoOnline_Click();
}

void frmTargetBoard::tabTargetBoard_Click(int index) {
    for (int i = 0; i < 4; ++i)
        m_fraTargetBoard[size_t(i)]->setVisible(i == index);
}

void frmTargetBoard::cmdGoOnline_Click() {
    RSComm& link = m_context.link();
    if (link.OnlineMode() || link.Busy())
        return;
    link.setCommError(false);
    link.GoOnline();
}

// Ok, Esc and the close box all end the loop and close the window; an edit
// in progress ends unwritten.
void frmTargetBoard::FormUnload() {
    m_editor->AbandonEdits();
}

void frmTargetBoard::cmdOk_Click() {
    done(QDialog::Accepted);
}

void frmTargetBoard::reject() {
    cmdOk_Click();
}

bool frmTargetBoard::RowShown(int row) const {
    return row != NetworkAddress2 || HasSecondAddress(m_boardCode);
}

bool frmTargetBoard::CoCpuShown() const {
    return ShowsCoCpuSlot(m_boardCode);
}

bool frmTargetBoard::FieldShown(int index) const {
    return index < FirstClockField ? RowShown(index) : HasClock(m_boardCode);
}

void frmTargetBoard::SetRowEnabled(int row, bool enabled) {
    m_lblSetupDesc[size_t(row)]->setEnabled(enabled);
    m_txtSetup[size_t(row)]->setEnabled(enabled);
    m_updSetup[size_t(row)]->setEnabled(enabled);
}

void frmTargetBoard::SetClockControlsEnabled(bool enabled) {
    m_lblTargetBoardTime->setEnabled(enabled);
    m_lblTargetBoardDate->setEnabled(enabled);
    m_cmdSetToCurrTime->setEnabled(enabled);
    m_cmdSetToCurrDate->setEnabled(enabled);
}

// The computer's clock, once a second.
void frmTargetBoard::CycleStart() {
    ShowComputerClock();
}

void frmTargetBoard::ShowComputerClock() {
    const QDateTime now = m_now();
    if (now.time().second() == m_lastSecondShown)
        return;
    m_lastSecondShown = now.time().second();
    m_lblCurrTime->setText(TimeText(now));
    m_lblCurrDate->setText(DateText(now));
}

void frmTargetBoard::PrepareOnline() {
    m_firstPassPending = true;
}

void frmTargetBoard::PrepareOffline() {
    // A reading the link broke off: the slots it did not reach are those of
    // a board that does not answer.
    if (!m_reader.Done() && m_reader.FinishUnread())
        ShowFaultStatus();
    m_firstPassPending = false;
    m_editor->AbandonEdits();
    m_cmdGoOnline->show();
    m_cmdResetFaults->setEnabled(false);
    for (const int i : {0, 1, 3, 4, 5})
        m_txtTargetBoard[size_t(i)]->setPlainText(OfflineText);
    for (QLabel* l : m_lblRevIdentInPLC)
        l->setEnabled(false);
    for (int i = 0; i < FieldCount; ++i)
        if (RowShown(i))
            SetRowEnabled(i, false);
    SetClockControlsEnabled(false);
}

void frmTargetBoard::ShowFaultStatus() {
    const FaultStatus& status = m_reader.status();
    for (int slot = 0; slot < FaultStatus::Slots; ++slot) {
        if (slot == FaultStatus::ActionSlot || status.codeText[size_t(slot)].isEmpty())
            continue;
        if (slot == FaultStatus::CoCpuSlot && !CoCpuShown())
            continue;
        m_lblTargetBoard[size_t(slot)]->setText(status.label(slot));
    }
    m_cmdResetFaults->setEnabled(status.resetEnabled);
    if (!m_reader.Done())
        return;
    for (const int slot : {0, 1, 4, 5})
        if (status.description[size_t(slot)])
            m_txtTargetBoard[size_t(slot)]->setPlainText(*status.description[size_t(slot)]);
    m_txtTargetBoard[FaultStatus::ActionSlot]->setPlainText(status.correctiveAction);
}

// A code text table that cannot be read ends the pass; the next cycle reads
// everything again.
void frmTargetBoard::FaultStatusFailed() {
    m_context.prompt().message(QStringLiteral("TargetBoard FirstPass"),
                               ErrorText::numbered(m_reader.errorNumber(), m_reader.errorString()),
                               Prompt::Icon::Information);
    m_firstPassPending = true;
    m_loop.NewCycle();
}

void frmTargetBoard::FinishFirstPass() {
    if (!m_context.link().CommError())
        m_cmdGoOnline->hide();
    m_firstPassPending = false;
}

// FirstPass: once per connection, and after Reset Faults.
void frmTargetBoard::PassStart() {
    if (!m_firstPassPending)
        return;
    EnableFirstPassControls();
    m_reader.Begin(CoCpuShown());
    // The name is built from this pass's bytes alone and shown only whole:
    // a byte that was not read would leave an old name or a gap in it.
    m_identName.clear();
    m_identNameBytes = 0;
    m_identity = {};
}

void frmTargetBoard::EnableFirstPassControls() {
    m_cmdResetFaults->setEnabled(false);
    for (QLabel* l : m_lblRevIdentInPLC)
        l->setEnabled(true);
    for (int i = 0; i < FieldCount; ++i)
        if (RowShown(i))
            SetRowEnabled(i, true);
    const bool clock = HasClock(m_boardCode);
    if (!clock)
        for (int i = FirstClockField; i < FieldCount; ++i)
            SetRowEnabled(i, false);
    SetClockControlsEnabled(clock);
}

QList<PollItem> frmTargetBoard::PollItems() {
    QList<PollItem> items;
    if (m_firstPassPending) {
        const int readings = FaultStatus::Slots + (CoCpuShown() ? 1 : 0);
        for (int k = 0; k < readings; ++k) {
            PollItem item;
            item.read = [this]() -> std::optional<QString> {
                const bool ok = m_reader.Step();
                ShowFaultStatus();
                if (!ok)
                    FaultStatusFailed();
                return QString();
            };
            items.append(item);
        }
        for (int k = 0; k < IdentBytes; ++k) {
            items.append({IdentByteAddress(k), [this, k](const QString& value) {
                              if (k < IdentNameBytes) {
                                  m_identName += IdentCharacter(value);
                                  if (++m_identNameBytes == IdentNameBytes) {
                                      m_lblRevIdentInPLC[0]->setText(m_identName);
                                      m_identity.ident = m_identName;
                                  }
                              } else {
                                  m_lblRevIdentInPLC[k == 8 ? 2 : 1]->setText(value);
                                  (k == 8 ? m_identity.checksum : m_identity.revision) =
                                      value.toInt();
                                  if (!m_identity.ident.isEmpty() && m_identity.checksum &&
                                      m_identity.revision)
                                      m_context.setKnownBoard(m_identity);
                              }
                          }});
        }
        // The board answered the first pass: Go Online goes before the fields
        // are polled. No transaction of its own.
        PollItem identRead;
        identRead.when = [this] {
            FinishFirstPass();
            return false;
        };
        items.append(identRead);
    }
    // PollPass: every register on every pass; the board decides what shows.
    for (int i = 0; i < FieldCount; ++i) {
        items.append(
            {QString::fromLatin1(Fields[size_t(i)].address), [this, i](const QString& value) {
                 if (FieldShown(i) && !m_editor->EditActive(i))
                     m_editor->showValue(i, TwoDigits(value));
             }});
    }
    return items;
}

void frmTargetBoard::Write(const QString& address, const QString& value) {
    m_context.WriteIfOnline(address, value);
}

bool frmTargetBoard::accept(int index, const QString& text) {
    Write(QString::fromLatin1(Fields[size_t(index)].address), text);
    return true;
}

void frmTargetBoard::updSetup_Change(int index) {
    Write(QString::fromLatin1(Fields[size_t(index)].address), m_txtSetup[size_t(index)]->text());
}

void frmTargetBoard::cmdResetFaults_Click() {
    RSComm& link = m_context.link();
    if (link.Busy())
        return;
    const auto answer = m_context.prompt().message(
        QStringLiteral("WARNING - Fault Code Reset!"),
        QStringLiteral("Target Board will be reinitialized.\r\n\r\nDo you wish to continue?"),
        Prompt::Icon::Critical, Prompt::Buttons::YesNoCancel);
    if (answer != Prompt::Answer::Yes)
        return;
    m_cmdResetFaults->setEnabled(false);
    if (link.OnlineMode())
        for (const char* address : {"B8178", "B8179", "B8177", "B8176"})
            if (!link.CommError())
                link.RSWrite(QString::fromLatin1(address), QStringLiteral("0"));
    if (!link.CommError()) {
        m_firstPassPending = true;
        m_loop.NewCycle();
    }
}

// One reading of the computer's clock for all three writes.
void frmTargetBoard::cmdSetToCurrTime_Click() {
    RSComm& link = m_context.link();
    if (!link.OnlineMode() || link.Busy())
        return;
    for (const auto& [address, value] : TimeWrites(m_now()))
        if (!link.CommError())
            link.RSWrite(address, value);
}

void frmTargetBoard::cmdSetToCurrDate_Click() {
    RSComm& link = m_context.link();
    if (!link.OnlineMode() || link.Busy())
        return;
    for (const auto& [address, value] : DateWrites(m_now()))
        if (!link.CommError())
            link.RSWrite(address, value);
}
