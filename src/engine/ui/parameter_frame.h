#pragma once

#include <QFrame>
#include <array>

#include "engine/test_parameters.h"

class QComboBox;
class QLabel;

namespace sondrel {

// The ping parameter frame `Frame1` item 1 ("设置侦测参数："): the five boxes `ComboInv`,
// `ComboSize`, `ComboTimeOut`, `ComboTimes`, `ComboRepIP` mirrored from TestParameters, the two
// "A" buttons `CommandA_0`/`CommandA_1`, the total label `Label1_28` and the function selector
// `CommandSelectFun_2`.
//
// Typing and picking hand the box text to the model at once, so its change handling runs as
// the operator types. Only an emptied box waits: it is handed over when the operator leaves
// the box or presses Enter, so that clearing a box to type a new value does not report the
// empty text on the way.
class ParameterFrame : public QFrame {
    Q_OBJECT
  public:
    ParameterFrame(TestParameters& params, QWidget* parent = nullptr);

    QString title() const;
    QComboBox* box(ParameterBox which) const { return combos_.at(size_t(which)); }
    // Hands over a box that was emptied and is still being edited (before a start from a
    // shortcut key, which leaves the focus where it is).
    void commitPendingEdits();

  Q_SIGNALS:
    void functionSelectorClicked();  // `CommandSelectFun_2`
    void backgroundClicked();        // a click on the frame itself

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void buildBox(ParameterBox which, const QString& name, const QString& caption, int left,
                  int top);
    void buildButtons();
    void fillLists();
    void showModelText(ParameterBox which, const QString& text);
    void textTyped(ParameterBox which, const QString& text);
    void editingFinished(ParameterBox which);

    TestParameters& params_;
    QLabel* title_ = nullptr;
    QLabel* total_ = nullptr;
    std::array<QComboBox*, 5> combos_{};
    std::array<bool, 5> emptyPending_{};
};

}  // namespace sondrel
