#include "db/db_setup.h"

#include <QFile>

#include "common/text_file.h"

namespace sondrel {

namespace {

// Reads the next line of the file, trimmed; empty past the end.
class LineCursor {
  public:
    explicit LineCursor(QStringList lines) : lines_(std::move(lines)) {}
    QString next() { return TrimSpaces(lines_.value(position_++)); }

  private:
    QStringList lines_;
    qsizetype position_ = 0;
};

void readKindFields(DbSetup& setup, LineCursor& line) {
    if (setup.dbKind == QStringLiteral("1")) {
        setup.accessPath = line.next();
        setup.accessPassword = line.next();
    } else if (setup.dbKind == QStringLiteral("2")) {
        setup.sqlServer = line.next();
        setup.sqlAuthentication = line.next();
        setup.sqlLogin = line.next();
        setup.sqlPassword = line.next();
        setup.sqlDatabase = line.next();
    } else {
        setup.odbcDsn = line.next();
        setup.odbcLogin = line.next();
        setup.odbcPassword = line.next();
        setup.odbcDatabase = line.next();
    }
}

}  // namespace

DbSetup ReadDbSetup(const QString& path) {
    DbSetup setup;
    if (!QFile::exists(path))
        return setup;
    bool ok = false;
    LineCursor line(ReadTextLines(path, &ok));
    const QString kind = line.next();
    if (!ok || kind.isEmpty() || kind == QStringLiteral("0"))
        return setup;
    setup.dbKind = kind;
    readKindFields(setup, line);
    setup.tableName = line.next();
    for (int i = 0; i < 8; ++i)
        setup.columns << line.next();
    return setup;
}

}  // namespace sondrel
