#include "frmDisplayIO.h"

#include "NumberText.h"

#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <cmath>

frmDisplayIO::frmDisplayIO(ViewContext& context, QWidget* parent)
    : ViewBase(context, QStringLiteral("frmDisplayIO"), QStringLiteral("I/O Status"), parent) {
    BuildControls();
    Form_Load();
}

void frmDisplayIO::Form_Load() {
    m_ioAddress = {QStringLiteral("F80"),  QStringLiteral("F81"),  QStringLiteral("W162"),
                   QStringLiteral("W164"), QStringLiteral("B166"), QStringLiteral("B167"),
                   QStringLiteral("W180"), QStringLiteral("W182"), QStringLiteral("W184"),
                   QStringLiteral("W186"), QStringLiteral("W188"), QStringLiteral("W170"),
                   QStringLiteral("W100"), QStringLiteral("W110"), QStringLiteral("W120")};
    for (int i = 0; i < BoardValues; ++i)
        m_lblk2710State[size_t(i)]->setToolTip(m_ioAddress[size_t(i)]);
}

void frmDisplayIO::ShowOnOff(QLabel* label, bool on) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, on ? OnColour : OffColour);
    label->setPalette(palette);
    label->setText(on ? QStringLiteral("ON") : QStringLiteral("off"));
}

void frmDisplayIO::Prepare(bool enabled) {
    for (QGroupBox* frame : m_frames)
        frame->setEnabled(enabled);
    for (int i = 0; i < BoardValues; ++i) {
        m_lblk2710[size_t(i)]->setEnabled(enabled);
        QLabel* value = m_lblk2710State[size_t(i)];
        value->setEnabled(enabled);
        // The inputs' last colour would make "-" look like a state.
        value->setPalette(QPalette());
        value->setText(QStringLiteral("-"));
    }
    for (const auto& captions : m_bitCaptions)
        for (QLabel* caption : captions)
            caption->setEnabled(enabled);
    for (const auto& states : m_bitStates)
        for (QLabel* state : states) {
            state->setEnabled(enabled);
            QPalette palette = state->palette();
            palette.setColor(QPalette::WindowText, OnColour);
            state->setPalette(palette);
            state->setText(QStringLiteral("-"));
        }
}

void frmDisplayIO::PrepareOnline() {
    Prepare(true);
}

void frmDisplayIO::PrepareOffline() {
    Prepare(false);
}

QList<PollItem> frmDisplayIO::PollItems() {
    // The words the running machine changes are read whole: the analog
    // inputs, position, speed and resolver period. The PLS scale and offset
    // change only by the host's commands; the bit words show each bit on its
    // own, and every byte comes in one exchange, so each bit shown is one the
    // board held.
    static const QStringList moving{QStringLiteral("W162"), QStringLiteral("W164"),
                                    QStringLiteral("W180"), QStringLiteral("W182"),
                                    QStringLiteral("W184")};
    QList<PollItem> items;
    for (int step = 0; step < StepCount; ++step) {
        const QString& address = m_ioAddress[size_t(step)];
        items.append({address, [this, step](const QString& text) { ShowStep(step, text); },
                      moving.contains(address) ? PollItem::Whole : PollItem::Plain});
    }
    return items;
}

void frmDisplayIO::ShowStep(int step, const QString& text) {
    if (step < 0 || step >= StepCount)
        return;
    if (step < 2) {
        // Exactly 1 is on; 2 from a garbled flag is not.
        ShowOnOff(m_lblk2710State[size_t(step)], NumberText::leadingNumber(text) == 1);
        return;
    }
    if (step < BoardValues) {
        m_lblk2710State[size_t(step)]->setText(text);
        return;
    }
    const double value = NumberText::leadingNumber(text);
    // A word read as signed (-32768) has the bits of its unsigned form.
    const quint32 bits =
        std::isfinite(value) && std::fabs(value) < 4.0e9 ? quint32(qint64(value)) : 0;
    const auto& states = m_bitStates[size_t(step - BoardValues)];
    for (int k = 0; k < Bits; ++k)
        ShowOnOff(states[size_t(k)], (bits >> k) & 1);
}
