#pragma once

#include <QObject>
#include <array>

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace sondrel {

class TraceRun;

// The jump list of a trace over the results pane: the caption `LabelTittle_3` "跳转到主机：",
// the buttons `CmdJumpTo_0` (traces still running) and `CmdJumpTo_1` (finished traces) and
// the list `TraceIP` they drop down. Picking an item shows that target's trace from its first
// line.
//
// The widgets are children of the pane. A caption label `LabelTittle_3` the pane already has
// is taken over (so its clicks keep closing the pane's pop-ups); otherwise one is made.
class TraceJumpList : public QObject {
    Q_OBJECT
  public:
    TraceJumpList(TraceRun& run, QWidget* pane);

    // The caption and both buttons (TraceRun::jumpControlsShown); hiding them closes the list.
    void setShown(bool shown);
    // Closes the list (the window dismissing its pop-ups).
    void hidePopup();
    // Button `button` clicked: the list of its traces under it, in front.
    void dropDown(int button);

    QLabel* caption() const { return caption_; }
    QPushButton* button(int item) const { return buttons_.at(size_t(item)); }
    QListWidget* list() const { return list_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void pointerAt(int y);
    void itemPicked(const QString& text);

    TraceRun& run_;
    QLabel* caption_ = nullptr;
    std::array<QPushButton*, 2> buttons_{};
    QListWidget* list_ = nullptr;
};

}  // namespace sondrel
