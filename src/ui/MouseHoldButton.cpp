#include "MouseHoldButton.h"

#include <QFocusEvent>
#include <QMouseEvent>

MouseHoldButton::MouseHoldButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {}

void MouseHoldButton::mousePressEvent(QMouseEvent* event) {
    QPushButton::mousePressEvent(event);
    // Any mouse button holds it; the release then comes here too.
    event->accept();
    // A second button pressed during a hold starts nothing new.
    if (m_held || !isEnabled())
        return;
    m_held = true;
    emit mouseDown();
}

void MouseHoldButton::mouseReleaseEvent(QMouseEvent* event) {
    QPushButton::mouseReleaseEvent(event);
    // The hold lasts until the last mouse button is up.
    if (event->buttons() == Qt::NoButton)
        EndHold();
}

void MouseHoldButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        EndHold();
    else if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        EndHold();
}

void MouseHoldButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    // A popup or another window took the mouse; a Tab away cannot happen
    // while a mouse button holds this one.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        EndHold();
}

void MouseHoldButton::hideEvent(QHideEvent* event) {
    QPushButton::hideEvent(event);
    EndHold();
}

bool MouseHoldButton::event(QEvent* event) {
    if (event->type() == QEvent::UngrabMouse)
        EndHold();
    return QPushButton::event(event);
}

void MouseHoldButton::EndHold() {
    if (!m_held)
        return;
    m_held = false;
    emit mouseUp();
}
