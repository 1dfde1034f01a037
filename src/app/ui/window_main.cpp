#include "app/ui/window_main.h"

#include <QApplication>
#include <QTimer>

#include "app/data_folder.h"
#include "app/settings.h"
#include "app/ui/form_tester.h"
#include "app/ui/widget_prompts.h"
#include "common/clock.h"
#include "common/system_resolver.h"
#include "engine/icmp_echo.h"

namespace sondrel {

int RunWindow(const QString& commandLineText) {
    SystemClock clock;
    IcmpEcho echo;
    SystemResolver resolver;
    WidgetPrompts prompts;
    const QString dataFolder = LocateDataFolder(prompts);
    FormTester window(
        {echo, resolver, clock, prompts, dataFolder, nullptr, nullptr, Settings::DefaultPath()},
        commandLineText);
    prompts.setParentWindow(&window);
    QObject::connect(&window, &FormTester::programEndRequested, qApp,
                     [] { QCoreApplication::exit(0); });
    window.show();
    // Settings, start page and command line follow once the window is up.
    QTimer::singleShot(0, &window, &FormTester::LoadAfterShow);
    return QApplication::exec();
}

}  // namespace sondrel
