#pragma once

#include <array>

#include "targets/ui/entry_dialog.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace sondrel {

// `FormAddIP`: one address or host name. The options `Option1_0` "IP地址" and `Option1_1`
// "URL / 主机名" show either the four octet boxes `Combo1_0`..`Combo1_3` ("IP:") or the host box
// `Text2` ("主机:"); `Command3` "侦测" tests the address without saving it.
class DialogAddIP final : public EntryDialog {
    Q_OBJECT
  public:
    explicit DialogAddIP(QWidget* parent = nullptr);

    void run(SingleEntryForm& form);

  protected:
    void showFields() override;
    QWidget* widgetFor(FormControl control) const override;
    void addClicked() override { form_->add(); }
    void testClicked() override { form_->test(); }

  private:
    void optionChosen(SingleEntryForm::AddressOption option);
    void showOption();

    SingleEntryForm* form_ = nullptr;
    std::array<QRadioButton*, 2> options_{};
    std::array<OctetBox*, 4> octets_{};
    std::array<QLabel*, 3> dots_{};
    QLabel* ipLabel_ = nullptr;
    QLabel* hostLabel_ = nullptr;
    QLineEdit* host_ = nullptr;
};

}  // namespace sondrel
