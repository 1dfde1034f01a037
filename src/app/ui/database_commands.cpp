#include "app/ui/database_commands.h"

#include <QAction>
#include <QCheckBox>

#include "db/db_reply_sink.h"
#include "db/ui/dialog_db_setup.h"
#include "engine/ping_test.h"
#include "engine/result_log.h"

namespace sondrel {

DatabaseCommands::DatabaseCommands(Services services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {
    services_.checkDB.setEnabled(true);
    services_.checkDB.setToolTip(QStringLiteral("实时输入每个行的 侦测测试结果数据库 (ODBC)"));
    services_.setupAction.setEnabled(true);
    connect(&services_.checkDB, &QCheckBox::toggled, this, &DatabaseCommands::CheckDB_Click);
    connect(&services_.setupAction, &QAction::triggered, this, &DatabaseCommands::mnuSetupDB_Click);
    // With the box ticked the rows go to the database and the result logs stay as they are.
    services_.test.setReplySinkFactory([this]() -> std::unique_ptr<ReplySink> {
        if (services_.checkDB.isChecked())
            return std::make_unique<DbReplySink>(services_.setup, services_.dataFolder,
                                                 services_.prompts);
        return std::make_unique<ResultLog>(services_.dataFolder);
    });
}

// Ticking the box opens the set-up; the box stays ticked only when it was left with OK.
void DatabaseCommands::CheckDB_Click(bool checked) {
    if (!checked || services_.loadingSettings)
        return;
    DialogDBSetup* setup = dialog();
    setup->exec();
    if (!setup->setupConfirmed())
        services_.checkDB.setChecked(false);
}

void DatabaseCommands::mnuSetupDB_Click() {
    dialog()->exec();
}

DialogDBSetup* DatabaseCommands::dialog() {
    if (dialog_ == nullptr)
        dialog_ = new DialogDBSetup(services_.dataFolder, services_.setup, services_.prompts,
                                    services_.window);
    return dialog_;
}

}  // namespace sondrel
