#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

namespace sondrel {

// The flat target list of one run: the three lists share one index.
struct ExpandedTargets {
    QStringList targetIP;     // the text that is probed
    QStringList targetShow;   // the text shown for the target
    QStringList targetTitle;  // entry title, member label, or empty for range addresses
    int unresolvedCount = 0;
    QString unresolvedText;        // CR LF + 7 spaces + text, per unresolved name
    bool longAddressFlag = false;  // some probed text is longer than 13 characters
    bool tooMany = false;          // targets beyond MaxExpandedTargets were refused

    int count() const { return int(targetIP.size()); }
    void clear();
};

// The most targets one run may have; a request that would expand to more is refused whole
// before anything is allocated for it. The target table reload uses the same bound.
inline constexpr qsizetype MaxExpandedTargets = qsizetype(1) << 20;

// The message for a request beyond MaxExpandedTargets.
QString TooManyTargetsText();

// The message naming the host names a start could not resolve (the list cut to its first 20
// characters beyond nine names); empty when every name resolved.
QString UnresolvedNamesText(const ExpandedTargets& targets);

// Resolves a host name to a dotted address; an empty result means it did not resolve.
using ResolveFn = std::function<QString(const QString& host)>;

enum class AddressKind { Address, InvalidAddress, HostName };

struct AddressCheck {
    AddressKind kind = AddressKind::HostName;
    QString normalized;  // the address without leading zeros, for kind Address
    QString examined;    // the text examined, every space removed (for error messages)
};

// Tells a dotted IPv4 address apart from an invalid numeric address and a host name.
AddressCheck ClassifyAddress(const QString& text);

// Strict address check: the normalised address, or empty. Accepts 0.0.0.0.
QString NormalizeIpAddress(const QString& text);

// Host part and label of a target text ("title,host" or "host (label)").
std::pair<QString, QString> SplitTargetText(const QString& text);

// The title of an entry line: the first field after the kind letter.
QString EntryTitle(const QString& entryLine);

// Appends one target; returns the probed address, or empty (nothing appended) when a host name
// does not resolve. Numeric texts are probed as typed, valid or not.
QString AddTargetAddress(ExpandedTargets& targets, const QString& text, const ResolveFn& resolve);

// Appends the targets of one entry line ("A" single, "B" group, "C" range) and records the
// names that did not resolve. Malformed lines append what they can and never fail.
void ExpandTargetEntry(ExpandedTargets& targets, const QString& entryLine,
                       const ResolveFn& resolve);

// Appends every address of the box spanned octet by octet from start to end; each octet runs
// up or down on its own. Bounds that are not four octets in 0..255 give no targets. A range
// that would take the list beyond MaxExpandedTargets appends nothing and sets `tooMany`.
void ExpandAddressRange(ExpandedTargets& targets, const QString& start, const QString& end);

}  // namespace sondrel
