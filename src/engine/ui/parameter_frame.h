#pragma once

#include <QFrame>

namespace sondrel {

class TestParameters;

// The ping parameter frame `Frame1` item 1 ("设置侦测参数："): the five boxes `ComboInv`,
// `ComboSize`, `ComboTimeOut`, `ComboTimes`, `ComboRepIP` mirrored from TestParameters, the two
// "A" buttons `CommandA_0`/`CommandA_1`, the total label `Label1_28` and the function selector
// `CommandSelectFun_2`.
class ParameterFrame : public QFrame {
    Q_OBJECT
public:
    ParameterFrame(TestParameters& params, QWidget* parent = nullptr);

Q_SIGNALS:
    void functionSelectorClicked();  // `CommandSelectFun_2`
};

}  // namespace sondrel
