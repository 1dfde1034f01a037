#pragma once

#include <QStringList>

namespace sondrel {

// The preset commands of `ListCmd`, in their order: the Linux commands that do what the
// console's eighteen presets stand for.
QStringList PresetCommands();

// The history a new data folder starts with, without the terminating " ".
QStringList DefaultHistory();

// The command box's text when the program starts.
QString InitialConsoleCommand();

}  // namespace sondrel
