#pragma once

#include "targets/ui/entry_dialog.h"

class QFrame;
class QPlainTextEdit;

namespace sondrel {

// `FormAddIPG`: a group of addresses or host names, one per line in the member box `TextIPs`;
// `Command4` "侦测" tests the group without saving it. The picture `ImageHelp` opens the help
// panel `PictureHelp`, which its "OK" button `CommandHelpOK` closes.
class DialogAddIPG final : public EntryDialog {
    Q_OBJECT
  public:
    explicit DialogAddIPG(QWidget* parent = nullptr);

    void run(GroupEntryForm& form);

  protected:
    void showFields() override;
    QWidget* widgetFor(FormControl control) const override;
    void addClicked() override { form_->add(); }
    void testClicked() override { form_->test(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildHelp();
    void showMembers();

    GroupEntryForm* form_ = nullptr;
    QPlainTextEdit* members_ = nullptr;
    QFrame* help_ = nullptr;
    bool showingMembers_ = false;
};

}  // namespace sondrel
