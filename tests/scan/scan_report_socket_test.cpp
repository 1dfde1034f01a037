#include "scan/scan_report_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "scan/scanner_program.h"
#include "scan/worker/scan_report.h"

namespace sondrel {
namespace {

bool SendDatagram(const QString& path, const std::vector<std::uint8_t>& bytes) {
    sockaddr_un to{};
    to.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    std::memcpy(to.sun_path, encoded.constData(), size_t(encoded.size()) + 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    const bool sent = ::sendto(fd, bytes.data(), bytes.size(), 0,
                               reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0;
    ::close(fd);
    return sent;
}

std::vector<std::uint8_t> Raw(std::int32_t kind, std::int32_t count, const std::string& text) {
    std::vector<std::uint8_t> bytes(8 + text.size() + 1, 0);
    std::memcpy(bytes.data(), &kind, 4);
    std::memcpy(bytes.data() + 4, &count, 4);
    std::memcpy(bytes.data() + 8, text.data(), text.size());
    return bytes;
}

struct Receiver {
    QTemporaryDir folder;
    ScanReportSocket socket;
    QStringList texts;

    Receiver() {
        QString error;
        EXPECT_TRUE(socket.open(folder.path(), QStringLiteral("4242"), &error))
            << error.toStdString();
        QObject::connect(&socket, &ScanReportSocket::reportReceived, &socket,
                         [this](const QString& text) { texts << text; });
    }
    // Lets the event loop deliver until `count` reports or refusals are in.
    void waitFor(int count) {
        QDeadlineTimer deadline(5000);
        while (texts.size() + socket.refusedCount() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

TEST(ScanReportSocket, TakesReportsOfKindThreeThroughTheRealSocket) {
    Receiver receiver;
    EXPECT_EQ(receiver.socket.path(), receiver.folder.path() + QStringLiteral("/scan-4242.sock"));
    ASSERT_TRUE(SendDatagram(receiver.socket.path(),
                             scan::EncodeReport("3,12,64,alpha,00-1A-2B-3C-4D-5E")));
    ASSERT_TRUE(SendDatagram(receiver.socket.path(), Raw(2, 5, "1,无")));  // another kind
    ASSERT_TRUE(SendDatagram(receiver.socket.path(), scan::EncodeReport("4,无效")));
    receiver.waitFor(2);
    EXPECT_EQ(receiver.texts, QStringList({QStringLiteral("3,12,64,alpha,00-1A-2B-3C-4D-5E"),
                                           QStringLiteral("4,无效")}));
}

TEST(ScanReportSocket, AnOversizedReportIsCutToTheBufferWithoutGarbling) {
    std::string text = "5,1,64,";
    for (int i = 0; i < 300; ++i)
        text += "名";
    const std::optional<QString> decoded = DecodeScanReport(QByteArray(
        reinterpret_cast<const char*>(Raw(3, 2000, text).data()), qsizetype(8 + text.size() + 1)));
    ASSERT_TRUE(decoded);
    EXPECT_LE(decoded->toUtf8().size(), 255);
    EXPECT_TRUE(decoded->startsWith(QStringLiteral("5,1,64,名")));
    EXPECT_FALSE(decoded->contains(QChar::ReplacementCharacter));
    // A byte count beyond the datagram takes only what came; a short header is nothing.
    const std::vector<std::uint8_t> short_ = Raw(3, 200, "7,无效");
    EXPECT_EQ(DecodeScanReport(QByteArray(reinterpret_cast<const char*>(short_.data()), 8 + 9)),
              QStringLiteral("7,无效"));
    EXPECT_FALSE(DecodeScanReport(QByteArray("\x03\0\0", 3)));

    Receiver receiver;
    ASSERT_TRUE(SendDatagram(receiver.socket.path(), Raw(3, 4000, text + std::string(3000, 'x'))));
    receiver.waitFor(1);
    ASSERT_EQ(receiver.texts.size(), 1);
    EXPECT_LE(receiver.texts[0].toUtf8().size(), 255);
}

TEST(ScanReportSocket, RefusesDatagramsOfAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to send as another user";
    Receiver receiver;
    ::chmod(QFile::encodeName(receiver.folder.path()).constData(), 0777);
    ::chmod(QFile::encodeName(receiver.socket.path()).constData(), 0777);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(2);
        ::_exit(SendDatagram(receiver.socket.path(), scan::EncodeReport("0,无效")) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(SendDatagram(receiver.socket.path(), scan::EncodeReport("1,无效")));
    receiver.waitFor(2);
    EXPECT_EQ(receiver.socket.refusedCount(), 1);
    EXPECT_EQ(receiver.texts, QStringList({QStringLiteral("1,无效")}));
}

TEST(ScannerProgram, IsWrittenExecutableAndReplacedWhenItsBytesDiffer) {
    QTemporaryDir folder;
    QString error;
    const QByteArray image = ScannerProgramImage();
    ASSERT_GT(image.size(), 1000);
    EXPECT_TRUE(
        image.startsWith("\x7f"
                         "ELF"));
    const std::optional<QString> path = ExtractScannerProgram(folder.path(), folder.path(), &error);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, folder.filePath(QStringLiteral("Kestrune2008112.exe")));
    QFile file(*path);
    EXPECT_TRUE(file.permissions() & QFileDevice::ExeOwner);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), image);
    file.close();

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("an old worker");
    file.close();
    ASSERT_TRUE(WriteScannerProgram(folder.path(), image, &error));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), image);
}

TEST(ScannerProgram, FallsBackToTheSecondFolder) {
    QTemporaryDir folder;
    QString error;
    const std::optional<QString> path =
        ExtractScannerProgram(QStringLiteral("/nonexistent/sondrel"), folder.path(), &error);
    ASSERT_TRUE(path);
    EXPECT_TRUE(path->startsWith(folder.path()));
    EXPECT_FALSE(ExtractScannerProgram(QStringLiteral("/nonexistent/a"),
                                       QStringLiteral("/nonexistent/b"), &error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace sondrel
