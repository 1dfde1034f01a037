#include <gtest/gtest.h>

#include <thread>

#include "db/db_reply_sink.h"
#include "db/quiet_messages.h"
#include "message_capture.h"

namespace sondrel::testing {
namespace {

// Installed before any test makes a writer, so that the writer's quiet handler comes after it.
class CaptureEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { MessageCapture::install(); }
};
[[maybe_unused]] ::testing::Environment* const captureEnvironment =
    ::testing::AddGlobalTestEnvironment(new CaptureEnvironment);

TEST(QuietMessages, HoldsBackOnlyTheQuietThreadsWarnings) {
    MessageCapture::clear();
    qint64 held = -1;
    QString last;
    std::thread quietThread([&] {
        QuietMessages quiet;
        qWarning("row 1 refused");
        qDebug("row 2 refused");
        {
            QuietMessages nested;  // the inner end does not wake the thread up
        }
        qWarning("row 3 refused");
        qCritical("critical passes");
        held = quiet.heldBack();
        last = quiet.last();
    });
    quietThread.join();
    std::thread otherThread([] { qWarning("another thread speaks"); });
    otherThread.join();
    EXPECT_EQ(held, 3);
    EXPECT_EQ(last, "row 3 refused");
    EXPECT_TRUE(MessageCapture::seenContaining("refused").isEmpty());
    EXPECT_EQ(MessageCapture::seenContaining("critical passes").size(), 1);
    EXPECT_EQ(MessageCapture::seenContaining("another thread speaks").size(), 1);

    // A thread that is quiet again starts counting anew.
    std::thread again([&] {
        QuietMessages quiet;
        qWarning("once more");
        held = quiet.heldBack();
    });
    again.join();
    EXPECT_EQ(held, 1);
    qWarning("the main thread was never quiet");
    EXPECT_EQ(MessageCapture::seenContaining("never quiet").size(), 1);
}

TEST(QuietMessages, FailureSummaryIsOneLine) {
    EXPECT_EQ(FailureSummary(5, 0, "ERROR: no column\nError while preparing "),
              "Database logging: 5 rows not written; the last refusal: ERROR: no column Error "
              "while preparing");
    const QString full = FailureSummary(7, 2, "");
    EXPECT_TRUE(full.startsWith("Database logging: 7 rows not written, 2 of them while 1000000"))
        << full.toStdString();
    EXPECT_FALSE(full.contains('\n'));
}

}  // namespace
}  // namespace sondrel::testing
