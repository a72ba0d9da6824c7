#pragma once

class QWidget;

namespace gui {

// Enter and Return press the focused push button of the window, as Space does. (Qt gives
// this only to buttons in dialogs; these windows are plain windows.)
void letEnterPressFocusedButtons(QWidget& window);

} // namespace gui
