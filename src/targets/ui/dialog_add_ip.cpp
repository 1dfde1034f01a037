#include "targets/ui/dialog_add_ip.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "targets/ui/octet_box.h"

namespace sondrel {

DialogAddIP::DialogAddIP(QWidget* parent)
    : EntryDialog(QStringLiteral("FormAddIP"), QStringLiteral("Command3"),
                  SingleEntryForm::testButtonCaption(), parent) {
    const QString optionCaptions[] = {IpOptionCaption, HostOptionCaption};
    auto* optionRow = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        options_[i] = new QRadioButton(optionCaptions[i], this);
        options_[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        optionRow->addWidget(options_[i]);
    }
    optionRow->addStretch();
    grid()->addLayout(optionRow, 1, 1, 1, -1);
    connect(options_[0], &QRadioButton::clicked, this,
            [this] { optionChosen(SingleEntryForm::AddressOption::Ip); });
    connect(options_[1], &QRadioButton::clicked, this,
            [this] { optionChosen(SingleEntryForm::AddressOption::Host); });

    ipLabel_ = new QLabel(IpLabelCaption, this);
    hostLabel_ = new QLabel(HostLabelCaption, this);
    grid()->addWidget(ipLabel_, 2, 0);
    grid()->addWidget(hostLabel_, 2, 0);
    auto* octetRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        octets_[i] = addOctetBox(QStringLiteral("Combo1_%1").arg(i),
                                 [this, i](QChar key) { return form_->octetKeyPress(i, key); });
        connect(octets_[i], &OctetBox::edited, this,
                [this, i](const QString& text) { form_->setOctet(i, text); });
        if (i > 0) {
            dots_[i - 1] = new QLabel(QStringLiteral("."), this);
            octetRow->addWidget(dots_[i - 1]);
        }
        octetRow->addWidget(octets_[i]);
    }
    octetRow->addStretch();
    grid()->addLayout(octetRow, 2, 1, 1, -1);
    host_ = new QLineEdit(this);
    host_->setObjectName(QStringLiteral("Text2"));
    // The host box shares the row of the octet boxes: one of them is shown.
    grid()->addWidget(host_, 2, 1, 1, -1);
    connect(host_, &QLineEdit::textEdited, this,
            [this](const QString& text) { form_->setHostText(text); });
    connect(host_, &QLineEdit::returnPressed, this, [this] {
        form_->hostBoxEnter();
        afterStep();
    });
    finishLayout(3);
}

void DialogAddIP::run(SingleEntryForm& form) {
    form_ = &form;
    EntryDialog::run(form);
}

void DialogAddIP::showFields() {
    for (int i = 0; i < 4; ++i)
        octets_[i]->showText(form_->octet(i));
    host_->setText(form_->hostText());
    showOption();
}

QWidget* DialogAddIP::widgetFor(FormControl control) const {
    switch (control) {
        case FormControl::Start0:
        case FormControl::Start1:
        case FormControl::Start2:
        case FormControl::Start3:
            return octets_[int(control) - int(FormControl::Start0)];
        case FormControl::HostBox:
            return host_;
        default:
            return EntryDialog::widgetFor(control);
    }
}

void DialogAddIP::optionChosen(SingleEntryForm::AddressOption option) {
    form_->setOption(option);
    showOption();
}

// The address is typed into the octet boxes or into the host box, never both.
void DialogAddIP::showOption() {
    const bool ip = form_->option() == SingleEntryForm::AddressOption::Ip;
    options_[ip ? 0 : 1]->setChecked(true);
    for (OctetBox* box : octets_)
        box->setVisible(ip);
    for (QLabel* dot : dots_)
        dot->setVisible(ip);
    ipLabel_->setVisible(ip);
    hostLabel_->setVisible(!ip);
    host_->setVisible(!ip);
}

}  // namespace sondrel
