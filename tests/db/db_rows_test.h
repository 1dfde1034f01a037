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
    void set(const QString& times, const QString& repeat = QStringLiteral("1")) {
        params.setText(ParameterBox::Interval, QStringLiteral("1000"));
        params.setText(ParameterBox::Size, QStringLiteral("32"));
        params.setText(ParameterBox::Times, times);
        params.setText(ParameterBox::RepIP, repeat);
    }
    StartResult start(const QStringList& entries) {
        request = TargetRequest{};
        request.hasCurrentItem = true;
        request.selectedEntries = entries;
        return test.CommandStart_Click(request);
    }
    TargetRequest request;
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
