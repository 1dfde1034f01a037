#pragma once

#include <QStringList>
#include <algorithm>

namespace sondrel {

// Sorts texts by their first `length` characters, compared code by code; texts that agree
// there keep their order.
inline void SortByLeadingCharacters(QStringList& texts, qsizetype length) {
    std::stable_sort(texts.begin(), texts.end(), [length](const QString& a, const QString& b) {
        return QStringView(a).left(length) < QStringView(b).left(length);
    });
}

}  // namespace sondrel
