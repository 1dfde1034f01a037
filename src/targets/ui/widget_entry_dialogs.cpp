#include "targets/ui/widget_entry_dialogs.h"

#include "common/ui/twips.h"
#include "targets/ui/dialog_add_ip.h"
#include "targets/ui/dialog_add_ipg.h"
#include "targets/ui/dialog_add_ipr.h"

namespace sondrel {

WidgetEntryDialogs::WidgetEntryDialogs(QWidget* window) : window_(window) {}

// Dialogs of a window go with it; without one they are this object's.
WidgetEntryDialogs::~WidgetEntryDialogs() {
    if (window_ == nullptr) {
        delete single_;
        delete group_;
        delete range_;
    }
}

void WidgetEntryDialogs::place(QWidget* dialog) const {
    if (window_) {
        const QPoint offset(Twips(DialogOffsetXTwips), Twips(DialogOffsetYTwips));
        dialog->move(window_->frameGeometry().topLeft() + offset);
    }
}

void WidgetEntryDialogs::execSingle(SingleEntryForm& form) {
    if (!single_)
        single_ = new DialogAddIP(window_);
    place(single_);
    single_->run(form);
}

void WidgetEntryDialogs::execGroup(GroupEntryForm& form) {
    if (!group_)
        group_ = new DialogAddIPG(window_);
    place(group_);
    group_->run(form);
}

void WidgetEntryDialogs::execRange(RangeEntryForm& form) {
    if (!range_)
        range_ = new DialogAddIPR(window_);
    place(range_);
    range_->run(form);
}

}  // namespace sondrel
