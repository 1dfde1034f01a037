#pragma once

#include <QString>

#include "common/user_prompts.h"

namespace sondrel {

// The path with the folder separator "/" appended unless it already ends in one.
QString AppendBackslash(const QString& path);

// The folder that holds every data file of the program: "SondrelDataBas" in the user's
// application-data folder ($XDG_DATA_HOME, else ~/.local/share), created with its missing
// parents when needed. When it cannot be created the reason is shown in a plain message and
// the program's own folder is used. A folder that cannot be written is reported in the same
// one message. The result always ends in "/".
QString LocateDataFolder(UserPrompts& prompts);

// Why no file can be created in `folder`; empty when one can.
QString DataFolderWriteProblem(const QString& folder);

}  // namespace sondrel
