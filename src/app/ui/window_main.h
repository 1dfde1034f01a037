#pragma once

#include <QString>

namespace sondrel {

// Shows the main window with the program's argument text and runs the event loop.
int RunWindow(const QString& commandLineText);

}  // namespace sondrel
