#pragma once

#include <QString>

namespace sondrel {

// Our tracert program for the trace to run. In the build tree it is built into the folder
// "trace/tracert" below the program's own folder; installed, it lies beside the program. The
// first of the two that is an executable file is taken; with neither, the installed place, so
// that the failure to start names where the program was looked for. Needs a
// QCoreApplication (the program's folder).
QString TracertProgramPath();

// The same choice for a program folder given as it is, for tests.
QString TracertProgramPathIn(const QString& programFolder);

}  // namespace sondrel
