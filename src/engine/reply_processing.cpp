#include "engine/reply_processing.h"

#include <QStringBuilder>

namespace sondrel {

namespace {

QString fixedWidth(const QString& text, qsizetype width) {
    return text.leftJustified(width, QLatin1Char(' '), true);
}

}  // namespace

ProbeResult RecordProbe(ReplyRecords& records, RunStatistics& stats, const QString& address,
                        qint32 probeSize, const EchoReply& reply, const QDateTime& when) {
    ProbeResult result;
    result.index = records.index();
    result.statusText = EchoStatusText(reply.status);
    stats.sentCount += 1;

    ReplyRecord& record = records.beginProbe();
    record.setStamp(when);
    record.setAddress(address);
    record.size = qint16(probeSize);
    record.status = reply.status;

    const QString prefix = RecordStamp(record) % QStringLiteral("   回覆 ") % address;
    const QString bytes = QStringLiteral("bytes=") % QString::number(probeSize);
    // Only status 0 has a text with "成功" in it: the one kind of success.
    if (result.statusText.contains(QStringLiteral("成功"))) {
        const qint32 rtt = qint32(std::min<quint32>(reply.roundTripTime, 0x7fffffff));
        record.time = rtt > 0 ? rtt : 0;
        const QString timeText =
            rtt > 0 ? QLatin1Char('=') + QString::number(rtt) : QStringLiteral("<1");
        const QString tail = QStringLiteral("  时间") % timeText % QStringLiteral("ms  TTL=") %
                             QString::number(reply.ttl);
        stats.lastReplyLine = fixedWidth(prefix % QStringLiteral(":  ") % bytes % tail, 100);
        result.line = {prefix, bytes % tail % QStringLiteral("  ok")};
        record.ttl = reply.ttl;
        stats.addSuccess(record.time, record.ttl);
    } else {
        stats.lastReplyLine = fixedWidth(
            prefix % QStringLiteral(":  ") % bytes % QStringLiteral("  ") % result.statusText, 100);
        result.line = {prefix, bytes % QStringLiteral("  ") % result.statusText};
        record.time = -1;
        record.ttl = 0;
        stats.addLoss();
    }
    return result;
}

}  // namespace sondrel
