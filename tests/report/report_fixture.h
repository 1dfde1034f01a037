#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "common/text_file.h"
#include "engine/reply_record.h"
#include "engine/run_results.h"
#include "engine/run_statistics.h"
#include "report/record_stamps.h"
#include "targets/target_expansion.h"

namespace sondrel::testing {

// A run written record by record, the statistics kept as the engine keeps them.
struct RunRig {
    RunRig() {
        stats.reset();
        stats.minRtt = RunStatistics::NoMinimum;
    }
    void target(const QString& ip, const QString& show, const QString& title) {
        targets.targetIP << ip;
        targets.targetShow << show;
        targets.targetTitle << title;
    }
    // One probe; time -1 is a lost reply with `status`.
    void probe(const QDateTime& when, const QString& ip, qint32 time, qint16 ttl, qint16 size = 32,
               qint32 status = 0) {
        ReplyRecord& r = records.beginProbe();
        r.setStamp(when);
        r.setAddress(ip);
        r.size = size;
        r.time = time;
        r.ttl = time == -1 ? 0 : ttl;
        r.status = status;
        stats.sentCount += 1;
        if (time == -1)
            stats.addLoss();
        else
            stats.addSuccess(time, ttl);
        stats.lastReplyLine = RecordStamp(r);
        records.endProbe();
    }
    RunResults run() const { return {records, stats, targets, repeat}; }

    ReplyRecords records;
    RunStatistics stats;
    ExpandedTargets targets;
    qint32 repeat = 1;
};

inline QDateTime At(int hour, int minute, int second, int day = 5) {
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second));
}

// Dates and times in fixed formats, so the golden files hold the same bytes everywhere.
inline StampFormatter FixedStamps() {
    return StampFormatter(QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss"));
}

// A golden file of this folder, its line ends made CR LF as the program writes them.
inline QByteArray Golden(const QString& name) {
    QFile file(
        QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("golden/") + name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll().replace("\n", "\r\n");
}

// The bytes the lines make as a file of the program.
inline QByteArray Written(const QStringList& lines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    EXPECT_TRUE(WriteTextFileAtomically(path, lines, nullptr));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Three targets, two probes each: one lost reply, one under a millisecond.
inline void ThreeTargets(RunRig& rig) {
    rig.repeat = 2;
    rig.target("127.0.0.1", "127.0.0.1", QStringLiteral("本机"));
    rig.target("127.0.0.2", "localhost / 127.0.0.2", "");
    rig.target("127.0.0.3", "127.0.0.3", QStringLiteral("三"));
    rig.probe(At(10, 0, 1), "127.0.0.1", 3, 64);
    rig.probe(At(10, 0, 2), "127.0.0.1", 0, 64);
    rig.probe(At(10, 0, 3), "127.0.0.2", -1, 0, 32, 11010);
    rig.probe(At(10, 0, 4), "127.0.0.2", 5, 63);
    rig.probe(At(10, 0, 5), "127.0.0.3", 7, 128);
    rig.probe(At(10, 0, 6), "127.0.0.3", 2, 128);
}

// Two targets, sizes stepping 32, 64 every two visits, then 32 again.
inline void SteppedSizes(RunRig& rig) {
    rig.target("127.0.0.1", "127.0.0.1", QStringLiteral("甲"));
    rig.target("127.0.0.2", "127.0.0.2", "");
    rig.probe(At(10, 0, 0), "127.0.0.1", 1, 64, 32);
    rig.probe(At(10, 0, 1), "127.0.0.2", -1, 0, 32, 11010);
    rig.probe(At(10, 0, 2), "127.0.0.1", 0, 64, 64);
    rig.probe(At(10, 0, 3), "127.0.0.2", 2, 64, 64);
    rig.probe(At(10, 0, 4), "127.0.0.1", 3, 64, 32);
    rig.probe(At(10, 0, 5), "127.0.0.2", -1, 0, 32, 11010);
}

}  // namespace sondrel::testing
