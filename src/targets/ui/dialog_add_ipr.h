#pragma once

#include <array>

#include "targets/ui/entry_dialog.h"

namespace sondrel {

// `FormAddIPR`: a range from the start octet boxes `Combo1_0`..`Combo1_3` to the end octet boxes
// `Combo2_0`..`Combo2_3`; `Command3` copies the start into the end, `Command4` "扫描 IP" asks
// for a scan of the range without saving it.
class DialogAddIPR final : public EntryDialog {
    Q_OBJECT
  public:
    explicit DialogAddIPR(QWidget* parent = nullptr);

    void run(RangeEntryForm& form);

  protected:
    void showFields() override;
    QWidget* widgetFor(FormControl control) const override;
    void addClicked() override { form_->add(); }
    void testClicked() override { form_->test(); }

  private:
    void addAddressRow(int row, const QString& label, bool start);

    RangeEntryForm* form_ = nullptr;
    std::array<OctetBox*, 4> start_{};
    std::array<OctetBox*, 4> end_{};
};

}  // namespace sondrel
