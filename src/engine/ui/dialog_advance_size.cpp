#include "engine/ui/dialog_advance_size.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "engine/ui/widget_parameter_dialogs.h"

namespace sondrel {

namespace {

const QColor Grey(0x80, 0x80, 0x80);

// Grey for the option not chosen; the inherited colours for the chosen one.
void ShowGrey(QWidget* widget, bool grey) {
    if (!grey) {
        widget->setPalette(QPalette());
        return;
    }
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, Grey);
    palette.setColor(QPalette::Text, Grey);
    widget->setPalette(palette);
}

}  // namespace

DialogAdvanceSize::DialogAdvanceSize(SizeDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("DialogAdvanceSize"));
    setWindowTitle(QStringLiteral("高级发送缓冲大小设置"));
    setModal(true);
    grid_ = new QGridLayout(this);
    incremental_ = new QRadioButton(QStringLiteral("增量大小"), this);
    incremental_->setObjectName(QStringLiteral("Option1"));
    grid_->addWidget(incremental_, 0, 0, 1, 3);
    from_ = addBox(QStringLiteral("TextIFrom"), QStringLiteral("从："), model.textIFrom, 1, false,
                   incrementalGroup_);
    to_ = addBox(QStringLiteral("TextITo"), QStringLiteral("到："), model.textITo, 2, false,
                 incrementalGroup_);
    step_ = addBox(QStringLiteral("TextIIncre"), QStringLiteral("增量："), model.textIIncre, 3,
                   false, incrementalGroup_);
    repeat_ = addBox(QStringLiteral("TextIRe"), QStringLiteral("每个值重复时间："), model.textIRe,
                     4, false, incrementalGroup_);
    multiple_ = new QRadioButton(QStringLiteral("多个尺寸"), this);
    multiple_->setObjectName(QStringLiteral("Option2"));
    grid_->addWidget(multiple_, 5, 0, 1, 3);
    values_ = addBox(QStringLiteral("TextMV"), QStringLiteral("值："), model.textMV, 6, true,
                     multipleGroup_);
    valuesRepeat_ = addBox(QStringLiteral("TextMRe"), QStringLiteral("每个值重复时间："),
                           model.textMRe, 7, false, multipleGroup_);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    grid_->addWidget(ok, 8, 1);
    grid_->addWidget(cancel, 8, 2);
    connect(ok, &QPushButton::clicked, this, &DialogAdvanceSize::okClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const bool incremental = model.option == SizeDialogModel::Option::Incremental;
    incremental_->setChecked(incremental);
    multiple_->setChecked(!incremental);
    connect(incremental_, &QRadioButton::toggled, this, &DialogAdvanceSize::showChosenOption);
    showChosenOption();
}

QLineEdit* DialogAdvanceSize::addBox(const QString& name, const QString& caption,
                                     const QString& text, int row, bool commaAllowed,
                                     QList<QWidget*>& group) {
    auto* label = new QLabel(caption, this);
    auto* box = new QLineEdit(text, this);
    box->setObjectName(name);
    AcceptDigitKeysOnly(box, commaAllowed);
    box->installEventFilter(this);
    grid_->addWidget(label, row, 0);
    grid_->addWidget(box, row, 1);
    group << label << box;
    if (name != QStringLiteral("TextIRe") && name != QStringLiteral("TextMRe")) {
        auto* unit = new QLabel(QStringLiteral("字节"), this);
        grid_->addWidget(unit, row, 2);
        group << unit;
    }
    return box;
}

void DialogAdvanceSize::showChosenOption() {
    const bool incremental = incremental_->isChecked();
    for (QWidget* widget : incrementalGroup_)
        ShowGrey(widget, !incremental);
    for (QWidget* widget : multipleGroup_)
        ShowGrey(widget, incremental);
}

bool DialogAdvanceSize::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == values_ || watched == valuesRepeat_)
            multiple_->setChecked(true);
        else if (watched == from_ || watched == to_ || watched == step_ || watched == repeat_)
            incremental_->setChecked(true);
    }
    return QDialog::eventFilter(watched, event);
}

void DialogAdvanceSize::storeTexts() {
    model_.option = incremental_->isChecked() ? SizeDialogModel::Option::Incremental
                                              : SizeDialogModel::Option::Multiple;
    model_.textIFrom = from_->text();
    model_.textITo = to_->text();
    model_.textIIncre = step_->text();
    model_.textIRe = repeat_->text();
    model_.textMV = values_->text();
    model_.textMRe = valuesRepeat_->text();
}

// A refused OK has shown its message; the dialog stays open for a correction.
void DialogAdvanceSize::okClicked() {
    storeTexts();
    if (model_.accept())
        accept();
}

void DialogAdvanceSize::done(int result) {
    storeTexts();
    QDialog::done(result);
}

}  // namespace sondrel
