#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace sondrel {

// Splits a command line into words by the quoting rules of the POSIX shell, without running
// one: blanks separate words, '…' keeps everything literally, "…" keeps everything but a
// backslash before " \ $ ` or a newline, and a backslash outside quotes takes the next
// character as it is. Nothing is expanded. Nothing when a quote is left open or the line
// ends in a lone backslash.
std::optional<QStringList> SplitCommandWords(const QString& line);

}  // namespace sondrel
