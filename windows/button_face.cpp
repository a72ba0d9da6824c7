#include "windows/button_face.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QWidget>

namespace gui {

namespace {
void useButtonRole(QWidget& widget) {
    widget.setBackgroundRole(QPalette::Button);
    widget.setAutoFillBackground(true);
}
} // namespace

void applyButtonFace(QWidget& window) {
    useButtonRole(window);
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (qobject_cast<QRadioButton*>(child) || qobject_cast<QCheckBox*>(child) ||
            qobject_cast<QGroupBox*>(child) || qobject_cast<QLabel*>(child))
            useButtonRole(*child);
    }
}

void fillBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setBackgroundRole(QPalette::Window);
    widget.setAutoFillBackground(true);
}

} // namespace gui
