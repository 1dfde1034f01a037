#include <gtest/gtest.h>

#ifdef SONDREL_WIDGET_TESTS
#include <QApplication>
#else
#include <QCoreApplication>
#endif

// Every suite gets an application object so that sockets, timers and event loops work; the
// widget suite gets a QApplication and runs offscreen unless told otherwise.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef SONDREL_WIDGET_TESTS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
