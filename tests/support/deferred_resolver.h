#pragma once

#include <QHash>
#include <QStringList>
#include <functional>

#include "common/resolver.h"

namespace sondrel::testing {

// Names resolve from a table, but resolveMany answers only when the test calls answer():
// the look-up of a start is still running until then.
class DeferredResolver final : public Resolver {
  public:
    QString hostNameToAddress(const QString& name) override { return names.value(name); }
    QString localHostAddress() override { return QStringLiteral("192.168.0.10"); }
    void resolveMany(const QStringList& asked, std::function<void(Resolved)> done) override {
        Resolved result;
        for (const QString& name : asked)
            result.insert(name, names.value(name));
        held.append([result, done] { done(result); });
    }
    // Delivers every held answer; returns how many there were.
    int answer() {
        const QList<std::function<void()>> now = std::exchange(held, {});
        for (const auto& deliver : now)
            deliver();
        return int(now.size());
    }

    QHash<QString, QString> names;
    QList<std::function<void()>> held;
};

}  // namespace sondrel::testing
