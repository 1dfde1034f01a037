#pragma once

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include "db/db_connection.h"
#include "db/db_reply_sink.h"
#include "support/engine_rig.h"

namespace sondrel::testing {

// A ping test over fakes whose replies go to the database of `setup`.
struct DbRig : EngineRig {
    void logTo(const DbSetup& setup) {
        test.setReplySinkFactory([this, setup] {
            return std::make_unique<DbReplySink>(setup, folder.path() + "/", prompts);
        });
    }
    // One probe a second of 32 bytes.
    void set(const QString& times, const QString& repeat = QStringLiteral("1")) {
        EngineRig::set(QStringLiteral("1000"), QStringLiteral("32"), times, repeat);
    }
};

// Every row of `select` as texts.
inline QList<QStringList> RowsOf(const DbConnection& connection, const QString& select) {
    QList<QStringList> out;
    ScopedDatabase db(connection);
    QSqlQuery query(db.database());
    if (!query.exec(select))
        return out;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i).toString();
        out << row;
    }
    return out;
}

}  // namespace sondrel::testing
