#pragma once

#include <QPointer>
#include <QWidget>

#include "targets/entry_editing.h"

namespace sondrel {

class DialogAddIP;
class DialogAddIPG;
class DialogAddIPR;

// The entry dialogs of the window: each is made once, on its first showing, and then only
// hidden and shown again. A dialog opens 3,500 twips right of and 1,280 twips below the main
// window's top-left corner and runs modally.
class WidgetEntryDialogs final : public EntryDialogs {
  public:
    explicit WidgetEntryDialogs(QWidget* window);
    ~WidgetEntryDialogs() override;

    void execSingle(SingleEntryForm& form) override;
    void execGroup(GroupEntryForm& form) override;
    void execRange(RangeEntryForm& form) override;

  private:
    void place(QWidget* dialog) const;

    QPointer<QWidget> window_;
    QPointer<DialogAddIP> single_;
    QPointer<DialogAddIPG> group_;
    QPointer<DialogAddIPR> range_;
};

}  // namespace sondrel
