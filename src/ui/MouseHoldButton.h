#pragma once

#include <QPushButton>

// A push button that reports when the mouse starts and stops holding it
// down. Only the mouse counts: Space and Enter press a QPushButton too, and
// they must not start a hold. A hold also ends when the button loses the
// mouse before the release (another window takes over, the button is hidden
// or disabled), so that every mouseDown is followed by exactly one mouseUp.
class MouseHoldButton : public QPushButton {
    Q_OBJECT
public:
    explicit MouseHoldButton(const QString& text, QWidget* parent = nullptr);

    bool Held() const { return m_held; }

signals:
    void mouseDown();
    void mouseUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void EndHold();

    bool m_held = false;
};
