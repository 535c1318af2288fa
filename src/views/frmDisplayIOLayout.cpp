// The controls of the I/O states view: five frames of captions, each with
// its state labels on the caption's row, and the signal names as tool tips.
#include "frmDisplayIO.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

namespace {

const char* const BoardCaptions[frmDisplayIO::BoardValues] = {"IN0:",
                                                              "IN1:",
                                                              "Analog Input 0:",
                                                              "Analog Input 1:",
                                                              "Analog Output 0:",
                                                              "Analog Output 1:",
                                                              "Resolver POS:",
                                                              "Resolver RPM:",
                                                              "Resolver Period:",
                                                              "Scale Factor:",
                                                              "Offset:"};

const char* const TimingTips[8] = {"TDC (High) Timing",      "TDC (Mid) Timing",
                                   "TDC (Low) Timing",       "Air Strip (High) Timing",
                                   "Air Strip (Mid) Timing", "Air Strip (Low) Timing",
                                   "Cup Drop Window Timing", "PLC Timing"};

// Slot0-0: B100 then B110.
const char* const Slot00Tips[16] = {"Clutch On #1",
                                    "Clutch On #2",
                                    "Continuous Mode",
                                    "Single Mode",
                                    "Inch/Bar mode",
                                    "~Immediate Stop",
                                    "Coil Stock Override",
                                    "Alarm Reset",
                                    "Main Clutch Solenoid",
                                    "Main Clutch Solenoid",
                                    "Right Front Air Strip Solenoid",
                                    "Left Front Air Strip Solenoid",
                                    "Right Rear Air Strip Solenoid",
                                    "Left Rear Air Strip Solenoid",
                                    "~TLV Alarm",
                                    "PLC Timing"};

// Slot0-1: B101 then B111. B101.4 has no name.
const char* const Slot01Tips[16] = {"Clutch Solenoid 1A",
                                    "Clutch Solenoid 1B",
                                    "Spare",
                                    "Setup Enable",
                                    nullptr,
                                    "End of Shift",
                                    "Spare",
                                    "Spare",
                                    "Station Number Fault Bit-0",
                                    "Station Number Fault Bit-1",
                                    "Station Number Fault Bit-2",
                                    "Station Number Fault Bit-3",
                                    "Die Jam",
                                    "Cup Jam",
                                    "Scrap Jam",
                                    "Brake Response Too Long"};

// Row k of a slot frame names bit k % 8 of the byte, numbered in octal,
// four blanks before one digit and two before two: "(B100.0)    0:" ...
// "(B110.7)  17:".
QString bitCaption(int byteAddress, int row) {
    const int bit = row % 8;
    const QString number = QString::number(row < 8 ? bit : 10 + bit);
    return QStringLiteral("(B%1.%2)").arg(byteAddress).arg(bit) +
           QString(number.size() == 1 ? 4 : 2, u' ') + number + u':';
}

QLabel* named(const QString& name, const QString& text, const QString& tip = {}) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    if (!tip.isEmpty())
        label->setToolTip(tip);
    return label;
}

QGroupBox* frame(const char* name, const char* caption) {
    auto* box = new QGroupBox(QString::fromLatin1(caption));
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

void frmDisplayIO::BuildControls() {
    m_frames = {frame("fraK2700", "K2700"), frame("fraTiming", "Timing"),
                frame("fraSlot00", "Slot0-0"), frame("fraSlot01", "Slot0-1"),
                frame("fraSlot02", "Slot0-2")};

    auto* board = new QGridLayout(m_frames[0]);
    for (int i = 0; i < BoardValues; ++i) {
        m_lblk2710[size_t(i)] =
            named(QStringLiteral("lblk2710%1").arg(i), QString::fromLatin1(BoardCaptions[i]),
                  i == 0 ? QStringLiteral("Scrap Jam Input") : QString());
        // Design texts; a mode's preparation replaces them.
        m_lblk2710State[size_t(i)] = named(QStringLiteral("lblk2710State%1").arg(i),
                                           i < 2 ? QStringLiteral("OFF") : QStringLiteral("0"));
        m_lblk2710State[size_t(i)]->setMinimumWidth(60);
        board->addWidget(m_lblk2710[size_t(i)], i, 0, Qt::AlignRight);
        board->addWidget(m_lblk2710State[size_t(i)], i, 1);
    }
    board->setRowStretch(BoardValues, 1);

    const char* const stateNames[WordCount] = {"lblTmgChannelState", "lblSlot00State",
                                               "lblSlot01State", "lblSlot02State"};
    for (int w = 0; w < WordCount; ++w)
        for (int k = 0; k < Bits; ++k) {
            QLabel* state = named(QString::fromLatin1(stateNames[w]) + QString::number(k),
                                  QStringLiteral("OFF"));
            state->setMinimumWidth(28);
            m_bitStates[size_t(w)][size_t(k)] = state;
        }

    // Each frame's rows: caption, then the state label that shows its bit.
    auto fill = [this](int frameIndex, const QString& captionName, auto caption, auto tip,
                       auto state) {
        auto* grid = new QGridLayout(m_frames[size_t(frameIndex)]);
        for (int row = 0; row < Bits; ++row) {
            QLabel* label = named(captionName + QString::number(row), caption(row), tip(row));
            m_bitCaptions[size_t(frameIndex - 1)][size_t(row)] = label;
            grid->addWidget(label, row, 0, Qt::AlignRight);
            grid->addWidget(state(row), row, 1);
        }
        grid->setRowStretch(Bits, 1);
    };
    fill(
        1, QStringLiteral("lblTmgChannel"),
        [](int k) {
            return QStringLiteral("CH%1:").arg(k < 8 ? k : 10 + k - 8, 2, 10, QChar(u'0'));
        },
        [](int k) { return QString::fromLatin1(k < 8 ? TimingTips[k] : "Spare"); },
        [this](int k) { return m_bitStates[Timing][size_t(k)]; });
    fill(
        2, QStringLiteral("lblSlot00"),
        [](int row) { return bitCaption(row < 8 ? 100 : 110, row); },
        [](int row) { return QString::fromLatin1(Slot00Tips[row]); },
        [this](int row) { return m_bitStates[row < 8 ? Slot00 : Slot01][size_t(row % 8)]; });
    fill(
        3, QStringLiteral("lblSlot01"),
        [](int row) { return bitCaption(row < 8 ? 101 : 111, row); },
        [](int row) { return QString::fromLatin1(Slot01Tips[row]); },
        [this](int row) { return m_bitStates[row < 8 ? Slot00 : Slot01][size_t(8 + row % 8)]; });
    fill(
        4, QStringLiteral("lblSlot02"),
        [](int row) { return bitCaption(row < 8 ? 120 : 121, row); },
        [](int row) { return QStringLiteral("Cup Drop Sensor - Station %1").arg(row + 1); },
        [this](int row) { return m_bitStates[Slot02][size_t(row)]; });

    auto* row = new QHBoxLayout(this);
    for (QGroupBox* box : m_frames)
        row->addWidget(box);
    row->addStretch();
}
