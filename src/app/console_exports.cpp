#include "app/console_exports.h"

#include <QDir>
#include <QFileInfo>

#include "app/console_prompts.h"
#include "common/text_file.h"
#include "report/export_frame.h"
#include "report/ping_export.h"
#include "report/report_export.h"
#include "report/summary_report.h"

namespace sondrel {

namespace {

ConsoleExports& processExports() {
    static ConsoleExports exports;
    return exports;
}

// A file of an option: .txt or .csv, in a folder that exists, and no folder itself.
QString fileRefusal(const QString& option, const QString& path) {
    if (!FormatOfFileName(path))
        return option + QStringLiteral(": the file name must end in .txt or .csv: ") + path;
    const QFileInfo file(path);
    if (!file.absoluteDir().exists())
        return option + QStringLiteral(": no such folder: ") + file.absolutePath();
    if (file.isDir())
        return option + QStringLiteral(": is a folder: ") + path;
    return {};
}

bool readGroupBy(const QString& text, ConsoleExports* out) {
    if (text == QLatin1String("size")) {
        out->bySize = true;
        return true;
    }
    bool ok = false;
    const int minutes = text.toInt(&ok);
    if (!ok || minutes < 1 || text.startsWith(QLatin1Char('+')))
        return false;
    out->period = minutes;
    return true;
}

bool refuse(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
    return false;
}

// Writes `lines` to `path`; on failure the reason with the operation's label.
bool writeFile(const QString& path, const QStringList& lines, const QString& label,
               UserPrompts& prompts) {
    QString reason;
    if (WriteTextFileAtomically(path, lines, &reason))
        return true;
    prompts.message(path + QStringLiteral(": ") + reason + label, MessageIcon::Exclamation);
    return false;
}

bool writePingExport(const QString& path, const RunResults& run, UserPrompts& prompts) {
    if (FilledRecordCount(run.records) == 0) {
        prompts.message(NoExportDataMessage, MessageIcon::Information);
        return false;
    }
    const bool csv = FormatOfFileName(path) == ExportFormat::Csv;
    StampFormatter stamps;
    const QStringList lines = csv ? PingCsvLines(run, stamps) : PingTextLines(run, stamps);
    return writeFile(
        path, lines,
        csv ? QStringLiteral("    exp 侦测 to csv") : QStringLiteral("    exp 侦测 to txt"),
        prompts);
}

// The report as DialogRpt builds it: by period (the dialog's choice for the run when none was
// given) or by buffer size, then its text or CSV export.
bool writeReport(const ConsoleExports& exports, const RunResults& run, UserPrompts& prompts) {
    const QString refusal = ReportRefusal(run);
    if (!refusal.isEmpty()) {
        prompts.message(refusal, MessageIcon::Critical);
        return false;
    }
    StampFormatter stamps;
    const double period = exports.period > 0 ? exports.period : PeriodOf(PeriodForRun(run));
    const SummaryReport report =
        exports.bySize ? BuildSizeReport(run, stamps) : BuildPeriodReport(run, period, stamps);
    const bool csv = FormatOfFileName(exports.reportPath) == ExportFormat::Csv;
    const QStringList lines =
        csv ? ReportCsvLines(report, run.targets) : ReportTextLines(report, run.targets);
    return writeFile(exports.reportPath, lines, QStringLiteral("    "), prompts);
}

}  // namespace

bool ParseConsoleExports(const QStringList& arguments, ConsoleExports* out, QString* reason) {
    ConsoleExports read;
    bool groupGiven = false;
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        const QString& option = arguments.at(i);
        if (i + 1 >= arguments.size())
            return refuse(reason, option + QStringLiteral(": a value is missing"));
        const QString& value = arguments.at(i + 1);
        QString* path = option == QLatin1String("--export")   ? &read.exportPath
                        : option == QLatin1String("--report") ? &read.reportPath
                                                              : nullptr;
        if (path != nullptr) {
            if (!path->isEmpty())
                return refuse(reason, option + QStringLiteral(": given twice"));
            const QString refusal = fileRefusal(option, value);
            if (!refusal.isEmpty())
                return refuse(reason, refusal);
            *path = value;
        } else if (option == QLatin1String("--group-by")) {
            if (groupGiven || !readGroupBy(value, &read))
                return refuse(reason, QStringLiteral("--group-by: MINUTES (1 or more) or size, "
                                                     "once: ") +
                                          value);
            groupGiven = true;
        } else {
            return refuse(reason, QStringLiteral("unknown option: ") + option);
        }
    }
    if (groupGiven && read.reportPath.isEmpty())
        return refuse(reason, QStringLiteral("--group-by needs --report"));
    if (!read.exportPath.isEmpty() && !read.reportPath.isEmpty() &&
        QFileInfo(read.exportPath).absoluteFilePath() ==
            QFileInfo(read.reportPath).absoluteFilePath())
        return refuse(reason, QStringLiteral("--export and --report name the same file"));
    *out = read;
    return true;
}

bool UseConsoleExports(const QStringList& arguments) {
    QString reason;
    if (ParseConsoleExports(arguments, &processExports(), &reason))
        return true;
    ConsolePrompts().message(reason, MessageIcon::Critical);
    return false;
}

bool WriteConsoleExports(const RunResults& run) {
    ConsolePrompts prompts;
    return WriteConsoleExports(processExports(), run, prompts);
}

bool WriteConsoleExports(const ConsoleExports& exports, const RunResults& run,
                         UserPrompts& prompts) {
    bool written = true;
    if (!exports.exportPath.isEmpty())
        written = writePingExport(exports.exportPath, run, prompts) && written;
    if (!exports.reportPath.isEmpty())
        written = writeReport(exports, run, prompts) && written;
    return written;
}

}  // namespace sondrel
