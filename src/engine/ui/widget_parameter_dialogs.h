#pragma once

#include "engine/test_parameters.h"

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
    QWidget* window_;
};

}  // namespace sondrel
