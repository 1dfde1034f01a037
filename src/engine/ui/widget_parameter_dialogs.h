#pragma once

#include "engine/test_parameters.h"

class QDialog;
class QLineEdit;
class QWidget;

namespace sondrel {

class UserPrompts;

// Opens `DialogAdvanceInterval` and `DialogAdvanceSize` modally at the main window's left
// + 2,925 and top + 2,088 twips.
class WidgetParameterDialogs final : public ParameterDialogs {
  public:
    explicit WidgetParameterDialogs(QWidget* window);
    bool runIntervalDialog(IntervalDialogValues& values) override;
    bool runSizeDialog(SizeDialogModel& model) override;

  private:
    void place(QDialog& dialog) const;

    QWidget* window_;
};

// Lets a text box of the advanced dialogs take only the digits 0-9 and backspace, and the
// comma when `commaAllowed`. Keys that type nothing (arrows, Tab, Enter) pass.
void AcceptDigitKeysOnly(QLineEdit* box, bool commaAllowed);

}  // namespace sondrel
