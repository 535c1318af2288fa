// The PLS configuration tab and the resolver offset.
#include "frmTiming.h"

#include "FieldEditor.h"
#include "PlsConfigArray.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedState.h"
#include "ViewContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

void frmTiming::SetConfigEnabled(bool enabled) {
    for (int i = 0; i < ConfigLabels; ++i) {
        m_lblCfgDescription[size_t(i)]->setEnabled(enabled);
        m_lblPLSCfg[size_t(i)]->setEnabled(enabled);
    }
}

// What the board holds; memory is not changed. After a failed read without
// a comm error the link has said so, and the labels show what it returned.
void frmTiming::ShowPLSConfig() {
    RSComm& link = m_context.link();
    const auto config = link.PLSConfigUpload();
    if (link.CommError())
        return;
    for (int i = 0; i < ConfigLabels; ++i)
        m_lblPLSCfg[size_t(i)]->setText(QString::number(config[size_t(i)]));
}

void frmTiming::ShowMemoryConfig() {
    const SetupRecord& data = m_context.shared().CurrentData;
    m_lblPLSCfg[0]->setText(QString::number(data.PlsConfig0));
    m_lblPLSCfg[1]->setText(QString::number(data.PlsConfig1));
    for (int i = 0; i < 8; ++i)
        m_lblPLSCfg[size_t(2 + i)]->setText(QString::number(data.PlsConfig2to9[size_t(i)]));
}

// Pushes the configuration held in memory back to the board.
void frmTiming::cmdResetPLSConfig_Click() {
    RSComm& link = m_context.link();
    for (;;) {
        if (!BoardFree())
            return;
        const SetupRecord& data = m_context.shared().CurrentData;
        const bool done = link.PLSConfigDownload(PlsConfigArray(data), data.PlsScale);
        if (link.CommError())
            return;
        if (done) {
            ShowPLSConfig();
            return;
        }
        const auto answer = m_context.prompt().message(
            QStringLiteral("PLS Config Download"),
            QStringLiteral("Unable to Reset PLS Configuration Parameters"), Prompt::Icon::Question,
            Prompt::Buttons::RetryCancel);
        if (answer != Prompt::Answer::Retry) {
            for (QLabel* label : m_lblPLSCfg)
                label->setText(QStringLiteral("---"));
            return;
        }
    }
}

// The number in the box is the position the machine shall read where it now
// stands; the link works out the board's offset from it.
void frmTiming::cmdSetOffset_Click() {
    if (!FieldReady(OffsetField))
        return;
    const int position = TakeWholeValue(OffsetField);
    if (!m_context.link().OnlineMode())
        return;
    const auto answer = m_context.prompt().message(
        QStringLiteral("Set Offset"),
        QStringLiteral("You are about to Change the Resolver Offset.\n\nDo you wish to continue?"),
        Prompt::Icon::Question, Prompt::Buttons::YesNoCancel);
    if (answer != Prompt::Answer::Yes) {
        m_txtTmg[0]->setText(QStringLiteral("0"));
        return;
    }
    RSComm& link = m_context.link();
    if (!BoardFree())
        return;
    const bool set = link.SetPLSOffset(position);
    if (link.CommError())
        return;
    if (set) {
        StoreOffsetReadBack();
        return;
    }
    m_context.prompt().message(QStringLiteral("Resolver Offset"),
                               QStringLiteral("Unable to Successfully Set the Resolver Offset"),
                               Prompt::Icon::Critical);
    m_txtTmg[0]->setText(QStringLiteral("0"));
}

// Memory keeps the offset the board now holds, not the position typed; a
// read that fails leaves the old offset.
void frmTiming::StoreOffsetReadBack() {
    RSComm& link = m_context.link();
    const QString text = link.PLSOffset();
    if (link.CommError())
        return;
    bool ok = false;
    const int offset = text.toInt(&ok);
    if (!ok || offset < 0 || offset > std::numeric_limits<qint16>::max())
        return;
    m_context.shared().CurrentData.PlsOffset = qint16(offset);
}
