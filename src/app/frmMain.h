#pragma once

#include "DisplayFormat.h"
#include "ViewBase.h"

#include <QString>
#include <array>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The main display: live speed, position, strokes, die jams and brake
// response, the system message, and the alarm reset.
class frmMain final : public ViewBase {
    Q_OBJECT
public:
    static constexpr int ValueCount = 6;
    // Speeds above this show the position as 888: it turns too fast to read.
    static constexpr double ReadablePositionSpeed = DisplayFormat::ReadablePositionSpeed;

    explicit frmMain(ViewContext& context, QWidget* parent = nullptr);

    void cmdAlarmReset_Click();

    QLabel* lblDisplay(int index) const { return m_lblDisplay[size_t(index)]; }

protected:
    void changeEvent(QEvent* event) override;
    void CycleStart() override;
    void PrepareOnline() override;
    void PrepareOffline() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override;

private:
    void ShowValue(int index, const QString& text);
    void Form_Load();
    void SetControlsEnabled(bool enabled);
    // The value labels take their frame's inside as their own background:
    // a new value then repaints the label alone.
    void FillValueLabels();

    std::array<QString, ValueCount> m_address;
    std::array<QGroupBox*, 5> m_fraDisplay{};
    std::array<QLabel*, ValueCount> m_lblDisplay{};
    std::array<QLabel*, 2> m_lblDescription{};
    QGroupBox* m_fraMessageDisplay = nullptr;
    QPlainTextEdit* m_txtMessageDisplay = nullptr;
    QPushButton* m_cmdAlarmReset = nullptr;
    QPushButton* m_cmdDefault = nullptr;
    bool m_speedAbove30 = false;
    bool m_lastSpeedAbove30 = false;
    QString m_shownMessage;
};
