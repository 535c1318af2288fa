#pragma once

#include "ViewBase.h"

#include <QString>
#include <array>

class MouseHoldButton;
class QFrame;
class QGroupBox;
class QLabel;
class QTabBar;

// The shift data view: strokes and die jams of the current and the last
// shift, in total and per station. Online it reads the visible tab's
// registers over and over; offline it shows CurrentData. "Transfer Data"
// holds the board's end-of-shift flag while the mouse holds the button.
class frmData final : public ViewBase {
    Q_OBJECT
public:
    static constexpr int ValueCount = 36;
    static constexpr int Stations = 16;
    // The end-of-shift flag: the board closes the shift while it is set.
    static inline const QString EndOfShiftFlag = QStringLiteral("F32");

    explicit frmData(ViewContext& context, QWidget* parent = nullptr);

    void tbsData_Click();
    void cmdEndofShift_MouseDown();
    void cmdEndofShift_MouseUp();

    int FirstPolled() const { return m_firstPolled; }
    int LastPolled() const { return m_lastPolled; }
    QLabel* lblData(int index) const { return m_lblData[size_t(index)]; }

protected:
    void PrepareOnline() override;
    void PrepareOffline() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override;

private:
    void BuildControls();
    QFrame* BuildPage(int page);
    void Form_Load();
    void ShowPage(int page);
    void SetControlsEnabled(bool enabled);
    void WriteEndOfShift(const QString& value);

    std::array<QString, ValueCount> m_address;
    QTabBar* m_tbsData = nullptr;
    std::array<QFrame*, 2> m_fraData{};
    std::array<QGroupBox*, 4> m_fraShiftData{};
    std::array<QLabel*, ValueCount> m_lblDescription{};
    std::array<QLabel*, ValueCount> m_lblData{};
    QGroupBox* m_fraEndofShift = nullptr;
    MouseHoldButton* m_cmdEndofShift = nullptr;
    int m_firstPolled = 0;
    int m_lastPolled = 17;
};
