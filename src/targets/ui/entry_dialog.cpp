#include "targets/ui/entry_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "common/ui/enter_presses_button.h"
#include "targets/ui/octet_box.h"

namespace sondrel {

namespace {

const QString TitleLabel = QStringLiteral("标题:");

}  // namespace

QPushButton* AddDialogButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    EnterPressesButton(button);
    return button;
}

EntryDialog::EntryDialog(const QString& name, const QString& testName, const QString& testCaption,
                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(name);
    setModal(true);
    grid_ = new QGridLayout(this);
    grid_->addWidget(new QLabel(TitleLabel, this), 0, 0);
    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("TextTittle"));
    grid_->addWidget(title_, 0, 1, 1, -1);
    title_->installEventFilter(this);
    connect(title_, &QLineEdit::textEdited, this, &EntryDialog::titleEdited);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LabelStatus"));
    add_ = AddDialogButton(this, QStringLiteral("Command1"), {});
    test_ = AddDialogButton(this, testName, testCaption);
    exit_ = AddDialogButton(this, QStringLiteral("Command2"), ExitButtonCaption);
    connect(add_, &QPushButton::clicked, this, [this] {
        addClicked();
        afterStep();
    });
    connect(test_, &QPushButton::clicked, this, [this] {
        testClicked();
        afterStep();
    });
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryDialog::finishLayout(int nextRow) {
    grid_->addWidget(status_, nextRow, 0, 1, -1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {add_, test_, exit_})
        buttons->addWidget(button);
    grid_->addLayout(buttons, nextRow + 1, 0, 1, -1);
}

void EntryDialog::run(EntryForm& form) {
    form_ = &form;
    loading_ = true;
    setWindowTitle(form.caption());
    add_->setText(form.addButtonCaption());
    title_->setText(form.title());
    showFields();
    showStatus();
    loading_ = false;
    moveFocus(form.focus());
    // A title that still has the focus from the last showing gets no new focus-in by Tab.
    titleCaretToEnd_ = widgetFor(form.focus()) == title_ && !title_->hasFocus();
    exec();
}

// Showing a dialog hands its focus box a focus-in by Tab, which selects the whole text, and the
// desktop activates the window only later; the operator types after a prefilled title, so the
// first focus-in after the opening leaves the cursor at the end whenever it arrives.
bool EntryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == title_ && event->type() == QEvent::FocusIn && titleCaretToEnd_) {
        titleCaretToEnd_ = false;
        title_->event(event);
        title_->deselect();
        title_->end(false);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Leaving the dialog without a result is the exit button.
void EntryDialog::done(int result) {
    titleCaretToEnd_ = false;
    if (form_ && form_->result().kind == EntryResult::Kind::None)
        form_->exit();
    QDialog::done(result);
}

QWidget* EntryDialog::widgetFor(FormControl control) const {
    switch (control) {
        case FormControl::Title:
            return title_;
        case FormControl::AddButton:
            return add_;
        default:
            return nullptr;
    }
}

void EntryDialog::afterStep() {
    if (form_->result().kind != EntryResult::Kind::None) {
        QDialog::done(QDialog::Accepted);
        return;
    }
    moveFocus(form_->focus());
}

void EntryDialog::moveFocus(FormControl control) {
    QWidget* target = widgetFor(control);
    if (target == nullptr)
        return;
    target->setFocus(Qt::OtherFocusReason);
    if (target == title_)
        title_->end(false);
}

OctetBox* EntryDialog::addOctetBox(const QString& name, std::function<FormControl(QChar)> rule) {
    auto* box = new OctetBox(name, this);
    box->setKeyRule([this, rule](QChar key) {
        const FormControl next = rule(key);
        if (next == FormControl::None)
            return false;
        moveFocus(next);
        return true;
    });
    return box;
}

// Refused characters never reach the title, whether typed or pasted.
void EntryDialog::titleEdited(const QString& text) {
    form_->setTitle(text);
    if (form_->title() == text)
        return;
    const int cursor = title_->cursorPosition() - int(text.size() - form_->title().size());
    title_->setText(form_->title());
    title_->setCursorPosition(std::max(0, cursor));
}

void EntryDialog::showStatus() {
    const RgbColor colour = form_->statusColor();
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, QColor(colour.red, colour.green, colour.blue));
    status_->setPalette(palette);
    status_->setText(form_->statusText());
}

}  // namespace sondrel
