#pragma once

#include <QDialog>
#include <QList>

#include "engine/test_parameters.h"

class QGridLayout;
class QLineEdit;
class QRadioButton;

namespace sondrel {

// "高级发送缓冲大小设置": `Option1` "增量大小" with `TextIFrom`, `TextITo`, `TextIIncre` and
// `TextIRe`, or `Option2` "多个尺寸" with `TextMV` and `TextMRe`; `OKButton` and `CancelButton`.
// The controls of the option not chosen are drawn grey, and focusing a text box chooses its
// option. OK hands the texts to the model and closes only when the model accepts them.
class DialogAdvanceSize : public QDialog {
    Q_OBJECT
  public:
    DialogAdvanceSize(SizeDialogModel& model, QWidget* parent = nullptr);

    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* addBox(const QString& name, const QString& caption, const QString& text, int row,
                      bool commaAllowed, QList<QWidget*>& group);
    void okClicked();
    void showChosenOption();
    void storeTexts();

    SizeDialogModel& model_;
    QGridLayout* grid_ = nullptr;
    QRadioButton* incremental_ = nullptr;
    QRadioButton* multiple_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* step_ = nullptr;
    QLineEdit* repeat_ = nullptr;
    QLineEdit* values_ = nullptr;
    QLineEdit* valuesRepeat_ = nullptr;
    QList<QWidget*> incrementalGroup_;
    QList<QWidget*> multipleGroup_;
};

}  // namespace sondrel
