#pragma once

#include <QString>
#include <QStringList>

#include "report/export_frame.h"
#include "report/summary_report.h"
#include "targets/target_expansion.h"

namespace sondrel {

inline const QString NoReportBuiltError = QStringLiteral("尚未生成报告。");

// The text report of the last build: heading, rule, and per target its groups.
QStringList ReportTextLines(const SummaryReport& report, const ExpandedTargets& targets);
// The same as a CSV file.
QStringList ReportCsvLines(const SummaryReport& report, const ExpandedTargets& targets);

// ExportReportText / ExportReportCsv through the export frame. `hasData` is whether the run
// holds records; `stamp` the ExportStamp of the run.
void ExportReport(ExportFrame& frame, const SummaryReport* report, const ExpandedTargets& targets,
                  bool hasData, const QString& stamp, ExportFormat format);

}  // namespace sondrel
