#include "engine/result_log_reload.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include "common/text_file.h"
#include "targets/target_expansion.h"

namespace sondrel {

namespace {

// Whole-number conversion of a stored field: numeric text rounded half to even, in range.
std::optional<qint64> storedNumber(const QByteArray& text, qint64 low, qint64 high) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double whole = std::nearbyint(value);
    if (whole < double(low) || whole > double(high))
        return std::nullopt;
    return qint64(whole);
}

template <size_t N>
void putText(std::array<char, N>& field, const QByteArray& text) {
    const QByteArray fitted = text.leftJustified(qsizetype(N), ' ', true);
    std::copy_n(fitted.constData(), N, field.data());
}

std::optional<qint64> headerField(const QList<QByteArray>& fields, int i) {
    if (i >= fields.size())
        return std::nullopt;
    return storedNumber(fields[i], INT32_MIN, INT32_MAX);
}

// A log line with a bad character is not one of ours; NUL and non-ASCII bytes are refused.
bool plainAscii(const QByteArray& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

}  // namespace

std::optional<ReplyRecord> ParseRunLogLine(const QByteArray& line) {
    if (!plainAscii(line))
        return std::nullopt;
    const QList<QByteArray> f = line.split(',');
    if (f.size() < 11)
        return std::nullopt;
    const auto size = storedNumber(f[7], INT16_MIN, INT16_MAX);
    const auto time = storedNumber(f[8], INT32_MIN, INT32_MAX);
    const auto ttl = storedNumber(f[9], INT16_MIN, INT16_MAX);
    const auto status = storedNumber(f[10], INT32_MIN, INT32_MAX);
    if (!size || !time || !ttl || !status)
        return std::nullopt;
    ReplyRecord r;
    putText(r.year, f[0]);
    putText(r.month, f[1]);
    putText(r.day, f[2]);
    putText(r.hour, f[3]);
    putText(r.minute, f[4]);
    putText(r.second, f[5]);
    putText(r.address, f[6]);
    r.size = qint16(*size);
    r.time = qint32(*time);
    r.ttl = qint16(*ttl);
    r.status = qint32(*status);
    return r;
}

void ReloadTally::add(const ReplyRecord& r) {
    lines_ += 1;
    if (r.time == -1) {
        lost_ += 1;
        return;
    }
    max_ = std::max(max_, r.time);
    min_ = std::min(min_, r.time);
    timeSum_ += r.time;
    ttlSum_ += r.ttl;
}

RunStatistics ReloadTally::finish() const {
    RunStatistics s;
    s.reset();
    s.sentCount = lines_;
    s.lostCount = lost_;
    const double received = lines_ - lost_;
    s.avgRtt = RoundedAverage(timeSum_, received);
    s.avgTtl = RoundedAverage(ttlSum_, received);
    s.maxRtt = max_;
    s.minRtt = min_;
    for (qint32* value : {&s.maxRtt, &s.minRtt, &s.avgRtt})
        if (*value == 0)
            *value = 1;
    return s;
}

bool ReadRunLog(const QString& path, ReloadedRun& out) {
    QFile file;
    if (!OpenRegularFile(file, path))
        return false;
    const QByteArray headerLine = file.readLine().trimmed();
    if (headerLine.isEmpty())
        return false;
    const QList<QByteArray> header = headerLine.split(',');
    // Only the newest records are kept, as during a run; older ones fall out of a ring.
    std::vector<ReplyRecord> ring;
    qint64 count = 0;
    ReloadTally tally;
    bool complete = true;
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine();
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            break;
        const auto record = ParseRunLogLine(line);
        if (!record) {
            // A last line without its line end was cut by a crash or a full disk: the run is
            // every whole line before it.
            complete = file.atEnd() && !raw.endsWith('\n');
            break;
        }
        tally.add(*record);
        if (ring.size() < size_t(ReplyRecords::Capacity))
            ring.push_back(*record);
        else
            ring[size_t(count % ReplyRecords::Capacity)] = *record;
        ++count;
    }
    if (count > ReplyRecords::Capacity)
        std::rotate(ring.begin(), ring.begin() + count % ReplyRecords::Capacity, ring.end());
    out.firstProbe = count - qint64(ring.size());
    out.records = std::move(ring);
    if (!complete || count == 0)
        return false;
    out.stats = tally.finish();
    const auto targetCount = headerField(header, 0);
    out.headerValid = header.size() == 3 && targetCount && *targetCount > 0 &&
                      headerField(header, 1) && headerField(header, 2);
    out.header.targetCount = qint32(targetCount.value_or(out.header.targetCount));
    out.header.sizeStepLength = qint32(headerField(header, 1).value_or(out.header.sizeStepLength));
    out.header.repeatPerIP = qint32(headerField(header, 2).value_or(out.header.repeatPerIP));
    return true;
}

}  // namespace sondrel

namespace sondrel {

QString ReloadTargetTable(const QString& path, qint32 count, QStringList& show,
                          QStringList& title) {
    show.clear();
    title.clear();
    if (!QFile::exists(path))
        return {};
    bool ok = false;
    const QStringList lines = ReadTextLines(path, &ok);
    if (!ok)
        return QStringLiteral("无法读取文件 ") + path;
    // A header that claims more targets than the table holds is filled with empty texts, but
    // never beyond what a real run could have had.
    const qint32 wanted =
        std::clamp<qint64>(count, 0, std::max<qint64>(lines.size(), MaxExpandedTargets));
    for (qint32 i = 0; i < wanted; ++i) {
        const QString line = i < lines.size() ? TrimSpaces(lines[i]) : QString();
        const QStringList fields = line.split(QLatin1Char(','));
        show << fields.value(0);
        title << (fields.size() > 1 ? fields[1] : QString());
    }
    return {};
}

}  // namespace sondrel
