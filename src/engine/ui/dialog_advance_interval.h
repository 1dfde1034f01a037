#pragma once

#include <QDialog>

#include "engine/test_parameters.h"

class QLabel;
class QLineEdit;

namespace sondrel {

// "高级测试时间间隔设置": the first value `TextIFrom`, the end `TextITo`, the step `TextIIncre`
// and the rounds per value `TextIRe` of a stepped interval, with OK `Command2` and "取消"
// `Command1`. The texts go back into `values` however the dialog closes, so the next opening
// shows what the operator typed.
class DialogAdvanceInterval : public QDialog {
    Q_OBJECT
  public:
    DialogAdvanceInterval(IntervalDialogValues& values, QWidget* parent = nullptr);

    void done(int result) override;

  private:
    QLineEdit* addBox(const QString& name, const QString& text, int row);
    void updateDirection();

    IntervalDialogValues& values_;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* step_ = nullptr;
    QLineEdit* repeat_ = nullptr;
    QLabel* direction_ = nullptr;
};

}  // namespace sondrel
