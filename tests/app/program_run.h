#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "engine/icmp_echo.h"

namespace sondrel::testing {

// Runs the real program with data, settings and runtime folders of its own. A test that uses
// the target list writes it itself (loopback entries only); nothing else is ever probed.
class ProgramRun : public ::testing::Test {
  protected:
    struct Result {
        int exitCode = -1;
        QStringList out;  // the lines of stdout
        QString err;
    };

    static QString program() { return QStringLiteral(SONDREL_BINARY_DIR "/src/sondrel"); }
    QString dataFolder() const { return data.path() + "/SondrelDataBas/"; }
    // The system's environment with the folders of this run.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", data.path());
        env.insert("XDG_CONFIG_HOME", data.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        return env;
    }

    // `keepEmptyLines`: the blank lines of stdout stay (the trace prints some).
    Result run(const QStringList& arguments, bool keepEmptyLines = false) {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program(), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        Result r;
        r.exitCode = process.exitCode();
        r.out = QString::fromUtf8(process.readAllStandardOutput())
                    .split('\n', keepEmptyLines ? Qt::KeepEmptyParts : Qt::SkipEmptyParts);
        if (keepEmptyLines && !r.out.isEmpty() && r.out.last().isEmpty())
            r.out.removeLast();
        r.err = QString::fromUtf8(process.readAllStandardError());
        return r;
    }
    // The target list of the data folder: the entry lines and the terminator.
    void writeList(const QStringList& lines) {
        ASSERT_TRUE(QDir().mkpath(dataFolder()));
        QFile f(dataFolder() + "Quibbet_DB1.txt");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((lines.join("\r\n") + "\r\n \r\n").toUtf8());
    }
    // Skips the test where this machine cannot send ICMP.
    void requireEcho() {
        IcmpEcho echo;
        const QString refused = echo.open();
        echo.close();
        if (!refused.isEmpty())
            GTEST_SKIP() << "cannot send ICMP here: " << refused.toStdString();
    }

    QTemporaryDir data;
    QTemporaryDir runtime;
};

}  // namespace sondrel::testing
