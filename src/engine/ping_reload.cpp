#include <QFileInfo>
#include <algorithm>

#include "engine/ping_test.h"
#include "engine/result_log_reload.h"
#include "engine/result_scroll.h"
#include "engine/test_parameters.h"

namespace sondrel {

namespace {
constexpr qint64 LargeLogBytes = 1000000;
}  // namespace

// Rebuilds records, statistics, the first page of reply lines and the summary of the last run
// that was logged to files. A malformed log (a bad line or header) ends the reload quietly
// with what was read.
void PingTest::ReloadPreviousPing() {
    const QString path = dataFolder_ + RunLogFileName;
    if (!QFileInfo::exists(path))
        return;
    state_.runningActivity = Activity::Ping;
    if (QFileInfo(path).size() > LargeLogBytes &&
        !services_.prompts.askYesNo(QStringLiteral("加载之前侦测测试日志吗？"),
                                    MessageIcon::Question))
        return;
    setStatus(0, QStringLiteral("加载之前测试结果，请稍候 … …"));
    ReloadedRun run;
    const bool complete = ReadRunLog(path, run);
    records_.adopt(std::move(run.records), run.firstProbe);
    // A header that does not read ("x,1,1") is no run of ours, however good its lines are.
    if (!complete || !run.headerValid) {
        setStatus(0, QString());
        return;
    }
    stats_ = run.stats;
    RunParameters& params = params_.run();
    params.size.stepLength = run.header.sizeStepLength;
    params.repeatPerIP = run.header.repeatPerIP;
    resultsRepeat_ = std::max(run.header.repeatPerIP, 1);
    targets_.clear();
    const QString error =
        ReloadTargetTable(dataFolder_ + TargetTableFileName, run.header.targetCount,
                          targets_.targetShow, targets_.targetTitle);
    if (!error.isEmpty())
        services_.prompts.message(error, MessageIcon::Critical);
    // The probed text of each target: the address after " / " for a resolved host name.
    for (const QString& show : std::as_const(targets_.targetShow))
        targets_.targetIP << show.section(QStringLiteral(" / "), -1);
    Q_EMIT scrollSetup(records_.lastIndex(), 0);
    Q_EMIT resultsReset();
    for (qint32 i = 0; i < std::min(ResultScroll::PageRows, records_.size()); ++i) {
        const ReplyLine line = ReplyLineFromRecord(records_.at(i));
        Q_EMIT replyShown(i, line.prefix, line.detail);
    }
    setStatus(0, QStringLiteral("上一个侦测测试结果"));
    Q_EMIT statisticsChanged();
    Q_EMIT reportLinkShown(true);
    Q_EMIT summaryLabelsShown();
}

}  // namespace sondrel
