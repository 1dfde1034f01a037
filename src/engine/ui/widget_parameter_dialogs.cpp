#include "engine/ui/widget_parameter_dialogs.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "engine/ui/dialog_advance_interval.h"
#include "engine/ui/dialog_advance_size.h"

namespace sondrel {

namespace {

// The dialogs open at this offset from the main window's top left corner: 2,925 and 2,088
// twips.
const QPoint DialogOffset(195, 139);

class DigitKeyFilter final : public QObject {
  public:
    DigitKeyFilter(bool commaAllowed, QObject* parent)
        : QObject(parent), commaAllowed_(commaAllowed) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.isEmpty() || !text.front().isPrint())
            return false;  // moves, Tab, Enter
        return !SizeDialogModel::acceptsKey(text.front(), commaAllowed_);
    }

  private:
    bool commaAllowed_;
};

}  // namespace

void AcceptDigitKeysOnly(QLineEdit* box, bool commaAllowed) {
    box->installEventFilter(new DigitKeyFilter(commaAllowed, box));
    // Input methods would compose text around the key filter.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
}

WidgetParameterDialogs::WidgetParameterDialogs(QWidget* window) : window_(window) {}

// Without a main window the dialog keeps Qt's placement: centred.
void WidgetParameterDialogs::place(QDialog& dialog) const {
    if (window_)
        dialog.move(window_->frameGeometry().topLeft() + DialogOffset);
}

bool WidgetParameterDialogs::runIntervalDialog(IntervalDialogValues& values) {
    DialogAdvanceInterval dialog(values, window_);
    place(dialog);
    return dialog.exec() == QDialog::Accepted;
}

bool WidgetParameterDialogs::runSizeDialog(SizeDialogModel& model) {
    DialogAdvanceSize dialog(model, window_);
    place(dialog);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sondrel
