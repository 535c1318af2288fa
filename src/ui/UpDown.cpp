#include "UpDown.h"

#include "NumberText.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QToolButton* arrowButton(Qt::ArrowType arrow, const QString& name) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 11);
    return button;
}

} // namespace

UpDown::UpDown(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    m_up = arrowButton(Qt::UpArrow, name + QStringLiteral("Up"));
    m_down = arrowButton(Qt::DownArrow, name + QStringLiteral("Down"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_up);
    box->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { emit arrowClicked(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit arrowClicked(-1); });
}

void UpDown::setRange(int min, int max) {
    m_min = min;
    m_max = std::max(min, max);
}

void UpDown::bind(std::function<QString()> read, std::function<void(const QString&)> write) {
    m_read = std::move(read);
    m_write = std::move(write);
}

bool UpDown::step(int direction) {
    if (!m_read || !m_write)
        return false;
    const QString before = m_read();
    // Placeholders and other non-numbers count as 0, as the control reads its buddy.
    const double now = NumberText::roundHalfEven(NumberText::leadingNumber(before));
    const double next = std::clamp(now + (direction > 0 ? Increment() : -Increment()),
                                   double(m_min), double(m_max));
    const QString text = QString::number(qint64(next));
    if (text == before)
        return false;
    m_write(text);
    return true;
}
