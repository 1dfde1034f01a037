#pragma once

#include <QObject>
#include <QString>

namespace sondrel {

// The three activities of the window. Their words ("侦测", "跟踪", "扫描") appear only where an
// activity is stored or shown.
enum class Activity { None, Ping, Trace, Scan };

// The stored and shown word of an activity; empty for None.
QString ActivityText(Activity activity);
// The activity a stored word names; None for any other text.
Activity ActivityFromText(const QString& text);

// What a start did: refused by a parameter check, refused because an activity runs, or begun.
enum class StartResult { Refused, Busy, Starting };

// Which activity runs. Only one of ping test, trace and scan runs at a time; the window's start
// buttons follow `busyChanged`.
class RunState : public QObject {
    Q_OBJECT
  public:
    bool activityBusy() const { return activityBusy_; }
    void EnterBusyState();
    void LeaveBusyState();

    Activity runningActivity = Activity::None;
    Activity selectedFunction = Activity::Ping;

  Q_SIGNALS:
    void busyChanged(bool busy);

  private:
    bool activityBusy_ = false;
};

}  // namespace sondrel
