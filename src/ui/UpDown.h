#pragma once

#include <QWidget>
#include <functional>

class QToolButton;

// An up-down button pair bound to a text that it steps: a field's committed
// value or its shown text. It never takes the focus, so clicking it leaves
// the focus where the field editing protocol puts it.
class UpDown final : public QWidget {
    Q_OBJECT
public:
    // The arrows are named after the control: "<name>Up" and "<name>Down".
    explicit UpDown(const QString& name = {}, QWidget* parent = nullptr);

    void setRange(int min, int max);
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Increment() const { return 1; }

    // The text the arrows step: read it, and set it to the stepped value.
    void bind(std::function<QString()> read, std::function<void(const QString&)> write);

    // Steps the bound text's whole value by one in the direction (+1 up, -1
    // down), within Min and Max. False when the text did not change (already
    // at the limit).
    bool step(int direction);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    // An arrow was clicked: +1 up, -1 down. The owner steps the value.
    void arrowClicked(int direction);

private:
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    int m_min = 0;
    int m_max = 100;
    std::function<QString()> m_read;
    std::function<void(const QString&)> m_write;
};
