#include "FrameInterior.h"

#include <QGroupBox>
#include <QImage>
#include <QWidget>
#include <array>

namespace FrameInterior {

QColor color(const QGroupBox& like, QPalette::ColorGroup group) {
    // A frame of its own, drawn as the given one is, with no title and no
    // children over its inside. It is in no active window: every colour
    // group of its palette is the one asked for.
    constexpr int Side = 64;
    QPalette palette = like.palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const QBrush brush = palette.brush(group, QPalette::ColorRole(role));
        for (QPalette::ColorGroup each : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setBrush(each, QPalette::ColorRole(role), brush);
    }
    QGroupBox probe;
    probe.setStyle(like.style());
    probe.setPalette(palette);
    probe.setFlat(like.isFlat());
    probe.setAutoFillBackground(like.autoFillBackground());
    probe.setEnabled(group != QPalette::Disabled);
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
    constexpr std::array<QPalette::ColorGroup, 3> Groups{QPalette::Active, QPalette::Inactive,
                                                         QPalette::Disabled};
    std::array<QColor, 3> colors;
    bool uniform = true;
    for (size_t i = 0; i < Groups.size(); ++i) {
        colors[i] = color(frame, Groups[i]);
        uniform = uniform && colors[i].isValid();
    }
    for (QWidget* widget : widgets) {
        if (uniform) {
            QPalette palette = widget->palette();
            for (size_t i = 0; i < Groups.size(); ++i)
                palette.setColor(Groups[i], QPalette::Window, colors[i]);
            widget->setPalette(palette);
        }
        widget->setAutoFillBackground(uniform);
    }
}

} // namespace FrameInterior
