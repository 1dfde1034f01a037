// The scan worker and the whole scan inside a lab segment: answering and silent hosts, names
// from the client's hosts file, a NetBIOS node-status responder, the address-resolution table
// and the own interface's address; over the datagram and the raw ICMP socket.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

#include "lab/lab_fixture.h"
#include "lab/scan_lab.h"
#include "scan/scan_report_socket.h"
#include "support/spin.h"

namespace sondrel::lab {
namespace {

const QString Worker = QStringLiteral(SONDREL_BINARY_DIR "/src/kestrune");
const QString Sondrel = QStringLiteral(SONDREL_BINARY_DIR "/src/sondrel");

enum class Path { Datagram, Raw };

class ScanLabTest : public LabFixture<::testing::TestWithParam<Path>, ScanLab> {
  protected:
    void SetUp() override {
        LabFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(QFileInfo(Worker).isExecutable()) << "build the kestrune target";
        // Open: root's group may use ICMP datagram sockets; shut: only the raw socket is left.
        const QString range = GetParam() == Path::Datagram ? "0 2147483647" : "1 0";
        ASSERT_TRUE(lab().setSysctl(ScanLab::Node::Client, "net.ipv4.ping_group_range", range));
        ASSERT_TRUE(runtime_.isValid() && data_.isValid() && config_.isValid());
        // The program's own list, so that it never starts from the machine's default list.
        QDir().mkpath(data_.path() + "/SondrelDataBas");
        QFile list(data_.path() + "/SondrelDataBas/Quibbet_DB1.txt");
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("Aloop,127.0.0.1\r\n \r\n");
        list.close();
        QFile::setPermissions(runtime_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
    }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", data_.path());
        env.insert("XDG_CONFIG_HOME", config_.path());
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        return env;
    }
    // One worker for `address` at row `row`; its report as the window receives it.
    QString workerReport(const QString& address, int row) {
        ScanReportSocket socket;
        QString error;
        const QString folder = runtime_.path() + "/sondrel";
        QDir().mkpath(folder);
        EXPECT_TRUE(socket.open(folder, "777", &error)) << error.toStdString();
        QString report;
        QObject::connect(&socket, &ScanReportSocket::reportReceived,
                         [&report](const QString& text) { report = text; });
        QProcessEnvironment env = environment();
        env.insert(ScanReportDirectoryVariable, folder);
        const ScanLab::Result r =
            lab().run(ScanLab::Node::Client, Worker,
                      {QStringLiteral("777,%1,%2,,,,,350").arg(address).arg(row)}, env, 10000);
        EXPECT_TRUE(r.finished && r.exitCode == 0) << r.err.toStdString();
        testing::spinUntil([&report] { return !report.isEmpty(); }, 2000);
        return report;
    }
    QTemporaryDir runtime_, data_, config_;
};

TEST_P(ScanLabTest, WorkerReportsAnswerNameAndNodeStatusAddress) {
    const QStringList alpha = workerReport(ScanLab::AlphaAddress, 12).split(',');
    ASSERT_EQ(alpha.size(), 5) << alpha.join(',').toStdString();
    EXPECT_EQ(alpha[0], "12");
    EXPECT_GE(alpha[1].toInt(), 0);
    EXPECT_EQ(alpha[2], "64");
    EXPECT_EQ(alpha[3], "alpha");
    EXPECT_EQ(alpha[4], ScanLab::AlphaNetBiosMac);
}

TEST_P(ScanLabTest, WorkerLeavesNameAndAddressEmptyWhereThereAreNone) {
    // No name: no node-status query, two empty fields.
    EXPECT_EQ(workerReport(ScanLab::PlainAddress, 3).section(',', 2), "64,,");
    // A name without NetBIOS service: the name and an empty last field.
    EXPECT_EQ(workerReport(ScanLab::GammaAddress, 4).section(',', 2), "64,gamma,");
    // Echo ignored, and nobody's address: two echoes without answer.
    EXPECT_EQ(workerReport(ScanLab::DeafAddress, 7), QStringLiteral("7,无效"));
    EXPECT_EQ(workerReport("10.204.1.77", 8), QStringLiteral("8,无效"));
}

// The program's console scan of .1 to .14: the rows, then the totals and the finish line.
TEST_P(ScanLabTest, WholeScanCompletesHardwareAddressesFromTheTableAndTheOwnInterface) {
    lab().flushNeighbours();
    const ScanLab::Result r = lab().run(ScanLab::Node::Client, Sondrel,
                                        {"--scan", "10.204.1.1-10.204.1.14"}, environment(), 30000);
    ASSERT_TRUE(r.finished) << r.err.toStdString();
    const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 16) << r.out.toStdString() << r.err.toStdString();
    auto row = [&lines](int i) { return lines[i].split('\t'); };  // number ip ping host mac ttl
    EXPECT_EQ(row(1)[1], ScanLab::ClientAddress);
    EXPECT_TRUE(row(1)[2].endsWith(" ms"));
    EXPECT_EQ(row(1)[4], lab().interfaceMac(ScanLab::Node::Client));  // from /sys
    EXPECT_EQ(row(9)[3], "alpha");
    EXPECT_EQ(row(9)[4], ScanLab::AlphaNetBiosMac);  // node status, not the table
    EXPECT_EQ(row(10)[3], "");
    EXPECT_EQ(row(10)[4], lab().interfaceMac(ScanLab::Node::Plain));
    EXPECT_EQ(row(11)[3], "gamma");
    EXPECT_EQ(row(11)[4], lab().interfaceMac(ScanLab::Node::Gamma));
    EXPECT_EQ(row(12)[2], QStringLiteral("无效"));  // silent, yet in the table
    EXPECT_EQ(row(12)[4], lab().interfaceMac(ScanLab::Node::Deaf));
    for (int i : {0, 2, 3, 13}) {
        EXPECT_EQ(row(i)[2], QStringLiteral("无效")) << i;
        EXPECT_EQ(row(i)[4], "") << i;  // an incomplete entry gives no address
    }
    EXPECT_EQ(lines[14], QStringLiteral("总数：14  活动:4 / 非活动:10"));
    EXPECT_TRUE(lines[15].startsWith(QStringLiteral("扫描完成："))) << lines[15].toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Socket, ScanLabTest, ::testing::Values(Path::Datagram, Path::Raw),
                         [](const ::testing::TestParamInfo<Path>& param) {
                             return param.param == Path::Datagram ? "Datagram" : "Raw";
                         });

}  // namespace
}  // namespace sondrel::lab
