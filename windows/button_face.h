#pragma once

class QColor;
class QWidget;

namespace gui {

// Gives the window, and each option button, check box, frame and label on it, the
// button-face colour of the current palette. The colour is taken by role, not by value,
// so it follows a change of the user's colour scheme. Other controls keep their colours.
void applyButtonFace(QWidget& window);

// Paints the widget's background with a fixed colour, as designed windows do (white).
void fillBackground(QWidget& widget, const QColor& colour);

} // namespace gui
