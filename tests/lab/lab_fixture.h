#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
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
template <typename Base = ::testing::Test>
class LabFixture : public Base {
  public:
    static void SetUpTestSuite() {
        if (LabNetwork::available())
            lab_ = std::make_unique<LabNetwork>();
    }
    static void TearDownTestSuite() { lab_.reset(); }

  protected:
    void SetUp() override {
        if (!LabNetwork::available())
            GTEST_SKIP() << LabNetwork::SkipReason;
        ASSERT_TRUE(lab_) << "the lab was not built";
        ASSERT_TRUE(lab_->ok()) << lab_->error().toStdString();
    }
    static LabNetwork& lab() { return *lab_; }

  private:
    static inline std::unique_ptr<LabNetwork> lab_;
};

}  // namespace sondrel::lab
