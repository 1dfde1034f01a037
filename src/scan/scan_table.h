#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace sondrel {

// One scanned address; every field is text as the rows show it.
struct ScanRecord {
    QString Address;
    QString PingResult;  // empty: not reported; "无效": no answer; else the time in ms
    QString HostName;
    QString MacAddress;  // 00-1A-2B-3C-4D-5E or empty
    QString Ttl;
};
using ScanTable = std::vector<ScanRecord>;

inline const QString ScanNoAnswer = QStringLiteral("无效");
inline constexpr int ScanRowCount = 21;

// Background colours of the rows, as 0x00BBGGRR values.
namespace ScanColour {
inline constexpr unsigned Cleared = 0x404040;
inline constexpr unsigned Pending = 0xC0C0C0;
inline constexpr unsigned Silent = 0x808080;
inline constexpr unsigned Answered = 0xFFC0C0;
}  // namespace ScanColour

// The six captions of a display row (ssTYPE, ssIP, sMS, sHOST, sMAC, sTTL) and its colour.
struct ScanRowView {
    QString number, address, ping, host, mac, ttl;
    unsigned colour = ScanColour::Cleared;
};
using ScanRowViews = std::array<ScanRowView, ScanRowCount>;

// The display row of table row `index`.
ScanRowView ScanRowOf(const ScanRecord& record, qsizetype index);

// The first and last table row on display for the scroll value `value`, the scroll maximum
// and the number of reports awaited.
struct ScanWindow {
    qsizetype top = 0;
    qsizetype bottom = 0;
};
ScanWindow ChooseScanWindow(qsizetype expected, qsizetype value, qsizetype maximum);

// The rows a view keeps: "全部", "活动" (answered) or "非活动" (no answer), in table order.
ScanTable FilterScanTable(const ScanTable& table, const QString& filter);

// What one report did to the counters.
enum class ReportEffect { Active, Inactive, Neither };

// Files a report text "ROW,PING[,TTL,HOST,MAC]" into `table`; a missing field or a row outside
// the table skips only the assignments it concerns.
ReportEffect ApplyScanReport(ScanTable& table, const QString& text);

// The hardware addresses of /proc/net/arp by IPv4 address, in the shown form; incomplete
// entries (all-zero address) are left out.
QMap<QString, QString> ParseArpTable(const QString& text);

// The hardware address in the text of /sys/class/net/IFACE/address, in the shown form;
// nothing when the text holds none.
std::optional<QString> ParseInterfaceAddress(const QString& text);

// "aa:bb:cc:dd:ee:ff" (or with "-") as "AA-BB-CC-DD-EE-FF"; nothing for anything else.
std::optional<QString> ShownMacAddress(const QString& text);

}  // namespace sondrel
