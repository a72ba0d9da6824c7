#include "windows/enter_key.h"

#include <QPushButton>

namespace gui {

void letEnterPressFocusedButtons(QWidget& window) {
    for (QPushButton* button : window.findChildren<QPushButton*>())
        button->setAutoDefault(true);
}

} // namespace gui
