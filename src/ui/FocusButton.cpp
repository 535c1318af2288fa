#include "FocusButton.h"

#include <QPushButton>

QPushButton* NewFocusButton() {
    auto* button = new QPushButton(QStringLiteral("-"));
    button->setObjectName(QStringLiteral("cmdDefault"));
    button->setFlat(true);
    button->setFixedSize(0, 0);
    // Enter in a field must not press it.
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}
