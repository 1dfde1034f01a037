#pragma once

#include <QString>
#include <optional>

namespace sondrel {

// Exit statuses of the console scan.
enum ScanExit {
    ScanSomeAnswered = 0,  // at least one address answered
    ScanNoneAnswered = 1,  // the scan ran and no address answered
    ScanRefused = 2,       // the targets were refused or nothing could be scanned
};

// The entry line of a range "A-B" in the range dialog's form; nothing unless both ends are
// addresses.
std::optional<QString> ConsoleScanRange(const QString& targets);

// Scans the targets (an address or name, a range "A-B", or list positions "/3/") without a
// window: one line per address in table order once the scan has finished, then the totals and
// the completion line. Ctrl+C stops as the stop command does. Needs a QCoreApplication.
int RunConsoleScan(const QString& targets);

}  // namespace sondrel
