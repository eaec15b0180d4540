#include "server_kind.h"

#include "postgres_dialect.h"
#include "sqlite_codes.h"

using namespace Qt::StringLiterals;

namespace adodb {

namespace {

// Integer keys: @@IDENTITY is numeric(38,0), and an expression column may come as text.
Variant firstInteger(const Rowset& rows)
{
    if (rows.rowCount() == 0 || rows.cells.front().isNull()) return Variant::Null();
    return Variant(static_cast<long long>(rows.cells.front().toInt64()));
}

class SqlServerKind final : public ServerKind {
public:
    QString quoteIdentifier(const QString& name) const override { return u'[' + QString(name).replace(u"]"_s, u"]]"_s) + u']'; }
    Variant lastInsertId(const Query& query) const override { return firstInteger(query(u"SELECT @@IDENTITY"_s)); }
    bool storesNul() const override { return true; }
};

// SQLite through its ODBC driver: statements reach it as written.
class SqliteOdbcKind final : public ServerKind {
public:
    Variant lastInsertId(const Query& query) const override { return firstInteger(query(u"SELECT last_insert_rowid()"_s)); }
    // The driver mangles statement text that arrives as UTF-16 (letters
    // outside ASCII lose their upper byte); through the narrow calls it takes UTF-8.
    bool wantsUtf8Statements() const override { return true; }
    // The driver answers HY000 to every failure and passes SQLite's result
    // code as the native code; with the message it tells the classes apart.
    void fixUp(Error& record) const override
    {
        if (record.SQLState == u"HY000") record.SQLState = SqliteSqlState(record.NativeError, record.Description);
    }
};

}  // namespace

QString ServerKind::quoteIdentifier(const QString& name) const
{
    return u'"' + QString(name).replace(u"\""_s, u"\"\""_s) + u'"';
}

std::unique_ptr<ServerKind> ServerKindFor(const QString& dbmsName)
{
    if (dbmsName.contains(u"SQL Server", Qt::CaseInsensitive)) return std::make_unique<SqlServerKind>();
    if (dbmsName.contains(u"PostgreSQL", Qt::CaseInsensitive)) return makePostgresKind();
    if (dbmsName.contains(u"SQLite", Qt::CaseInsensitive)) return std::make_unique<SqliteOdbcKind>();
    return std::make_unique<ServerKind>();
}

}  // namespace adodb
