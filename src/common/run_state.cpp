#include "common/run_state.h"

namespace sondrel {

QString ActivityText(Activity activity) {
    switch (activity) {
        case Activity::Ping:
            return QStringLiteral("侦测");
        case Activity::Trace:
            return QStringLiteral("跟踪");
        case Activity::Scan:
            return QStringLiteral("扫描");
        case Activity::None:
            break;
    }
    return {};
}

Activity ActivityFromText(const QString& text) {
    for (const Activity a : {Activity::Ping, Activity::Trace, Activity::Scan}) {
        if (text == ActivityText(a))
            return a;
    }
    return Activity::None;
}

void RunState::EnterBusyState() {
    activityBusy_ = true;
    Q_EMIT busyChanged(true);
}

void RunState::LeaveBusyState() {
    activityBusy_ = false;
    Q_EMIT busyChanged(false);
}

}  // namespace sondrel
