#pragma once

#include "ViewBase.h"

#include <QColor>
#include <QString>
#include <array>

class QGroupBox;
class QLabel;

// The I/O states view: the processor board's inputs, analog and resolver
// values, the sixteen PLS timing outputs and the 48 discrete points of three
// I/O slots, read from the board one register per step. It writes nothing,
// and offline it shows no values.
class frmDisplayIO final : public ViewBase {
    Q_OBJECT
public:
    static constexpr int StepCount = 15;
    static constexpr int BoardValues = 11; // steps 0..10, the K2700 frame
    static constexpr int Bits = 16;
    static inline const QColor OnColour = QColor(0, 0, 255);
    static inline const QColor OffColour = QColor(192, 0, 0);

    explicit frmDisplayIO(ViewContext& context, QWidget* parent = nullptr);

    const QString& IOAddress(int step) const { return m_ioAddress[size_t(step)]; }
    // Shows the text read at a step of the poll pass.
    void ShowStep(int step, const QString& text);

protected:
    void PrepareOnline() override;
    void PrepareOffline() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override {}

private:
    enum Word { Timing, Slot00, Slot01, Slot02, WordCount };

    void BuildControls();
    void Form_Load();
    void Prepare(bool enabled);
    static void ShowOnOff(QLabel* label, bool on);

    std::array<QString, StepCount> m_ioAddress;
    std::array<QGroupBox*, 5> m_frames{};
    std::array<QLabel*, BoardValues> m_lblk2710{};
    std::array<QLabel*, BoardValues> m_lblk2710State{};
    // Captions of the four bit frames (Timing, Slot0-0, Slot0-1, Slot0-2).
    std::array<std::array<QLabel*, Bits>, 4> m_bitCaptions{};
    // State labels of the four words W170, W100, W110, W120, by bit.
    std::array<std::array<QLabel*, Bits>, WordCount> m_bitStates{};
};
