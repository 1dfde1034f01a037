#include "db/db_setup.h"

#include <sys/stat.h>
#include <QFile>
#include <cerrno>
#include <cstring>

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

QStringList kindLines(const DbSetup& setup) {
    switch (KindOf(setup.dbKind)) {
        case DbKindOf::File:
            return {QStringLiteral("1"), setup.accessPath, setup.accessPassword};
        case DbKindOf::SqlServer:
            return {QStringLiteral("2"), setup.sqlServer,   setup.sqlAuthentication,
                    setup.sqlLogin,      setup.sqlPassword, setup.sqlDatabase};
        case DbKindOf::Odbc:
            break;
    }
    return {QStringLiteral("3"), setup.odbcDsn, setup.odbcLogin, setup.odbcPassword,
            setup.odbcDatabase};
}

}  // namespace

DbKindOf KindOf(const QString& dbKind) {
    if (dbKind == QStringLiteral("1"))
        return DbKindOf::File;
    if (dbKind == QStringLiteral("2"))
        return DbKindOf::SqlServer;
    return DbKindOf::Odbc;
}

QStringList DbSetupLines(const DbSetup& setup) {
    QStringList lines = kindLines(setup);
    lines << setup.tableName;
    for (int i = 0; i < 8; ++i)
        lines << setup.columns.value(i);
    for (QString& line : lines)
        line = TrimSpaces(line);
    return lines;
}

// The temporary file is made with the owner's rights only (the mask covers its creation), and
// an existing file loses any wider rights first, since the new one takes over its mode.
QString WriteDbSetup(const QString& path, const DbSetup& setup) {
    const QByteArray name = QFile::encodeName(path);
    struct stat old {};
    if (::stat(name.constData(), &old) == 0 && (old.st_mode & 077) != 0 &&
        ::chmod(name.constData(), old.st_mode & 0700) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    QString error;
    const mode_t mask = ::umask(077);
    const bool written = WriteTextFileAtomically(path, DbSetupLines(setup), &error);
    ::umask(mask);
    return written ? QString() : error;
}

QStringList DefaultColumnNames() {
    return {QStringLiteral("IPAddress"),
            QStringLiteral("主机名"),
            QStringLiteral("TestDate"),
            QStringLiteral("TestTime"),
            QStringLiteral("SendBufferSize"),
            QStringLiteral("RoundTripTime"),
            QStringLiteral("TTL"),
            QStringLiteral("TestStatus")};
}

QString DefaultDatabasePath(const QString& dataFolder) {
    QString folder = dataFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + DefaultDatabaseFileName;
}

DbSetup DefaultDbSetup(const QString& dataFolder) {
    DbSetup setup;
    setup.dbKind = QStringLiteral("1");
    setup.accessPath = DefaultDatabasePath(dataFolder);
    setup.tableName = DefaultTableName;
    setup.columns = DefaultColumnNames();
    return setup;
}

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
