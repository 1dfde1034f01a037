#pragma once

#include <QFrame>
#include <QStringList>

#include "trace/trace_options.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace sondrel {

// The trace options frame `Frame1` item 2 ("设置跟踪参数："), at the place of the ping frame: the
// boxes `ComboTracert_1` (maximum hops), `ComboTracert_2` (host list, its drop-down the trace
// target items of the target list) and `ComboTracert_3` (time-out), the check box
// `CheckIPtoName` and the function selector `CommandSelectFun_1`.
//
// The frame only holds texts; BuildTraceOptions checks them when a trace starts.
class TraceFrame : public QFrame {
    Q_OBJECT
  public:
    explicit TraceFrame(QWidget* parent = nullptr);

    QString title() const;
    // Item 1 hops, 2 host list, 3 time-out.
    QComboBox* box(int item) const;
    QCheckBox* resolveBox() const { return resolve_; }

    TraceOptionTexts optionTexts() const;
    // The stored defaults (Default_Hop_Number, Default_Host_List, Default_TimeOut2,
    // Default_IPtoName) and the host list a pick gives.
    void setOptionTexts(const TraceOptionTexts& texts);
    void setMaxHopsText(const QString& text);
    void setHostListText(const QString& text);
    void setTimeOutText(const QString& text);
    void setResolveNames(bool resolve);

    // The drop-down of the host list: the trace target items of the target list. The typed
    // host list stays.
    void setHostListItems(const QStringList& items);

  Q_SIGNALS:
    void functionSelectorClicked();            // `CommandSelectFun_1`
    void backgroundClicked();                  // a click on the frame itself
    void hostListPicked(const QString& item);  // an item of the host list's drop-down

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QComboBox* buildBox(int item, const QString& caption, int left, int top, int width);
    void hostListActivated(int index);

    QLabel* title_ = nullptr;
    QComboBox* hops_ = nullptr;
    QComboBox* hostList_ = nullptr;
    QComboBox* timeOut_ = nullptr;
    QCheckBox* resolve_ = nullptr;
    QString hostText_;  // the host list as typed or set; a pick leaves it to the window
};

}  // namespace sondrel
