#pragma once

#include <QString>

#include "app/settings.h"
#include "common/user_prompts.h"

namespace sondrel {

class PingTest;

// Database logging without the window: the replies of `test` go to the database when the
// stored logging box (`Default_IfDB` in the settings at `settingsPath`) is ticked and a set-up
// file exists, as in the window after start-up; else to the result logs. Returns true when
// they go to the database.
bool UseStoredDatabaseLogging(PingTest& test, const QString& dataFolder, UserPrompts& prompts,
                              const QString& settingsPath = Settings::DefaultPath());

}  // namespace sondrel
