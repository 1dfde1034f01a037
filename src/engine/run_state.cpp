#include "engine/run_state.h"

namespace sondrel {

void RunState::EnterBusyState() {
    activityBusy_ = true;
    Q_EMIT busyChanged(true);
}

void RunState::LeaveBusyState() {
    activityBusy_ = false;
    Q_EMIT busyChanged(false);
}

}  // namespace sondrel
