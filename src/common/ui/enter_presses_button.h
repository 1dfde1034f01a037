#pragma once

class QAbstractButton;

namespace sondrel {

// Enter and keypad Enter on the focused button press it, as Space does. A push button that is
// the default or an auto-default button already takes Enter itself and is left to do so; any
// other button swallows the key, so that it never reaches the dialog's default button as well.
void EnterPressesButton(QAbstractButton* button);

}  // namespace sondrel
