#pragma once

#include <QString>
#include <QStringList>

#include "common/user_prompts.h"
#include "engine/run_results.h"

namespace sondrel {

// The files a console run writes once it has ended: the ping results ("--export FILE") and
// the summary report ("--report FILE" with "--group-by MINUTES|size"). The file's ending,
// ".txt" or ".csv", picks the format; an existing file is replaced.
struct ConsoleExports {
    QString exportPath;
    QString reportPath;
    bool bySize = false;
    qint32 period = 0;  // minutes; 0 takes the report dialog's choice for the run

    bool any() const { return !exportPath.isEmpty() || !reportPath.isEmpty(); }
};

// Reads the options that follow the console text, each at most once. A file must end in .txt
// or .csv and lie in a folder that exists; MINUTES is a whole number from 1; --group-by needs
// --report. False with the reason when they do not read.
bool ParseConsoleExports(const QStringList& arguments, ConsoleExports* out, QString* reason);

// Takes the options for this process's console run; the reason on stderr when they do not
// read.
bool UseConsoleExports(const QStringList& arguments);

// Writes the files of this process's console run once the run has ended, after its summary.
// False when a file asked for was not written; the reason goes to stderr.
bool WriteConsoleExports(const RunResults& run);

// The same for the given options, the reasons through `prompts`.
bool WriteConsoleExports(const ConsoleExports& exports, const RunResults& run,
                         UserPrompts& prompts);

}  // namespace sondrel
