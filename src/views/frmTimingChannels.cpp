// The timing channels: setpoint edits, recall and clear.
#include "frmTiming.h"

#include "ChannelRecall.h"
#include "EntryChecks.h"
#include "FieldEditor.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedState.h"
#include "UpDown.h"
#include "ViewContext.h"

#include <QLineEdit>

namespace {

const QString NotProgrammed = QStringLiteral("****");
const QString Failed = QStringLiteral("---");

} // namespace

// An accepted setpoint that differs from the start value: ON and OFF may not
// be equal (a marker counts as 0); the value is kept in memory and, online,
// the channel is programmed with both boxes' values.
bool frmTiming::txtChannel_Commit(int field, qint32 value) {
    const int n = ChannelOf(field);
    const qint32 on = FieldEditor::WholeValue(Box(n)->text());
    const qint32 off = FieldEditor::WholeValue(Box(n + Channels)->text());
    if (const auto refused = EntryChecks::SetpointPair(on, off)) {
        m_context.prompt().message(QStringLiteral("Set-up"), *refused, Prompt::Icon::Information);
        return false;
    }
    StoreSetpoint(field, value);
    ProgramChannel(n);
    return true;
}

// An up-down click: the stepped value is stored and programmed at once, with
// no check of ON against OFF.
void frmTiming::updChannel_Change(int Index) {
    const int field = Index >= OffBoxIndex ? Index - OffBoxIndex + Channels : Index;
    StoreSetpoint(field, FieldEditor::WholeValue(Box(field)->text()));
    ProgramChannel(ChannelOf(field));
}

void frmTiming::StoreSetpoint(int field, qint32 value) {
    auto& setpoints = m_context.shared().CurrentData.ChannelSetpoint[size_t(ChannelOf(field))];
    setpoints[IsOffField(field) ? 1 : 0] = qint16(value);
}

void frmTiming::ProgramChannel(int n) {
    if (!BoardFree())
        return;
    RSComm& link = m_context.link();
    const qint32 on = FieldEditor::WholeValue(Box(n)->text());
    const qint32 off = FieldEditor::WholeValue(Box(n + Channels)->text());
    if (!link.SingleSetpoint(n, on, off, true) && !link.CommError())
        m_context.prompt().message(QStringLiteral("Channel Setpoint"),
                                   QStringLiteral("Unable to Successfully Program Setpoint for "
                                                  "Channel CH0") +
                                       QString::number(n) + u'.',
                                   Prompt::Icon::Critical);
}

void frmTiming::ShowChannel(int n, const QString& on, const QString& off) {
    Box(n)->setText(on);
    Box(n + Channels)->setText(off);
}

void frmTiming::ShowMemoryChannels() {
    const auto& setpoints = m_context.shared().CurrentData.ChannelSetpoint;
    for (int n = 0; n < Channels; ++n)
        ShowChannel(n, QString::number(setpoints[size_t(n)][0]),
                    QString::number(setpoints[size_t(n)][1]));
}

// One recall of channel n, which yields one of its setpoints; with memory
// set, memory takes it too. False when the channel's recall ends here.
bool frmTiming::RecallStep(int n, bool memory) {
    RSComm& link = m_context.link();
    auto& setpoints = m_context.shared().CurrentData.ChannelSetpoint[size_t(n)];
    if (!link.OnlineMode() || !link.RecallChannel(n)) {
        if (link.CommError())
            return false;
        m_context.prompt().message(QStringLiteral("Channel Recall"),
                                   QStringLiteral("Unable to Recall Channel ch") +
                                       QString::number(n),
                                   Prompt::Icon::Information);
        ShowChannel(n, Failed, Failed);
        return false;
    }
    const ChannelRecall::Result recalled = ChannelRecall::decode(link);
    switch (recalled.setpoint) {
    case ChannelRecall::Setpoint::On:
        Box(n)->setText(QString::number(recalled.position));
        break;
    case ChannelRecall::Setpoint::Off:
        Box(n + Channels)->setText(QString::number(recalled.position));
        break;
    case ChannelRecall::Setpoint::None:
        ShowChannel(n, NotProgrammed, NotProgrammed);
        break;
    }
    if (memory)
        ChannelRecall::store(recalled, setpoints);
    return recalled.setpoint != ChannelRecall::Setpoint::None;
}

void frmTiming::RecallSetpoints(int n, bool memory) {
    for (int i = 0; i < 2; ++i)
        if (!RecallStep(n, memory))
            return;
}

// Every channel recalled from the board, one recall per step; memory is not
// changed. The loop stops them at the first comm error.
QList<PollItem> frmTiming::RecallAllItems() {
    // An edit in progress ends (validated) before the boxes are rewritten.
    m_editor->EndEdit();
    QList<PollItem> items;
    for (int n = 0; n < Channels; ++n) {
        PollItem first;
        first.read = [this, n]() -> std::optional<QString> {
            m_recallGoesOn = RecallStep(n, false);
            return QString();
        };
        PollItem second = first;
        second.when = [this] { return m_recallGoesOn; };
        items << first << second;
    }
    return items;
}

// A button that uses a field validates it first: a refused entry never
// reaches the board.
bool frmTiming::FieldReady(int field) {
    if (m_editor->RefocusPending() || !m_editor->EndEdit())
        return false;
    const size_t i = field == OffsetField ? 0 : 1;
    const qint32 value = FieldEditor::WholeValue(m_txtTmg[i]->text());
    return value >= m_updTmg[i]->Min() && value <= m_updTmg[i]->Max();
}

// The box's text rewritten as its whole value; that value.
int frmTiming::TakeWholeValue(int field) {
    QLineEdit* box = field == OffsetField ? m_txtTmg[0] : m_txtTmg[1];
    const qint32 value = FieldEditor::WholeValue(box->text());
    box->setText(QString::number(value));
    return value;
}

void frmTiming::cmdRecallChan_Click() {
    if (!FieldReady(ChannelField) || !BoardFree())
        return;
    RecallSetpoints(TakeWholeValue(ChannelField), false);
}

void frmTiming::cmdClearChan_Click() {
    for (;;) {
        if (!FieldReady(ChannelField))
            return;
        const int n = TakeWholeValue(ChannelField);
        const auto answer = m_context.prompt().message(
            QStringLiteral("Clear Channel"),
            QStringLiteral("You are about to Clear Channel CH0") + QString::number(n) +
                QStringLiteral(".\n\nDo you wish to continue?"),
            Prompt::Icon::Question, Prompt::Buttons::YesNoCancel);
        if (answer != Prompt::Answer::Yes)
            return;
        RSComm& link = m_context.link();
        if (!link.OnlineMode()) {
            if (!m_context.shared().OfflineEditing)
                return;
            ShowChannel(n, NotProgrammed, NotProgrammed);
            m_context.shared().CurrentData.ChannelSetpoint[size_t(n)] = {0, 0};
            return;
        }
        if (!BoardFree())
            return;
        const bool cleared = link.ClearPLSChan(n);
        if (link.CommError())
            return;
        if (cleared) {
            // The board reports the channel as not programmed now: the boxes
            // show it and memory follows.
            RecallSetpoints(n, true);
            return;
        }
        const auto again = m_context.prompt().message(
            QStringLiteral("Clear Channel"), QStringLiteral("Unable to Clear Channel"),
            Prompt::Icon::Question, Prompt::Buttons::RetryCancel);
        if (again != Prompt::Answer::Retry) {
            ShowChannel(n, Failed, Failed);
            return;
        }
    }
}
