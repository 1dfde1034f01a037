#include "app/ui/window_main.h"

#include <QApplication>
#include <QMessageBox>

#include "app/ui/form_tester.h"

namespace sondrel {

int RunWindow(const QString& commandLineText) {
    FormTester window(commandLineText);
    window.show();
    return QApplication::exec();
}

}  // namespace sondrel
