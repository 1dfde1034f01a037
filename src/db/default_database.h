#pragma once

#include <QSqlDatabase>
#include <QString>

#include "db/db_setup.h"

namespace sondrel {

// Makes sure the default database of the data folder exists: when it is missing it is made
// from the template the program carries (the table "PingLogTable" with the eight default
// columns), in a temporary file renamed into place, so that a failure leaves nothing behind.
// Returns false, with the reason in `error`, when it neither existed nor could be made.
bool EnsureDefaultDatabase(const QString& dataFolder, QString* error = nullptr);

// The set-up logs to the default database of the data folder.
bool IsDefaultDatabase(const DbSetup& setup, const QString& dataFolder);

// A log's settings for the default database: a write-ahead journal, synced at checkpoints
// rather than at every commit (a crash of the computer may cost the last commits, never the
// file). Best effort: a file system that cannot keep the journal keeps the file's own mode.
void UseLogJournal(const QSqlDatabase& db);

// The statement that makes the template's table.
QString DefaultTableSchema();

}  // namespace sondrel
