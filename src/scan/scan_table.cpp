#include "scan/scan_table.h"

#include <QRegularExpression>
#include <algorithm>

#include "common/leading_number.h"

namespace sondrel {

ScanRowView ScanRowOf(const ScanRecord& record, qsizetype index) {
    ScanRowView row;
    row.number = QString::number(index + 1) + QLatin1Char('.');
    row.address = record.Address;
    row.host = record.HostName;
    row.mac = record.MacAddress;
    row.ttl = record.Ttl;
    const QString ping = record.PingResult.trimmed();
    if (ping == ScanNoAnswer) {
        row.ping = record.PingResult;
        row.colour = ScanColour::Silent;
    } else if (ping.isEmpty()) {
        row.ping = QStringLiteral("侦测 ...");
        row.colour = ScanColour::Pending;
    } else {
        row.ping = ping + QStringLiteral(" ms");
        row.colour = ScanColour::Answered;
    }
    return row;
}

ScanWindow ChooseScanWindow(qsizetype expected, qsizetype value, qsizetype maximum) {
    if (expected > 20 && value < 20)
        return {0, 20};
    if (expected > 19 || value > 19)
        return {value < 20 ? 0 : value - 20, value};
    return {0, maximum};
}

ScanTable FilterScanTable(const ScanTable& table, const QString& filter) {
    ScanTable kept;
    for (const ScanRecord& record : table) {
        const QString ping = record.PingResult;
        if (filter == QStringLiteral("活动") && (ping.isEmpty() || ping == ScanNoAnswer))
            continue;
        if (filter == QStringLiteral("非活动") && ping != ScanNoAnswer)
            continue;
        kept.push_back(record);
    }
    return kept;
}

ReportEffect ApplyScanReport(ScanTable& table, const QString& text) {
    const QStringList fields = text.split(QLatin1Char(','));
    const double number = LeadingNumber(fields[0].trimmed());
    const qint64 row = WholeNumber(number);
    ScanRecord* record = row >= 0 && row < qint64(table.size()) ? &table[size_t(row)] : nullptr;
    if (record && fields.size() > 1)
        record->PingResult = fields[1].trimmed();
    if (fields.size() >= 4) {
        if (record) {
            record->Ttl = fields[2].trimmed();
            record->HostName = fields[3].trimmed();
            if (fields.size() > 4)
                record->MacAddress = fields[4].trimmed();
        }
        return ReportEffect::Active;
    }
    return fields.size() == 2 ? ReportEffect::Inactive : ReportEffect::Neither;
}

std::optional<QString> ShownMacAddress(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9A-Fa-f]{2}([:-][0-9A-Fa-f]{2}){5}$"));
    const QString trimmed = text.trimmed();
    if (!pattern.match(trimmed).hasMatch())
        return std::nullopt;
    QString shown = trimmed.toUpper();
    shown.replace(QLatin1Char(':'), QLatin1Char('-'));
    return shown;
}

QMap<QString, QString> ParseArpTable(const QString& text) {
    QMap<QString, QString> addresses;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        // IP address, HW type, Flags, HW address, Mask, Device
        const QStringList columns = line.simplified().split(QLatin1Char(' '));
        if (columns.size() < 4)
            continue;
        const std::optional<QString> mac = ShownMacAddress(columns[3]);
        if (!mac || *mac == QStringLiteral("00-00-00-00-00-00"))
            continue;
        addresses.insert(columns[0], *mac);
    }
    return addresses;
}

std::optional<QString> ParseInterfaceAddress(const QString& text) {
    return ShownMacAddress(text);
}

}  // namespace sondrel
