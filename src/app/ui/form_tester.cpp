#include "app/ui/form_tester.h"

namespace sondrel {

FormTester::FormTester(const QString& commandLineText, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FormTester"));
    Q_UNUSED(commandLineText);
}

}  // namespace sondrel
