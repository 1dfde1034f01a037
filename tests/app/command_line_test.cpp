#include <gtest/gtest.h>

#include <QProcess>

#include "app/command_line.h"
#include "support/qt_printers.h"

namespace sondrel {
namespace {

TEST(CommandLine, FieldCounts) {
    CommandLineFields f;
    EXPECT_EQ(ParseCommandLine("", &f), CommandLineKind::None);
    EXPECT_EQ(ParseCommandLine("10.0.0.1", &f), CommandLineKind::None);
    EXPECT_EQ(ParseCommandLine("a;b;c;d;e", &f), CommandLineKind::Incorrect);
    EXPECT_EQ(ParseCommandLine("a;b;c;d;e;f;g", &f), CommandLineKind::Incorrect);
    ASSERT_EQ(ParseCommandLine(QStringLiteral(" /0/3/;1000 毫秒;32  字节;500 毫秒;4;1"), &f),
              CommandLineKind::Apply);
    EXPECT_EQ(f.targets, " /0/3/");
    EXPECT_EQ(f.boxTexts, QStringList({QStringLiteral("1000 毫秒"), QStringLiteral("32  字节"),
                                       QStringLiteral("500 毫秒"), "4", "1"}));
}

TEST(CommandLine, Positions) {
    EXPECT_EQ(CommandLinePositions("/0//2/", 5), QList<int>({0, 2}));
    EXPECT_EQ(CommandLinePositions("/1/9/3", 5), QList<int>({1, 3}));  // beyond the end skipped
    EXPECT_EQ(CommandLinePositions("/1.6/", 5), QList<int>({2}));
    EXPECT_EQ(CommandLinePositions("10.0.0.1", 5), QList<int>());
    EXPECT_EQ(CommandLinePositions("/0/", 0), QList<int>());
    bool negative = false;
    EXPECT_EQ(CommandLinePositions("/1/-2/", 5, &negative), QList<int>());
    EXPECT_TRUE(negative);
}

TEST(CommandLine, BuiltTextSurvivesTheShellAsOneArgument) {
    const QStringList boxes{QStringLiteral("1000 to 0, 10--, 1"), QStringLiteral("32  字节"),
                            QStringLiteral("500 毫秒"), "Continually", "1"};
    EXPECT_EQ(CommandLineTargets(true, {0, 3, 4}, "x"), "/0/3/4/");
    EXPECT_EQ(CommandLineTargets(true, {}, "  10.0.0.1 "), "10.0.0.1");
    EXPECT_EQ(CommandLineTargets(false, {1}, " host "), "host");
    const QString built = BuildCommandLine("/opt/it's here/sondrel", "/0/3/", boxes);
    // A shell hands the program its path and exactly the argument text.
    QProcess shell;
    shell.start("sh",
                {"-c", "set -- " + built + "\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done"});
    ASSERT_TRUE(shell.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()),
              QStringLiteral("[/opt/it's here/sondrel]\n"
                             "[/0/3/;1000 to 0, 10--, 1;32  字节;500 毫秒;Continually;1]\n"))
        << built.toStdString();
}

}  // namespace
}  // namespace sondrel
