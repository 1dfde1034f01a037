#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "common/user_prompts.h"
#include "db/db_setup.h"

class QAction;
class QCheckBox;
class QWidget;

namespace sondrel {

class DialogDBSetup;
class PingTest;

// Database logging in the main window: the logging box `CheckDB`, whose ticking opens the
// set-up dialog, the menu item `mnuSetupDB`, and the choice of where a run's replies go (the
// database while the box is ticked, else the result logs).
class DatabaseCommands : public QObject {
    Q_OBJECT
  public:
    struct Services {
        QCheckBox& checkDB;
        QAction& setupAction;
        PingTest& test;
        UserPrompts& prompts;
        QString dataFolder;           // ends in "/"
        DbSetup& setup;               // the program's set-up
        const bool& loadingSettings;  // raised while the stored box state is applied
        QWidget* window;
    };
    explicit DatabaseCommands(Services services, QObject* parent = nullptr);

    void CheckDB_Click(bool checked);
    void mnuSetupDB_Click();

  private:
    DialogDBSetup* dialog();

    Services services_;
    QPointer<DialogDBSetup> dialog_;
};

}  // namespace sondrel
