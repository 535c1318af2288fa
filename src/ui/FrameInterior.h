#pragma once

#include <QColor>
#include <QList>
#include <QPalette>

class QGroupBox;
class QWidget;

// What a group box's style paints inside its frame. A label filled with it
// looks as a clear label does, and a new text then repaints the label alone:
// a clear label's repaint draws the frame beneath it as well, which in the
// Fusion style (a scaled border picture) costs several times the text.
namespace FrameInterior {

// The one colour inside a frame like this one in the given colour group, or
// an invalid colour when its style paints the inside with more than one or
// lets what lies beneath show through.
QColor color(const QGroupBox& like, QPalette::ColorGroup group = QPalette::Active);

// Fills each widget with the colour inside the frame, or leaves it clear
// when there is no one colour. Called again when the palette or the style
// changes.
void fill(const QGroupBox& frame, const QList<QWidget*>& widgets);

} // namespace FrameInterior
