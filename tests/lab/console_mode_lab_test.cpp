#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "lab/lab_fixture.h"
#include "support/qt_printers.h"

namespace sondrel::lab {
namespace {

// The program itself in console mode, run inside the lab's client namespace.
class ConsoleModeLab : public LabFixture<> {
  protected:
    // Every run has a list file of its own: one entry, on loopback.
    LabNetwork::Result console(const QString& arguments, int timeoutMs = 30000) {
        QDir().mkpath(data.path() + "/SondrelDataBas");
        QFile list(data.path() + "/SondrelDataBas/Quibbet_DB1.txt");
        if (!list.exists() && list.open(QIODevice::WriteOnly))
            list.write("ALoop,127.0.0.1\r\n \r\n");
        list.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", data.path());
        env.insert("XDG_CONFIG_HOME", data.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", data.path() + "/runtime");
        return lab().run(LabNetwork::Node::Client,
                         QStringLiteral(SONDREL_BINARY_DIR "/src/sondrel"),
                         {"--console", arguments}, timeoutMs, env);
    }
    static QStringList lines(const QByteArray& out) {
        return QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
    }
    QByteArray log(const QString& name) {
        QFile f(data.path() + "/SondrelDataBas/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // The probe fields of each run log line (address, size, time, TTL, status), stamp left out.
    QStringList logProbes() {
        QStringList out;
        const QList<QByteArray> all = log("Quibbet_DB3.txt").split('\n');
        for (qsizetype i = 1; i < all.size(); ++i)
            if (!all[i].isEmpty())
                out << QString::fromLatin1(all[i]).section(',', 6);
        return out;
    }

    QTemporaryDir data;
};

const QString Stamp = QStringLiteral(R"(\d\d/\d\d \d\d:\d\d:\d\d)");

TEST_F(ConsoleModeLab, HostNameBehindTheRouterRepliesWithTtlLessOne) {
    const auto r = console(QStringLiteral("hostb;100 毫秒;64  字节;1000 毫秒;2;2"));
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList out = lines(r.out);
    ASSERT_EQ(out.size(), 1 + 4 + 8);
    EXPECT_EQ(out[0], QStringLiteral("侦测测试64 字节数据:            1  IP "));
    const QRegularExpression reply(
        "^[1-4]\\. " + Stamp +
        QStringLiteral("   回覆 10\\.201\\.3\\.10  bytes=64  时间(<1|=\\d+)ms  TTL=127  ok$"));
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(reply.match(out[i]).hasMatch()) << out[i].toStdString();
    EXPECT_EQ(out.mid(5),
              QStringList({QStringLiteral("发送\t4"), QStringLiteral("收到\t4"),
                           QStringLiteral("丢失\t0"), QStringLiteral("丢失率\t0.00 %")}) +
                  out.mid(9, 3) + QStringList{QStringLiteral("平均 TTL\t127")});
    EXPECT_TRUE(log("Quibbet_DB3.txt").startsWith("1,1,2\r\n"));
    EXPECT_EQ(logProbes().size(), 4);
    for (const QString& probe : logProbes())
        EXPECT_TRUE(
            QRegularExpression(R"(^10\.201\.3\.10,64,\d+,127,0\r$)").match(probe).hasMatch())
            << probe.toStdString();
    EXPECT_EQ(log("Quibbet_DB4.txt"), "hostb / 10.201.3.10,\r\n");
}

TEST_F(ConsoleModeLab, SilentAddressTimesOutAndExitsOne) {
    const QString silent = lab().freshSilentAddress();
    const auto r = console(silent + QStringLiteral(";100;32;300;2;1"));
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    const QStringList out = lines(r.out);
    ASSERT_EQ(out.size(), 1 + 2 + 8);
    EXPECT_TRUE(out[2].endsWith(QStringLiteral("   回覆 ") + silent +
                                QStringLiteral("  bytes=32  请求超时。")))
        << out[2].toStdString();
    EXPECT_EQ(out.mid(3, 4),
              QStringList({QStringLiteral("发送\t2"), QStringLiteral("收到\t0"),
                           QStringLiteral("丢失\t2"), QStringLiteral("丢失率\t100.00 %")}));
    EXPECT_EQ(out.mid(7),
              QStringList({QStringLiteral("最小时间\t0 ms"), QStringLiteral("最大时间\t0 ms"),
                           QStringLiteral("平均时间\t0 ms"), QStringLiteral("平均 TTL\t0")}));
    EXPECT_EQ(logProbes(), QStringList({silent + ",32,-1,0,11010\r", silent + ",32,-1,0,11010\r"}));
}

TEST_F(ConsoleModeLab, UnreachableNetworkIsReportedPerProbe) {
    const auto r = console(QString(LabNetwork::UnroutedAddress) + ";100;32;1000;1;1");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(lines(r.out).value(1).endsWith(QStringLiteral("bytes=32  目标 ip 网无法访问")))
        << r.out.toStdString();
    EXPECT_EQ(logProbes(), QStringList{QString(LabNetwork::UnroutedAddress) + ",32,-1,0,11002\r"});
}

TEST_F(ConsoleModeLab, UnknownHostNameIsRefusedWithoutALookupLeavingTheLab) {
    const auto r = console(QStringLiteral("no-such-host.invalid;100;32;500;1;1"));
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.err).trimmed(),
              QStringLiteral("找不到下面 IP 地址1 主机:\n\n       no-such-host.invalid"));
    EXPECT_FALSE(QFile::exists(data.path() + "/SondrelDataBas/Quibbet_DB3.txt"));
}

}  // namespace
}  // namespace sondrel::lab
