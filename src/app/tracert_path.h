#pragma once

#include <QString>

namespace sondrel {

// Our tracert program for the trace to run. In the build tree it is built beside the program;
// installed, it lies in libexec/sondrel beside the program's bin folder, where it shadows no
// other tracert on the PATH. The one beside the program is taken when it is an executable
// file; otherwise the installed place, so that a failure to start names where it was looked
// for. Needs a QCoreApplication (the program's folder).
QString TracertProgramPath();

// The same choice for a program folder given as it is, for tests.
QString TracertProgramPathIn(const QString& programFolder);

}  // namespace sondrel
