#include "targets/ui/dialog_add_ipr.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "common/ui/enter_presses_button.h"
#include "targets/ui/octet_box.h"

namespace sondrel {

namespace {

const QString StartLabel = QStringLiteral("形式 IP:");
const QString EndLabel = QStringLiteral("到:");

}  // namespace

DialogAddIPR::DialogAddIPR(QWidget* parent)
    : EntryDialog(QStringLiteral("FormAddIPR"), QStringLiteral("Command4"),
                  RangeEntryForm::testButtonCaption(), parent) {
    addAddressRow(1, StartLabel, true);
    auto* copy = new QToolButton(this);
    copy->setObjectName(QStringLiteral("Command3"));
    copy->setToolTip(CopyRangeToolTip);
    copy->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    EnterPressesButton(copy);
    grid()->addWidget(copy, 2, 1, Qt::AlignLeft);
    connect(copy, &QToolButton::clicked, this, [this] {
        form_->copyStartToEnd();
        showFields();
    });
    addAddressRow(3, EndLabel, false);
    finishLayout(4);
}

void DialogAddIPR::addAddressRow(int row, const QString& label, bool start) {
    grid()->addWidget(new QLabel(label, this), row, 0);
    auto* boxes = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        OctetBox* box = addOctetBox(
            QStringLiteral("Combo%1_%2").arg(start ? 1 : 2).arg(i), [this, i, start](QChar key) {
                return start ? form_->startOctetKeyPress(i, key) : form_->endOctetKeyPress(i, key);
            });
        connect(box, &OctetBox::edited, this, [this, i, start](const QString& text) {
            if (start)
                form_->setStartOctet(i, text);
            else
                form_->setEndOctet(i, text);
        });
        if (i > 0)
            boxes->addWidget(new QLabel(QStringLiteral("."), this));
        boxes->addWidget(box);
        (start ? start_ : end_)[i] = box;
    }
    boxes->addStretch();
    grid()->addLayout(boxes, row, 1);
}

void DialogAddIPR::run(RangeEntryForm& form) {
    form_ = &form;
    EntryDialog::run(form);
}

void DialogAddIPR::showFields() {
    for (int i = 0; i < 4; ++i) {
        start_[i]->showText(form_->startOctet(i));
        end_[i]->showText(form_->endOctet(i));
    }
}

QWidget* DialogAddIPR::widgetFor(FormControl control) const {
    const int item = int(control);
    if (item >= int(FormControl::Start0) && item <= int(FormControl::Start3))
        return start_[item - int(FormControl::Start0)];
    if (item >= int(FormControl::End0) && item <= int(FormControl::End3))
        return end_[item - int(FormControl::End0)];
    return EntryDialog::widgetFor(control);
}

}  // namespace sondrel
