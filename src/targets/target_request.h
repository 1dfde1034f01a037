#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "targets/target_expansion.h"

namespace sondrel {

class Resolver;

// Where the targets of a start come from, taken in this order: a pending manual single
// target, a pending manual group, the manual box when the list has no current item, the
// selected list entries, the current entry.
struct TargetRequest {
    QString manualSingle;
    QString manualGroup;  // a group entry line
    bool hasCurrentItem = false;
    QString textPing;             // the manual target box
    QStringList selectedEntries;  // entry lines of the selected list items, in list order
    QString currentEntry;         // entry line of the current list item
    QString currentItemText;      // its title as the list shows it
};

// One pass over the request in the order above, names resolved by `resolve`.
void ExpandTargetRequest(ExpandedTargets& targets, const TargetRequest& request,
                         const ResolveFn& resolve);

// The two-pass expansion every activity uses: the host names of the request are looked up
// together (away from the event loop when the resolver can), then the request is expanded with
// the answers. `done` runs once, from the event loop, unless cancel() came first.
class TargetExpansion {
  public:
    using Done = std::function<void(ExpandedTargets&)>;

    void start(Resolver& resolver, const TargetRequest& request, Done done);
    // The answers of a running look-up are dropped; `done` never runs.
    void cancel();
    bool pending() const { return pending_ != nullptr; }

  private:
    std::shared_ptr<int> pending_;
};

}  // namespace sondrel
