#include "FrameInterior.h"

#include <QGroupBox>
#include <QImage>
#include <QPalette>
#include <QWidget>
#include <array>

namespace FrameInterior {

QColor color(const QGroupBox& like, bool enabled) {
    // A frame of its own, drawn as the given one is, with no title and no
    // children over its inside.
    constexpr int Side = 64;
    QGroupBox probe;
    probe.setStyle(like.style());
    probe.setPalette(like.palette());
    probe.setFlat(like.isFlat());
    probe.setAutoFillBackground(like.autoFillBackground());
    probe.setEnabled(enabled);
    probe.resize(Side, Side);
    QImage image(probe.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    probe.render(&image, {}, {}, QWidget::DrawWindowBackground);
    // Well inside the frame's edges, wherever its style draws them.
    constexpr std::array<QPoint, 4> Inside{QPoint(20, 24), QPoint(44, 24), QPoint(20, 44),
                                           QPoint(44, 44)};
    const QRgb first = image.pixel(Inside[0]);
    for (const QPoint& point : Inside) {
        if (image.pixel(point) != first)
            return {};
    }
    if (qAlpha(first) != 255)
        return {};
    return QColor::fromRgb(first);
}

void fill(const QGroupBox& frame, const QList<QWidget*>& widgets) {
    const QColor enabled = color(frame, true);
    const QColor disabled = color(frame, false);
    const bool uniform = enabled.isValid() && disabled.isValid();
    for (QWidget* widget : widgets) {
        if (uniform) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::Active, QPalette::Window, enabled);
            palette.setColor(QPalette::Inactive, QPalette::Window, enabled);
            palette.setColor(QPalette::Disabled, QPalette::Window, disabled);
            widget->setPalette(palette);
        }
        widget->setAutoFillBackground(uniform);
    }
}

} // namespace FrameInterior
