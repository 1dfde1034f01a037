#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <functional>
#include <memory>

#include "lab/lab_network.h"
#include "support/spin.h"

namespace sondrel::lab {

using testing::spinUntil;

// Base of the lab tests: one lab for each test suite. A test is skipped where no lab can be
// built (not root, no namespaces) and fails where building one should have worked.
//   class MyLabTest : public LabFixture<> {};            // or LabFixture<TestWithParam<T>>
//   TEST_F(MyLabTest, X) { InsideLab inside(lab()); ... }
// Another lab (TracertLab, ScanLab) is the second argument. A SetUp of its own calls this
// one first and returns when IsSkipped() or HasFatalFailure().
template <typename Base = ::testing::Test, typename Lab = LabNetwork>
class LabFixture : public Base {
  public:
    static void SetUpTestSuite() {
        if (LabNetwork::available())
            lab_ = std::make_unique<Lab>();
    }
    static void TearDownTestSuite() { lab_.reset(); }

  protected:
    void SetUp() override {
        if (!LabNetwork::available())
            GTEST_SKIP() << LabNetwork::SkipReason;
        ASSERT_TRUE(lab_) << "the lab was not built";
        ASSERT_TRUE(lab_->ok()) << lab_->error().toStdString();
    }
    static Lab& lab() { return *lab_; }

  private:
    static inline std::unique_ptr<Lab> lab_;
};

// True when user nobody may run this program (every folder on the way searchable).
inline bool runnableByOthers(const QString& path) {
    QFileInfo info(path);
    if (!(info.permissions() & QFile::ExeOther))
        return false;
    for (QString dir = info.absolutePath(); dir != QLatin1String("/");
         dir = QFileInfo(dir).absolutePath()) {
        if (!(QFileInfo(dir).permissions() & QFile::ExeOther))
            return false;
    }
    return true;
}

}  // namespace sondrel::lab
