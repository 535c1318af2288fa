#pragma once

#include <QStatusBar>
#include <QTimer>
#include <array>

class QLabel;

// The main window's status bar: four panels keyed STATUS, MODE, DATE and TIME
// (indexes 1..4). The date and time panels keep themselves current.
class StatusPanels final : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int Status = 1;
    static constexpr int Mode = 2;
    static constexpr int Date = 3;
    static constexpr int Time = 4;

    explicit StatusPanels(QWidget* parent = nullptr);

    QLabel* panel(int index) const { return m_panels[size_t(index - 1)]; }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    // Stops the date and time panels (shutdown).
    void stopClock() { m_clock.stop(); }

signals:
    void PanelDblClick(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateClock();

    std::array<QLabel*, 4> m_panels{};
    QTimer m_clock;
};
