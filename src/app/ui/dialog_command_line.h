#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace sondrel {

// " Command Line Builder": shows the built command in `Text1`, where the operator may edit it;
// `OKButton` "复制" puts the text as it stands on the clipboard and leaves the dialog open,
// `Command1` "关闭" closes it. The dialog is kept and reused between openings.
class DialogCommandLine : public QDialog {
    Q_OBJECT
  public:
    explicit DialogCommandLine(QWidget* parent = nullptr);

    // Fills `Text1` with the built command and shows the dialog modally.
    void showCommand(const QString& command);
    QString text() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void OKButton_Click();

    QPlainTextEdit* text1_;
    QPushButton* okButton_;
    QPushButton* command1_;
};

}  // namespace sondrel
