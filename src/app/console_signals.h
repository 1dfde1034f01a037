#pragma once

#include <QObject>
#include <functional>

namespace sondrel {

// Ctrl+C, SIGTERM and SIGHUP (the terminal closed) become a call of `stop` from the event loop,
// so that a run without a window ends as its stop command ends it, its files closed whole.
// Once per process; the handlers stay until the process ends, the notifier lives in `context`.
void InstallStopSignals(QObject* context, const std::function<void()>& stop);

}  // namespace sondrel
