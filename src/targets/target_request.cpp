#include "targets/target_request.h"

#include <QSet>

#include "common/resolver.h"

namespace sondrel {

namespace {

// Appends one single target; an unresolved one is listed for the start's message.
void addSingleTarget(ExpandedTargets& targets, const QString& text, const ResolveFn& resolve) {
    const QString address = AddTargetAddress(targets, text, resolve);
    if (address.isEmpty()) {
        targets.unresolvedCount += 1;
        targets.unresolvedText += QStringLiteral("\r\n") + QString(7, QLatin1Char(' ')) + text;
    }
}

}  // namespace

void ExpandTargetRequest(ExpandedTargets& targets, const TargetRequest& request,
                         const ResolveFn& resolve) {
    if (!request.manualSingle.isEmpty()) {
        addSingleTarget(targets, request.manualSingle, resolve);
    } else if (!request.manualGroup.isEmpty()) {
        ExpandTargetEntry(targets, request.manualGroup, resolve);
    } else if (!request.hasCurrentItem) {
        addSingleTarget(targets, request.textPing, resolve);
    } else {
        for (const QString& entry : request.selectedEntries)
            ExpandTargetEntry(targets, entry, resolve);
        if (request.selectedEntries.isEmpty() && targets.count() == 0 &&
            !request.currentItemText.isEmpty())
            ExpandTargetEntry(targets, request.currentEntry, resolve);
    }
}

void TargetExpansion::start(Resolver& resolver, const TargetRequest& request, Done done) {
    QSet<QString> names;
    ExpandedTargets scratch;
    ExpandTargetRequest(scratch, request, [&names](const QString& host) {
        names.insert(host);
        return QString();
    });
    auto token = std::make_shared<int>(0);
    pending_ = token;
    std::weak_ptr<int> alive = token;
    resolver.resolveMany(QStringList(names.begin(), names.end()),
                         [this, alive, request, done](const Resolver::Resolved& answers) {
                             if (alive.expired())
                                 return;  // cancelled, or a newer start took over
                             pending_.reset();
                             ExpandedTargets targets;
                             ExpandTargetRequest(targets, request, [&answers](const QString& h) {
                                 return answers.value(h);
                             });
                             done(targets);
                         });
}

void TargetExpansion::cancel() {
    pending_.reset();
}

}  // namespace sondrel
