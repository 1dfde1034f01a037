#pragma once

#include <QString>

namespace sondrel {

// Installs Qt's own Chinese texts (the buttons of message boxes and file dialogs, the
// context menus of text boxes) so that they read as the rest of the window. False when the
// translation is not installed (Debian package qt6-translations-l10n).
bool InstallQtChineseTexts();

// Shows the main window with the program's argument text and runs the event loop.
int RunWindow(const QString& commandLineText);

}  // namespace sondrel
