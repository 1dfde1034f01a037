#include "targets/target_expansion.h"

#include <QCoreApplication>
#include <QLatin1Char>
#include <QLatin1StringView>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "common/text_file.h"

namespace sondrel {

namespace {

using Octets = std::array<int, 4>;

// Probed texts longer than this move the detail column of the results view.
constexpr qsizetype LongAddressLength = 13;
constexpr qsizetype MaxLabelLength = 999;

void YieldToEventLoop() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

void AppendTarget(ExpandedTargets& targets, const QString& ip, const QString& show,
                  const QString& title) {
    if (targets.count() >= MaxExpandedTargets) {
        targets.tooMany = true;
        return;
    }
    targets.targetIP.append(ip);
    targets.targetShow.append(show);
    targets.targetTitle.append(title);
    if (ip.size() > LongAddressLength)
        targets.longAddressFlag = true;
}

void NoteUnresolved(ExpandedTargets& targets, const QString& text) {
    ++targets.unresolvedCount;
    targets.unresolvedText += QLatin1StringView("\r\n       ") + text;
}

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool OnlyDigitsAndDots(const QString& text) {
    for (const QChar c : text) {
        if (!IsAsciiDigit(c) && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

// A part whose numeric value is zero: only zeros, or nothing at all.
bool IsZeroPart(const QString& part) {
    for (const QChar c : part) {
        if (c != QLatin1Char('0'))
            return false;
    }
    return true;
}

QString FormatAddress(const Octets& o) {
    return QStringLiteral("%1.%2.%3.%4").arg(o[0]).arg(o[1]).arg(o[2]).arg(o[3]);
}

// Four dot-separated parts, each digits (spaces around them allowed) that convert to a 16-bit
// integer in 0..255.
std::optional<Octets> ParseOctets(const QStringList& parts) {
    if (parts.size() != 4)
        return std::nullopt;
    Octets octets{};
    for (int i = 0; i < 4; ++i) {
        const QString digits = TrimSpaces(parts[i]);
        if (!std::all_of(digits.begin(), digits.end(), IsAsciiDigit))
            return std::nullopt;
        bool ok = false;
        const short value = digits.toShort(&ok);
        if (!ok || value < 0 || value > 255)
            return std::nullopt;
        octets[i] = value;
    }
    return octets;
}

// The values one octet position runs through: up by one, or down when `to` is smaller.
QList<int> OctetRun(int from, int to) {
    QList<int> run;
    const int step = to < from ? -1 : 1;
    for (int v = from;; v += step) {
        run.append(v);
        if (v == to)
            break;
    }
    return run;
}

}  // namespace

void ExpandedTargets::clear() {
    targetIP.clear();
    targetShow.clear();
    targetTitle.clear();
    unresolvedCount = 0;
    unresolvedText.clear();
    longAddressFlag = false;
    tooMany = false;
}

QString TooManyTargetsText() {
    return QStringLiteral("选择的目标超过 ") + QString::number(MaxExpandedTargets) +
           QStringLiteral(" 个地址，请缩小范围。");
}

QString UnresolvedNamesText(const ExpandedTargets& targets) {
    if (targets.unresolvedCount <= 0)
        return {};
    QString list = targets.unresolvedText;
    if (targets.unresolvedCount > 9)
        list = list.left(20) + QStringLiteral("  ........");
    return QStringLiteral("找不到下面 IP 地址") + QString::number(targets.unresolvedCount) +
           QStringLiteral(" 主机:\r\n") + list;
}

AddressCheck ClassifyAddress(const QString& text) {
    AddressCheck check;
    check.examined = QString(text).remove(QLatin1Char(' '));
    const QString& t = check.examined;
    if (t.count(QLatin1Char('.')) < 2 || !OnlyDigitsAndDots(t)) {
        check.kind = AddressKind::HostName;
        return check;
    }
    check.kind = AddressKind::InvalidAddress;
    const QStringList parts = t.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return check;
    if (std::all_of(parts.begin(), parts.end(), IsZeroPart))
        return check;
    const std::optional<Octets> octets = ParseOctets(parts);
    if (!octets)
        return check;
    check.kind = AddressKind::Address;
    check.normalized = FormatAddress(*octets);
    return check;
}

QString NormalizeIpAddress(const QString& text) {
    const QString t = TrimSpaces(text);
    if (t.count(QLatin1Char('.')) != 3 || !OnlyDigitsAndDots(t))
        return {};
    const std::optional<Octets> octets = ParseOctets(t.split(QLatin1Char('.')));
    return octets ? FormatAddress(*octets) : QString();
}

std::pair<QString, QString> SplitTargetText(const QString& text) {
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        const QString host = text.mid(comma + 1).section(QLatin1Char(','), 0, 0);
        return {host, text.left(comma)};
    }
    const qsizetype paren = text.indexOf(QLatin1Char('('));
    if (paren >= 0) {
        QString label = text.mid(paren + 1, MaxLabelLength);
        label.remove(QLatin1Char(')'));
        return {TrimSpaces(text.left(paren)), label};
    }
    return {text, QString()};
}

QString EntryTitle(const QString& entryLine) {
    return entryLine.mid(1).section(QLatin1Char(','), 0, 0);
}

QString AddTargetAddress(ExpandedTargets& targets, const QString& text, const ResolveFn& resolve) {
    const auto [host, label] = SplitTargetText(text);
    if (ClassifyAddress(host).kind != AddressKind::HostName) {
        AppendTarget(targets, host, host, label);
        return host;
    }
    // A blank host is never handed to the resolver: it names no host at all.
    if (TrimSpaces(host).isEmpty() || !resolve)
        return {};
    const QString address = resolve(host);
    if (address.isEmpty())
        return {};
    AppendTarget(targets, address, host + QLatin1StringView(" / ") + address, label);
    return address;
}

void ExpandTargetEntry(ExpandedTargets& targets, const QString& entryLine,
                       const ResolveFn& resolve) {
    if (entryLine.isEmpty())
        return;
    const QChar kind = entryLine.at(0);
    const QString payload = TrimSpaces(entryLine.mid(1));
    if (kind == QLatin1Char('A')) {
        if (AddTargetAddress(targets, payload, resolve).isEmpty())
            NoteUnresolved(targets, payload);
    } else if (kind == QLatin1Char('B')) {
        const QStringList fields = payload.split(QLatin1Char(','));
        for (qsizetype i = 1; i < fields.size(); ++i) {
            if (AddTargetAddress(targets, fields[i], resolve).isEmpty()) {
                NoteUnresolved(targets, fields[i]);
            }
            YieldToEventLoop();
        }
    } else if (kind == QLatin1Char('C')) {
        const QStringList fields = payload.split(QLatin1Char(','));
        ExpandAddressRange(targets, fields.value(1), fields.value(2));
    }
}

void ExpandAddressRange(ExpandedTargets& targets, const QString& start, const QString& end) {
    const std::optional<Octets> s = ParseOctets(start.split(QLatin1Char('.')));
    const std::optional<Octets> e = ParseOctets(end.split(QLatin1Char('.')));
    if (!s || !e)
        return;
    // The size of the box comes first: a range of millions is refused before any memory is
    // set aside for it (at most 256^4, so the product fits).
    qint64 total = 1;
    for (int i = 0; i < 4; ++i)
        total *= std::abs((*e)[i] - (*s)[i]) + 1;
    if (total > MaxExpandedTargets - targets.count()) {
        targets.tooMany = true;
        return;
    }
    std::array<QList<int>, 4> runs;
    for (int i = 0; i < 4; ++i)
        runs[i] = OctetRun((*s)[i], (*e)[i]);
    const qsizetype wanted = targets.count() + qsizetype(total);
    targets.targetIP.reserve(wanted);
    targets.targetShow.reserve(wanted);
    targets.targetTitle.reserve(wanted);
    for (const int o1 : runs[0]) {
        for (const int o2 : runs[1]) {
            for (const int o3 : runs[2]) {
                const QString prefix = QStringLiteral("%1.%2.%3.").arg(o1).arg(o2).arg(o3);
                for (const int o4 : runs[3]) {
                    const QString address = prefix + QString::number(o4);
                    AppendTarget(targets, address, address, QString());
                }
                // One yield per run of the last octet (at most 256 addresses) keeps the
                // window responsive without paying for an event pass per address.
                YieldToEventLoop();
            }
        }
    }
}

}  // namespace sondrel
