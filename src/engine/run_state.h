#pragma once

#include <QObject>
#include <QString>

namespace sondrel {

inline const QString ActivityPing = QStringLiteral("侦测");
inline const QString ActivityTrace = QStringLiteral("跟踪");

// Which activity runs. Only one of ping test, trace and scan runs at a time; the window's start
// buttons follow `busyChanged`.
class RunState : public QObject {
    Q_OBJECT
  public:
    bool activityBusy() const { return activityBusy_; }
    void EnterBusyState();
    void LeaveBusyState();

    QString runningActivity;
    QString selectedFunction = ActivityPing;

  Q_SIGNALS:
    void busyChanged(bool busy);

  private:
    bool activityBusy_ = false;
};

}  // namespace sondrel
