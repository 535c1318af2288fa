// The colour inside a frame, for labels that fill their background with it.
#include "FrameInterior.h"
#include "AppFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QVBoxLayout>

namespace {

// Shades the inside of a frame from top to bottom.
class ShadedFrames final : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_FrameGroupBox) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        QLinearGradient shade(option->rect.topLeft(), option->rect.bottomLeft());
        shade.setColorAt(0, Qt::white);
        shade.setColorAt(1, Qt::darkGray);
        painter->fillRect(option->rect, shade);
    }
};

TEST(FrameInterior, ALabelIsFilledOnlyWhenTheInsideIsOneColour) {
    EnsureApplication();
    QGroupBox frame(QStringLiteral("Machine Speed"));
    frame.setAutoFillBackground(true);
    auto* label = new QLabel(QStringLiteral("123"));
    (new QVBoxLayout(&frame))->addWidget(label);
    frame.resize(200, 120);

    const QImage clear = frame.grab().toImage();
    FrameInterior::fill(frame, {label});
    EXPECT_TRUE(label->autoFillBackground());
    EXPECT_EQ(frame.grab().toImage(), clear);
    frame.setEnabled(false);
    const QImage clearDisabled = [&] {
        label->setAutoFillBackground(false);
        return frame.grab().toImage();
    }();
    FrameInterior::fill(frame, {label});
    EXPECT_EQ(frame.grab().toImage(), clearDisabled);

    // Each colour group from its own colours (the frame's own window is not active).
    QPalette palette = frame.palette();
    palette.setColor(QPalette::Active, QPalette::Window, Qt::darkGreen);
    palette.setColor(QPalette::Inactive, QPalette::Window, Qt::darkRed);
    frame.setPalette(palette);
    const QColor active = FrameInterior::color(frame, QPalette::Active);
    const QColor inactive = FrameInterior::color(frame, QPalette::Inactive);
    EXPECT_GT(active.green(), active.red());
    EXPECT_GT(inactive.red(), inactive.green());

    ShadedFrames shaded;
    frame.setStyle(&shaded);
    EXPECT_FALSE(FrameInterior::color(frame).isValid());
    FrameInterior::fill(frame, {label});
    EXPECT_FALSE(label->autoFillBackground());
    frame.setStyle(nullptr);
}

} // namespace
