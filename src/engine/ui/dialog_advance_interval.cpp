#include "engine/ui/dialog_advance_interval.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/ui/widget_parameter_dialogs.h"

namespace sondrel {

DialogAdvanceInterval::DialogAdvanceInterval(IntervalDialogValues& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setObjectName(QStringLiteral("DialogAdvanceInterval"));
    setWindowTitle(QStringLiteral("高级测试时间间隔设置"));
    setModal(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("从："), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("到："), this), 1, 0);
    direction_ = new QLabel(this);
    direction_->setObjectName(QStringLiteral("LabelDirection"));
    grid->addWidget(direction_, 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("每个值重复时间："), this), 3, 0);
    from_ = addBox(QStringLiteral("TextIFrom"), values.from, 0);
    to_ = addBox(QStringLiteral("TextITo"), values.to, 1);
    step_ = addBox(QStringLiteral("TextIIncre"), values.step, 2);
    repeat_ = addBox(QStringLiteral("TextIRe"), values.repeat, 3);
    for (int row = 0; row < 3; ++row)
        grid->addWidget(new QLabel(QStringLiteral("毫秒"), this), row, 2);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("Command2"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("Command1"));
    grid->addWidget(ok, 4, 1);
    grid->addWidget(cancel, 4, 2);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The direction follows both ends, so it never contradicts the values shown.
    connect(from_, &QLineEdit::textChanged, this, &DialogAdvanceInterval::updateDirection);
    connect(to_, &QLineEdit::textChanged, this, &DialogAdvanceInterval::updateDirection);
    updateDirection();
}

QLineEdit* DialogAdvanceInterval::addBox(const QString& name, const QString& text, int row) {
    auto* box = new QLineEdit(text, this);
    box->setObjectName(name);
    AcceptDigitKeysOnly(box, false);
    static_cast<QGridLayout*>(layout())->addWidget(box, row, 1);
    return box;
}

void DialogAdvanceInterval::updateDirection() {
    direction_->setText(IntervalDirectionLabel(from_->text(), to_->text()));
}

void DialogAdvanceInterval::done(int result) {
    values_.from = from_->text();
    values_.to = to_->text();
    values_.step = step_->text();
    values_.repeat = repeat_->text();
    QDialog::done(result);
}

}  // namespace sondrel
