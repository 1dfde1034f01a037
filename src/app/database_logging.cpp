#include "app/database_logging.h"

#include "app/settings_binding.h"
#include "db/db_reply_sink.h"
#include "db/db_setup.h"
#include "engine/ping_test.h"

namespace sondrel {

bool UseStoredDatabaseLogging(PingTest& test, const QString& dataFolder, UserPrompts& prompts,
                              const QString& settingsPath) {
    Settings settings(settingsPath);
    settings.ReadSettings();
    const std::optional<bool> stored = StoredCheck(settings, Setting::IfDB);
    if (!stored || !*stored)
        return false;
    const DbSetup setup = ReadDbSetup(dataFolder + DbSetupFileName);
    if (!setup.configured())
        return false;
    test.setReplySinkFactory([setup, dataFolder, &prompts] {
        return std::make_unique<DbReplySink>(setup, dataFolder, prompts);
    });
    return true;
}

}  // namespace sondrel
