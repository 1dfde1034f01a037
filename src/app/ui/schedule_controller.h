#pragma once

#include <QObject>
#include <memory>

#include "app/schedule.h"
#include "common/run_state.h"

class QLabel;

namespace sondrel {

class Clock;
class FrameTime;
class RunOptions;
class Timer;
class UserPrompts;

// The scheduled start: "日程安排" arms it with a start an hour ahead and an end eight hours
// ahead, the time boxes open the editor, a check every three seconds starts the selected
// function once its start minute has come, and "立即" disarms it. One-shot: after it fired the
// operator arms it again.
class ScheduleController : public QObject {
    Q_OBJECT
  public:
    struct Parts {
        RunOptions& options;
        FrameTime& editor;
        QLabel& titleLine;  // item 0 of `LabelTittle`
        RunState& state;
        Clock& clock;
        UserPrompts& prompts;
    };
    ScheduleController(Parts parts, QObject* parent);
    ~ScheduleController() override;

    bool armed() const;
    ScheduleTime from() const { return from_; }
    ScheduleTime to() const { return to_; }
    // The offered function changed: the end box is for a ping test only.
    void functionChanged();
    void hideEditor();

  Q_SIGNALS:
    // The start minute has come: the selected function starts as its button does, a ping test
    // with `end` as its scheduled end.
    void startDue(Activity function, const QDateTime& end);
    // The schedule line is about to be shown: the results pane comes to the front, emptied.
    void captionShowing();
    // The editor closed by its buttons: the focus goes to its resting place.
    void focusRestRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void arm();
    void disarm();
    void FillScheduleLists();
    void ShowScheduleCaption();
    void openEditor(bool endBox);
    void CommandOK_Click();
    void checkStart();

    Parts parts_;
    std::unique_ptr<Timer> timer3_;
    ScheduleTime from_, to_;
    bool editingEnd_ = false;  // ScheduleEditTarget: ComboTo rather than ComboFrom
};

}  // namespace sondrel
