#include "app/ui/window_main.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

#include "app/data_folder.h"
#include "app/settings.h"
#include "app/ui/form_tester.h"
#include "app/ui/widget_prompts.h"
#include "common/clock.h"
#include "common/system_resolver.h"
#include "engine/icmp_echo.h"

namespace sondrel {

bool InstallQtChineseTexts() {
    // Kept for the life of the program: the application refers to it.
    static QTranslator* const qtTexts = new QTranslator(qApp);
    if (!qtTexts->isEmpty())
        return true;
    if (!qtTexts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(qtTexts);
}

int RunWindow(const QString& commandLineText) {
    if (!InstallQtChineseTexts())
        std::fputs(
            "sondrel: Qt's Chinese texts (qtbase_zh_CN.qm, Debian package "
            "qt6-translations-l10n) are not installed; dialog buttons stay in English\n",
            stderr);
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
