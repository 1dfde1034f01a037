#include <gtest/gtest.h>

#include <QCoreApplication>

// Every suite gets a QCoreApplication so that sockets, timers and event loops work.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
