// Times the ping exports and the report builds over 100,000 reply records of 10 targets,
// beside writing the same bytes with a plain buffered write (the floor).
//
//   cmake --build <build> --target export_bench && <build>/src/report/export_bench [folder]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "common/text_file.h"
#include "engine/reply_record.h"
#include "engine/run_results.h"
#include "engine/run_statistics.h"
#include "report/ping_export.h"
#include "report/report_export.h"
#include "report/summary_report.h"

using namespace sondrel;

namespace {

constexpr int Records = 100000;
constexpr int Targets = 10;

// One record a second, every tenth lost, sizes stepping 32, 64, 128 every 1,000 probes.
void fill(ReplyRecords& records, RunStatistics& stats, ExpandedTargets& targets) {
    for (int k = 0; k < Targets; ++k) {
        targets.targetIP << QStringLiteral("127.0.0.%1").arg(k + 1);
        targets.targetShow << targets.targetIP.last();
        targets.targetTitle << QStringLiteral("目标 %1").arg(k);
    }
    stats.reset();
    stats.minRtt = RunStatistics::NoMinimum;
    const QDateTime start(QDate(2024, 3, 5), QTime(8, 0, 0));
    for (int i = 0; i < Records; ++i) {
        ReplyRecord& r = records.beginProbe();
        r.setStamp(start.addSecs(i));
        r.setAddress(targets.targetIP.at(i % Targets));
        r.size = qint16(32 << ((i / 1000) % 3));
        stats.sentCount += 1;
        if (i % 10 == 9) {
            r.time = -1;
            r.status = 11010;
            stats.addLoss();
        } else {
            r.time = i % 7;
            r.ttl = 64;
            stats.addSuccess(r.time, r.ttl);
        }
        records.endProbe();
    }
}

double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

// The floor: the same bytes through a buffered file, no temporary file, no sync.
double plainWrite(const QString& path, const QStringList& lines) {
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    QByteArray data;
    for (const QString& line : lines)
        data += line.toUtf8() + "\r\n";
    file.write(data);
    file.close();
    return seconds(timer);
}

void timeExport(const char* name, const QString& path, const RunResults& run, bool csv) {
    QElapsedTimer timer;
    timer.start();
    StampFormatter stamps;
    const QStringList lines = csv ? PingCsvLines(run, stamps) : PingTextLines(run, stamps);
    const double built = seconds(timer);
    const bool ok = WriteTextFileAtomically(path, lines, nullptr);
    const double export_ = seconds(timer);
    const double floor = plainWrite(path + QStringLiteral(".floor"), lines);
    std::printf("%-12s %8.3f s   floor %8.3f s   ratio %5.2f   (lines %.3f s, write %.3f s)   %s\n",
                name, export_, floor, floor > 0 ? export_ / floor : 0.0, built, export_ - built,
                ok ? "written" : "WRITE FAILED");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    ReplyRecords records;
    RunStatistics stats;
    ExpandedTargets targets;
    fill(records, stats, targets);
    const RunResults run{records, stats, targets, 1};
    std::printf("%d records of %d targets\n", Records, Targets);
    timeExport("text export", folder + QStringLiteral("/ping.txt"), run, false);
    timeExport("csv export", folder + QStringLiteral("/ping.csv"), run, true);

    QElapsedTimer timer;
    timer.start();
    StampFormatter stamps;
    const SummaryReport byPeriod = BuildPeriodReport(run, 5, stamps);
    std::printf("%-12s %8.3f s   %zu targets\n", "period build", seconds(timer),
                byPeriod.targets.size());
    timer.restart();
    const SummaryReport bySize = BuildSizeReport(run, stamps);
    std::printf("%-12s %8.3f s   %lld sizes\n", "size build", seconds(timer),
                static_cast<long long>(bySize.sizeSteps.size()));
    return 0;
}
