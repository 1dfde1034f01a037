#pragma once

#include <QDialog>

#include "targets/entry_forms.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sondrel {

class OctetBox;

// What the three entry dialogs share: the title box `TextTittle`, the status line, the add
// button `Command1`, the test button and the exit button `Command2`. A dialog is a view over
// its form: it shows the form's texts, hands every edit and click to the form, and closes as
// soon as the form has a result. Closing it any other way is the exit button.
class EntryDialog : public QDialog {
    Q_OBJECT
  public:
    // Shows the form's state and runs the dialog modally until the form has a result.
    void run(EntryForm& form);

    void done(int result) override;

  protected:
    EntryDialog(const QString& name, const QString& testName, const QString& testCaption,
                QWidget* parent);

    // The grid the dialogs lay their own controls into, between the title and the status.
    QGridLayout* grid() const { return grid_; }
    // Puts the status line and the buttons under the dialog's own rows.
    void finishLayout(int nextRow);
    // Copies the form's fields into the controls; runs with edits not reported.
    virtual void showFields() = 0;
    virtual QWidget* widgetFor(FormControl control) const;
    virtual void addClicked() = 0;
    virtual void testClicked() = 0;
    // After a click: close on a result, else give the focus where the form wants it.
    void afterStep();
    void moveFocus(FormControl control);
    // An octet box whose keys go through `rule` (the form's key rule for that box).
    OctetBox* addOctetBox(const QString& name, std::function<FormControl(QChar)> rule);
    bool loading() const { return loading_; }
    QPushButton* testButton() const { return test_; }
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void titleEdited(const QString& text);
    void showStatus();

    EntryForm* form_ = nullptr;
    bool loading_ = false;
    QGridLayout* grid_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* test_ = nullptr;
    QPushButton* exit_ = nullptr;
    // Set while the dialog opens with the focus in the title: its first focus-in leaves the
    // cursor at the end of the text instead of selecting it.
    bool titleCaretToEnd_ = false;
};

// A button that takes Enter only when it has the focus: Enter in a box never presses it.
QPushButton* AddDialogButton(QWidget* parent, const QString& name, const QString& caption);

}  // namespace sondrel
