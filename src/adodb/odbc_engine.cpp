// The server databases (SQL Server through FreeTDS or the vendor's driver,
// Oracle) reached through unixODBC.
#include "odbc_engine_p.h"

#include "postgres_dialect.h"

#include <sql.h>
#include <sqlext.h>

#include <QDate>
#include <QTime>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <map>
#include <utility>

using namespace Qt::StringLiterals;

namespace adodb {

namespace {

// unixODBC's SQLWCHAR is UTF-16, which is what QString holds; wchar_t never crosses.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

const QString kClosedText =
    QStringLiteral("La conexión no se puede usar para realizar esta operación. Está cerrada o no es válida en este contexto.");
const QString kLinkLostText = QStringLiteral("Error de vínculo de comunicación");

SQLWCHAR* wide(const QString& s)
{
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(s.utf16()));
}

// Not QString::fromUtf16, which takes a leading U+FEFF for a byte-order mark and drops it.
QString fromWide(const SQLWCHAR* p, qsizetype chars)
{
    return QString(reinterpret_cast<const QChar*>(p), chars);
}

bool succeeded(SQLRETURN rc)
{
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// ---------------------------------------------------------------------------
// Connection strings

using Pairs = std::vector<std::pair<QString, QString>>;

void setPair(Pairs& pairs, const QString& key, const QString& value)
{
    for (auto& p : pairs)
        if (p.first.compare(key, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    pairs.emplace_back(key, value);
}

void putPair(Pairs& pairs, const QString& key, const QString& value)
{
    if (!value.isEmpty()) setPair(pairs, key, value);
}

// Splits "k=v;k={a;b}" honouring braces. Keys are trimmed because FreeTDS
// silently ignores "Database =" with a blank before the sign.
Pairs splitPairs(const QString& text)
{
    Pairs out;
    QString piece;
    bool inBraces = false;
    auto flush = [&] {
        const qsizetype eq = piece.indexOf(u'=');
        if (eq > 0) {
            const QString key = piece.left(eq).trimmed();
            if (!key.isEmpty()) out.emplace_back(key, piece.mid(eq + 1).trimmed());
        }
        piece.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inBraces) {
            piece += c;
            if (c == u'}') {
                if (i + 1 < text.size() && text.at(i + 1) == u'}')
                    piece += text.at(++i);
                else
                    inBraces = false;
            }
        } else if (c == u';') {
            flush();
        } else {
            if (c == u'{') inBraces = true;
            piece += c;
        }
    }
    flush();
    return out;
}

// Keys that only OLE DB understands; some ODBC drivers refuse unknown keys.
bool oleDbOnly(const QString& key)
{
    return key.compare(u"Persist Security Info", Qt::CaseInsensitive) == 0 ||
           key.compare(u"OLE DB Services", Qt::CaseInsensitive) == 0 || key.startsWith(u"Jet OLEDB:", Qt::CaseInsensitive);
}

void mergeExtra(Pairs& pairs, const QString& extra)
{
    for (const auto& [key, value] : splitPairs(extra))
        if (!oleDbOnly(key)) setPair(pairs, key, value);
}

QString braced(const QString& value)
{
    return u'{' + QString(value).replace(u"}"_s, u"}}"_s) + u'}';
}

QString joinPairs(const Pairs& pairs)
{
    QString out;
    for (const auto& [key, value] : pairs) {
        QString v = value;
        const bool alreadyBraced = v.startsWith(u'{') && v.endsWith(u'}');
        if (key.compare(u"Driver", Qt::CaseInsensitive) == 0) {
            if (!alreadyBraced) v = braced(v);
        } else if (!alreadyBraced && (v.contains(u';') || v.contains(u'{') || v.contains(u'}') || v != v.trimmed())) {
            v = braced(v);
        }
        out += key + u'=' + v + u';';
    }
    return out;
}

QString unbraced(QString name)
{
    name = name.trimmed();
    if (name.startsWith(u'{') && name.endsWith(u'}')) name = name.mid(1, name.size() - 2);
    return name;
}

struct ServerAddress {
    QString host;  // possibly "host\instance"
    QString port;
};

// "tcp:host,port", "host\instance", "(local)": the forms SQL Server clients on
// Windows accept, reduced to what Linux drivers understand.
ServerAddress splitServer(QString s)
{
    ServerAddress a;
    s = s.trimmed();
    if (s.startsWith(u"tcp:", Qt::CaseInsensitive)) s = s.mid(4);
    const qsizetype comma = s.lastIndexOf(u',');
    if (comma >= 0) {
        a.port = s.mid(comma + 1).trimmed();
        s = s.left(comma).trimmed();
        // With a port the instance name is moot; the SQL Server clients ignore it too.
        const qsizetype slash = s.indexOf(u'\\');
        if (slash >= 0) s = s.left(slash);
    }
    const qsizetype slash = s.indexOf(u'\\');
    const QString machine = slash >= 0 ? s.left(slash) : s;
    if (machine == u"." || machine.compare(u"(local)", Qt::CaseInsensitive) == 0)
        s = u"localhost"_s + (slash >= 0 ? s.mid(slash) : QString());
    a.host = s;
    return a;
}

QString firstDriver(const QStringList& drivers, std::initializer_list<const char16_t*> parts)
{
    for (const QString& d : drivers) {
        bool all = true;
        for (const char16_t* p : parts) all = all && d.contains(QString::fromUtf16(p), Qt::CaseInsensitive);
        if (all) return d;
    }
    return {};
}

[[noreturn]] void noDriver(const QString& what)
{
    throw AdoException(
        Error{kErrUnspecified, u"No se encontró un controlador ODBC para "_s + what + u'.', u"ODBC"_s, u"IM002"_s, 0});
}

QString driverIn(const QString& connectionString)
{
    for (const auto& [key, value] : splitPairs(connectionString))
        if (key.compare(u"Driver", Qt::CaseInsensitive) == 0 || key.compare(u"DSN", Qt::CaseInsensitive) == 0)
            return unbraced(value);
    return u"ODBC"_s;
}

// ---------------------------------------------------------------------------
// Handles and diagnostics

/// Owns one ODBC handle; a connection handle is disconnected before it is freed.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE h) : type_(type), h_(h) {}
    Handle(Handle&& o) noexcept { *this = std::move(o); }
    Handle& operator=(Handle&& o) noexcept
    {
        if (this != &o) {
            reset();
            type_ = o.type_;
            h_ = std::exchange(o.h_, nullptr);
            connected_ = std::exchange(o.connected_, false);
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    void reset()
    {
        if (h_ == SQL_NULL_HANDLE) return;
        if (connected_) SQLDisconnect(h_);
        SQLFreeHandle(type_, h_);
        h_ = SQL_NULL_HANDLE;
        connected_ = false;
    }
    void markConnected() { connected_ = true; }
    SQLHANDLE get() const { return h_; }
    SQLSMALLINT type() const { return type_; }
    explicit operator bool() const { return h_ != SQL_NULL_HANDLE; }

private:
    SQLSMALLINT type_ = SQL_HANDLE_ENV;
    SQLHANDLE h_ = SQL_NULL_HANDLE;
    bool connected_ = false;
};

// "[unixODBC][FreeTDS][SQL Server]text": the tags name layers that Source already names.
QString withoutTags(QString message)
{
    while (message.startsWith(u'[')) {
        const qsizetype end = message.indexOf(u']');
        if (end < 0) break;
        message.remove(0, end + 1);
    }
    return message.trimmed();
}

std::vector<Error> diagnostics(SQLSMALLINT type, SQLHANDLE h, const QString& source)
{
    std::vector<Error> out;
    if (h == SQL_NULL_HANDLE) return out;
    // Large enough that no retry is needed: some drivers forget a record once read.
    std::vector<SQLWCHAR> text(4096);
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc =
            SQLGetDiagRecW(type, h, i, state, &native, text.data(), static_cast<SQLSMALLINT>(text.size()), &length);
        if (!succeeded(rc)) break;
        Error e;
        e.SQLState = fromWide(state, 5);
        e.NativeError = native;
        e.Description = withoutTags(fromWide(text.data(), qMin<qsizetype>(length, text.size() - 1)));
        e.Source = source;
        e.Number = NumeroPorSqlState(e.SQLState);
        out.push_back(std::move(e));
    }
    return out;
}

// The SQLite driver answers HY000 to every failure; SQLite's own code and
// message still tell apart the classes that callers branch on.
QString sqliteState(std::int32_t native, const QString& message)
{
    switch (native & 0xff) {     // the driver passes SQLite's result code as the native code
    case 19: return u"23000"_s;  // SQLITE_CONSTRAINT and its extended codes
    case 5:
    case 6: return u"HYT00"_s;   // busy, locked
    case 8: return u"25006"_s;   // read-only
    case 13: return u"53100"_s;  // disk full
    case 7: return u"53200"_s;   // out of memory
    case 9: return u"HY008"_s;   // interrupted
    default: break;
    }
    if (message.startsWith(u"no such table")) return u"42S02"_s;
    if (message.startsWith(u"no such column")) return u"42S22"_s;
    if (message.contains(u"syntax error")) return u"42000"_s;
    return {};
}

// FreeTDS tells why a connection failed ("Unknown host machine name.") only in
// an informational record after two generic errors; the operator reads the
// first record's text, so the reason goes in front of it.
void leadWithTheReason(std::vector<Error>& records)
{
    if (records.empty() || !records.front().SQLState.startsWith(u"08")) return;
    QStringList reasons;
    for (const Error& r : records)
        if (r.SQLState.startsWith(u"01") && !r.Description.isEmpty() && !records.front().Description.contains(r.Description))
            reasons << r.Description;
    if (!reasons.isEmpty()) records.front().Description = reasons.join(u' ') + u' ' + records.front().Description;
}

// ---------------------------------------------------------------------------
// Values

enum class Fetch { Integer, Double, Bit, Date, Time, Timestamp, Text };

Fetch fetchFor(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT: return Fetch::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL: return Fetch::Double;
    case SQL_BIT: return Fetch::Bit;
    case SQL_TYPE_DATE: return Fetch::Date;
    case SQL_TYPE_TIME:
    case SQL_TIME: return Fetch::Time;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
    case SQL_DATETIME: return Fetch::Timestamp;
    default: return Fetch::Text;
    }
}

QDateTime makeDateTime(const QDate& d, const QTime& t)
{
    return QDateTime(d, t);
}

// A time of day alone lands on VB's day zero, as ADO hands it to VB code.
const QDate kDayZero(1899, 12, 30);

struct ParamBuffer {
    SQLBIGINT integer = 0;
    SQLDOUBLE real = 0;
    SQLCHAR bit = 0;
    SQL_TIMESTAMP_STRUCT stamp{};
    QString text;
    SQLLEN indicator = 0;
};

}  // namespace

// ---------------------------------------------------------------------------
// Pure translations

int odbcAdoType(int sqlType, const QString& typeName)
{
    switch (sqlType) {
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_INTEGER: return adInteger;
    case SQL_SMALLINT: return adSmallInt;
    case SQL_TINYINT: return adTinyInt;
    case SQL_BIGINT: return adBigInt;
    case SQL_REAL: return adSingle;
    case SQL_FLOAT:
    case SQL_DOUBLE: return adDouble;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        // SQL Server reports money as a decimal; only the type name tells.
        return typeName.contains(u"money", Qt::CaseInsensitive) ? adCurrency : adNumeric;
    case SQL_TYPE_DATE: return adDBDate;
    case SQL_TYPE_TIME:
    case SQL_TIME: return adDBTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
    case SQL_DATETIME: return adDBTimeStamp;
    case SQL_BIT: return adBoolean;
    case SQL_BINARY:
    case SQL_VARBINARY: return adBinary;
    case SQL_LONGVARBINARY: return adLongVarBinary;
    default: return adVarWChar;
    }
}

QString odbcConnectionString(const ConnectionInfo& info, const QStringList& installedDrivers)
{
    Pairs pairs;
    // A named DSN or driver knows its own keys; the provider no longer matters.
    if (!info.dsn.isEmpty() || !info.driver.isEmpty()) {
        if (!info.dsn.isEmpty())
            putPair(pairs, u"DSN"_s, info.dsn);
        else
            putPair(pairs, u"Driver"_s, unbraced(info.driver));
        // The suite's "pg:host[,port]" with psqlODBC named (the way to keep a
        // PostgreSQL server on ODBC rather than libpq).
        if (const QString pg = info.server.trimmed(); pg.startsWith(u"pg:", Qt::CaseInsensitive)) {
            const ServerAddress address = splitServer(pg.mid(3));
            putPair(pairs, u"Server"_s, address.host.isEmpty() ? u"localhost"_s : address.host);
            putPair(pairs, u"Port"_s, address.port);
        } else {
            putPair(pairs, u"Server"_s, info.server);
        }
        putPair(pairs, u"Database"_s, info.database);
        putPair(pairs, u"UID"_s, info.user);
        putPair(pairs, u"PWD"_s, info.password);
        mergeExtra(pairs, info.extra);
        return joinPairs(pairs);
    }

    const QString provider = info.provider.trimmed();
    const bool sqlServer = provider.startsWith(u"SQLOLEDB", Qt::CaseInsensitive) ||
                           provider.startsWith(u"SQLNCLI", Qt::CaseInsensitive) ||
                           provider.startsWith(u"MSOLEDBSQL", Qt::CaseInsensitive);
    const bool oracle = provider.contains(u"OraOLEDB", Qt::CaseInsensitive) || provider.contains(u"MSDAORA", Qt::CaseInsensitive);

    if (sqlServer && !info.server.trimmed().startsWith(u"pg:", Qt::CaseInsensitive)) {
        // For SQLOLEDB, "Data Source" is another name for the server.
        const ServerAddress address = splitServer(info.server.isEmpty() ? info.dataSource : info.server);
        QString driver = firstDriver(installedDrivers, {u"ODBC Driver", u"SQL Server"});
        const bool vendor = !driver.isEmpty();
        if (!vendor) driver = firstDriver(installedDrivers, {u"FreeTDS"});
        // Any other "SQL Server" driver on Linux is usually FreeTDS registered under that name.
        if (driver.isEmpty()) driver = firstDriver(installedDrivers, {u"SQL Server"});
        if (driver.isEmpty()) noDriver(u"SQL Server"_s);

        putPair(pairs, u"Driver"_s, driver);
        if (vendor)
            putPair(pairs, u"Server"_s, address.port.isEmpty() ? address.host : u"tcp:"_s + address.host + u',' + address.port);
        else {
            putPair(pairs, u"Server"_s, address.host);
            putPair(pairs, u"Port"_s, address.port);
        }
        putPair(pairs, u"Database"_s, info.database);
        putPair(pairs, u"UID"_s, info.user);
        putPair(pairs, u"PWD"_s, info.password);
        // Without it FreeTDS under the C locale sends and reads ISO-8859-1.
        if (!vendor) putPair(pairs, u"ClientCharset"_s, u"UTF-8"_s);
        mergeExtra(pairs, info.extra);
        return joinPairs(pairs);
    }

    // "pg:host[,port]" in the server box picks PostgreSQL with the suite's own template.
    const QString server = info.server.trimmed();
    const bool postgres =
        provider.contains(u"PostgreSQL", Qt::CaseInsensitive) || (sqlServer && server.startsWith(u"pg:", Qt::CaseInsensitive));
    if (postgres) {
        QString driver = firstDriver(installedDrivers, {u"PostgreSQL", u"Unicode"});
        if (driver.isEmpty()) driver = firstDriver(installedDrivers, {u"PostgreSQL"});
        if (driver.isEmpty()) noDriver(u"PostgreSQL"_s);
        const ServerAddress address = splitServer(server.startsWith(u"pg:", Qt::CaseInsensitive) ? server.mid(3) : server);
        putPair(pairs, u"Driver"_s, driver);
        putPair(pairs, u"Server"_s, address.host.isEmpty() ? u"localhost"_s : address.host);
        putPair(pairs, u"Port"_s, address.port);
        putPair(pairs, u"Database"_s, info.database);
        putPair(pairs, u"UID"_s, info.user);
        putPair(pairs, u"PWD"_s, info.password);
        mergeExtra(pairs, info.extra);
        return joinPairs(pairs);
    }

    if (oracle) {
        const QString driver = firstDriver(installedDrivers, {u"Oracle"});
        if (driver.isEmpty()) noDriver(u"Oracle"_s);
        QString service = info.dataSource.isEmpty() ? info.database : info.dataSource;
        if (service.isEmpty()) service = QString(info.server).remove(u'#');
        putPair(pairs, u"Driver"_s, driver);
        putPair(pairs, u"DBQ"_s, service);
        putPair(pairs, u"UID"_s, info.user);
        putPair(pairs, u"PWD"_s, info.password);
        mergeExtra(pairs, info.extra);
        return joinPairs(pairs);
    }

    noDriver(provider.isEmpty() ? u"una conexión sin proveedor"_s : u"el proveedor "_s + provider);
}

// ---------------------------------------------------------------------------
// The engine

namespace {

class OdbcEngine final : public Engine {
public:
    ~OdbcEngine() override { close(); }

    void open(const ConnectionInfo& info, const QString& user, const QString& password, int timeoutSecs) override;
    void close() override;
    bool isOpen() const override { return static_cast<bool>(dbc_); }
    Rowset run(const QString& sql, const std::vector<Variant>& params, int timeoutSecs, bool forWriting) override;
    void begin() override;
    void commit() override { endTransaction(SQL_COMMIT); }
    void rollback() override { endTransaction(SQL_ROLLBACK); }
    Rowset tables() override;
    Rowset columns(const QString& table) override;
    QStringList primaryKeys(const QString& table) override;
    QString quoteIdentifier(const QString& name) const override;
    QString dbmsName() const override { return dbms_; }
    QString currentDatabase() const override;
    void setCurrentDatabase(const QString& name) override;
    Variant lastInsertId() override;
    void breakLink() override { broken_ = true; }

private:
    void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) const;
    std::vector<Error> failure(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) const;
    [[noreturn]] void raise(std::vector<Error> records) const;
    void checkStmt(SQLRETURN rc, const Handle& st) const { check(rc, SQL_HANDLE_STMT, st.get()); }
    void checkDbc(SQLRETURN rc) const { check(rc, SQL_HANDLE_DBC, dbc_.get()); }
    void ensureUsable() const;
    [[noreturn]] void refuseNul() const;
    Handle allocate(SQLSMALLINT type, const Handle& parent) const;
    /// Every statement handle, catalog ones included, carries the same time-out.
    Handle statement() const
    {
        Handle st = allocate(SQL_HANDLE_STMT, dbc_);
        if (timeout_ > 0 && !tiempoEnServidor_)  // a driver without query timeouts runs unbounded, as ADO would
            SQLSetStmtAttr(st.get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout_)),
                           SQL_IS_UINTEGER);
        return st;
    }
    void fijaTiempoLimite(int segundos);
    QString infoText(SQLUSMALLINT what) const;
    QString columnText(const Handle& st, SQLUSMALLINT col, SQLUSMALLINT field) const;
    SQLLEN columnNumber(const Handle& st, SQLUSMALLINT col, SQLUSMALLINT field, SQLLEN fallback) const;
    void bind(const Handle& st, SQLUSMALLINT n, const Variant& v, ParamBuffer& b) const;
    Rowset collect(const Handle& st, bool origins = true, bool enBloque = false) const;
    void readRowset(const Handle& st, SQLSMALLINT count, Rowset& rs, bool origins, bool enBloque) const;
    bool leeEnBloques(const Handle& st, const std::vector<Fetch>& how, const std::vector<SQLSMALLINT>& tipos,
                      const std::vector<SQLULEN>& tamanos, Rowset& rs) const;
    Variant readCell(const Handle& st, SQLUSMALLINT col, Fetch how) const;
    static void restoreCase(Rowset& rs, const QString& sql);
    void endTransaction(SQLSMALLINT completion);
    void setAutocommit(bool on);
    bool isSqlServer() const { return dbms_.contains(u"SQL Server", Qt::CaseInsensitive); }
    bool isPostgres() const { return dbms_.contains(u"PostgreSQL", Qt::CaseInsensitive); }
    QString pattern(const QString& name) const;

    Handle env_, dbc_;
    QString dbms_;
    QString source_ = u"ODBC"_s;
    QString escape_;
    bool broken_ = false;
    bool inTransaction_ = false;
    int timeout_ = 0;  // of the last statement run, in seconds
    bool tiempoEnServidor_ = false;  // PostgreSQL: set once on the session, not per statement
    // The whole chain of the last failure; the exception carries it too.
    mutable std::vector<Error> lastDiagnostics_;
};

void OdbcEngine::check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) const
{
    if (succeeded(rc) || rc == SQL_NO_DATA) return;
    raise(failure(rc, type, h));
}

std::vector<Error> OdbcEngine::failure(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) const
{
    std::vector<Error> records;
    if (rc != SQL_INVALID_HANDLE) records = diagnostics(type, h, source_);
    if (dbms_.contains(u"SQLite", Qt::CaseInsensitive))
        for (Error& r : records)
            if (r.SQLState == u"HY000")
                if (const QString state = sqliteState(r.NativeError, r.Description); !state.isEmpty()) {
                    r.SQLState = state;
                    r.Number = NumeroPorSqlState(state);
                }
    // Warnings (class 01) may come before the error that matters; the first record names the failure.
    std::stable_partition(records.begin(), records.end(), [](const Error& r) { return !r.SQLState.startsWith(u"01"); });
    // A driver may name a dropped link after what it was doing when it met it
    // (psqlODBC: "internal SAVEPOINT failed", HY000). Whether the connection
    // is gone is what callers act on, and the driver can say so.
    SQLUINTEGER muerta = SQL_CD_FALSE;
    if (dbc_ && type != SQL_HANDLE_ENV && !records.empty() && !records.front().SQLState.startsWith(u"08") &&
        succeeded(SQLGetConnectAttr(dbc_.get(), SQL_ATTR_CONNECTION_DEAD, &muerta, SQL_IS_UINTEGER, nullptr)) &&
        muerta == SQL_CD_TRUE) {
        records.front().SQLState = u"08S01"_s;
        records.front().Number = NumeroPorSqlState(records.front().SQLState);
    }
    leadWithTheReason(records);
    if (records.empty())
        records.push_back(
            Error{kErrProviderFailed, u"El controlador ODBC devolvió un error sin descripción."_s, source_, u"HY000"_s, 0});
    return records;
}

void OdbcEngine::raise(std::vector<Error> records) const
{
    lastDiagnostics_ = records;
    throw OdbcException(std::move(records));
}

void OdbcEngine::ensureUsable() const
{
    if (!dbc_) throw AdoException(kErrConnectionInvalid, kClosedText);
    if (broken_) throw AdoException(Error{kErrUnspecified, kLinkLostText, source_, u"08S01"_s, 0});
}

void OdbcEngine::refuseNul() const
{
    throw AdoException(Error{NumeroPorSqlState(u"22021"_s),
                             u"El texto contiene el carácter nulo (código 0), que esta base de datos no puede guardar."_s,
                             source_, u"22021"_s, 0});
}

Handle OdbcEngine::allocate(SQLSMALLINT type, const Handle& parent) const
{
    SQLHANDLE h = SQL_NULL_HANDLE;
    const SQLRETURN rc = SQLAllocHandle(type, parent ? parent.get() : SQL_NULL_HANDLE, &h);
    if (!succeeded(rc)) raise(failure(rc, parent.type(), parent.get()));
    return Handle(type, h);
}

QString OdbcEngine::infoText(SQLUSMALLINT what) const
{
    std::array<SQLWCHAR, 256> buf{};
    SQLSMALLINT bytes = 0;
    if (!succeeded(SQLGetInfoW(dbc_.get(), what, buf.data(), sizeof buf, &bytes))) return {};
    return fromWide(buf.data(), qMin<qsizetype>(bytes / 2, buf.size() - 1));
}

void OdbcEngine::open(const ConnectionInfo& info, const QString& user, const QString& password, int timeoutSecs)
{
    close();
    ConnectionInfo effective = info;
    if (!user.isEmpty()) effective.user = user;
    if (!password.isEmpty()) effective.password = password;

    Handle env = allocate(SQL_HANDLE_ENV, Handle());
    check(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0), SQL_HANDLE_ENV,
          env.get());

    QStringList drivers;
    std::array<SQLCHAR, 512> name{};
    std::array<SQLCHAR, 2048> attributes{};
    SQLSMALLINT nameLength = 0, attributesLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;
         succeeded(SQLDrivers(env.get(), direction, name.data(), name.size(), &nameLength, attributes.data(), attributes.size(),
                              &attributesLength));
         direction = SQL_FETCH_NEXT)
        drivers << QString::fromLocal8Bit(reinterpret_cast<const char*>(name.data()));

    const QString text = odbcConnectionString(effective, drivers);
    source_ = driverIn(text);

    Handle dbc = allocate(SQL_HANDLE_DBC, env);
    if (timeoutSecs >= 0)  // drivers that cannot time out a login just refuse the attribute
        SQLSetConnectAttr(dbc.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSecs)),
                          SQL_IS_UINTEGER);
    SQLSMALLINT outLength = 0;
    check(SQLDriverConnectW(dbc.get(), nullptr, wide(text), static_cast<SQLSMALLINT>(text.size()), nullptr, 0, &outLength,
                            SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, dbc.get());
    dbc.markConnected();

    env_ = std::move(env);
    dbc_ = std::move(dbc);
    dbms_ = infoText(SQL_DBMS_NAME);
    if (!dbms_.isEmpty()) source_ = dbms_;
    escape_ = infoText(SQL_SEARCH_PATTERN_ESCAPE);
    broken_ = false;
    inTransaction_ = false;
    timeout_ = 0;
    tiempoEnServidor_ = false;
}

void OdbcEngine::close()
{
    // Disconnecting inside a transaction fails with 25000; what was not committed is lost, as ADO loses it.
    if (dbc_ && inTransaction_) SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
    dbc_.reset();
    env_.reset();
    dbms_.clear();
    escape_.clear();
    broken_ = false;
    inTransaction_ = false;
    timeout_ = 0;
    tiempoEnServidor_ = false;
}

QString OdbcEngine::columnText(const Handle& st, SQLUSMALLINT col, SQLUSMALLINT field) const
{
    std::array<SQLWCHAR, 512> buf{};
    SQLSMALLINT bytes = 0;
    // Drivers that do not know a descriptor field just leave it out.
    if (!succeeded(SQLColAttributeW(st.get(), col, field, buf.data(), sizeof buf, &bytes, nullptr))) return {};
    return fromWide(buf.data(), qMin<qsizetype>(bytes / 2, buf.size() - 1));
}

SQLLEN OdbcEngine::columnNumber(const Handle& st, SQLUSMALLINT col, SQLUSMALLINT field, SQLLEN fallback) const
{
    SQLLEN value = fallback;
    if (!succeeded(SQLColAttributeW(st.get(), col, field, nullptr, 0, nullptr, &value))) return fallback;
    return value;
}

void OdbcEngine::bind(const Handle& st, SQLUSMALLINT n, const Variant& v, ParamBuffer& b) const
{
    SQLRETURN rc;
    VarType type = v.type();
    QDateTime when;
    if (type == VarType::Date) {
        when = v.toDateTime();
        if (!when.isValid()) type = VarType::Null;
    }
    switch (type) {
    case VarType::Integer:
        b.integer = v.toInt64();
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 19, 0, &b.integer, 0, &b.indicator);
        break;
    case VarType::Double:
        b.real = v.toDouble();
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0, &b.real, 0, &b.indicator);
        break;
    case VarType::Boolean:
        b.bit = v.toBool() ? 1 : 0;
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_BIT, SQL_BIT, 1, 0, &b.bit, 0, &b.indicator);
        break;
    case VarType::Date: {
        const QDate d = when.date();
        const QTime t = when.time();
        b.stamp.year = static_cast<SQLSMALLINT>(d.year());
        b.stamp.month = static_cast<SQLUSMALLINT>(d.month());
        b.stamp.day = static_cast<SQLUSMALLINT>(d.day());
        b.stamp.hour = static_cast<SQLUSMALLINT>(t.hour());
        b.stamp.minute = static_cast<SQLUSMALLINT>(t.minute());
        b.stamp.second = static_cast<SQLUSMALLINT>(t.second());
        b.stamp.fraction = static_cast<SQLUINTEGER>(t.msec()) * 1000000u;
        // Millisecond digits: SQL Server's datetime refuses a finer fraction than declared.
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3, &b.stamp, 0,
                              &b.indicator);
        break;
    }
    case VarType::Text: {
        b.text = v.toString();
        // PostgreSQL cannot store it and the SQLite driver cuts the text there;
        // SQL Server keeps it.
        if (!isSqlServer() && b.text.contains(QChar(0))) refuseNul();
        b.indicator = static_cast<SQLLEN>(b.text.size() * 2);
        // SQL_WVARCHAR keeps SQL Server from squeezing the text into its code page.
        rc =
            SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                             static_cast<SQLULEN>(qMax<qsizetype>(1, b.text.size())), 0, wide(b.text), b.indicator, &b.indicator);
        break;
    }
    case VarType::Empty:
    case VarType::Null:
    default:
        b.indicator = SQL_NULL_DATA;
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, &b.bit, 0, &b.indicator);
        break;
    }
    checkStmt(rc, st);
}

Variant OdbcEngine::readCell(const Handle& st, SQLUSMALLINT col, Fetch how) const
{
    SQLLEN ind = 0;
    switch (how) {
    case Fetch::Integer: {
        SQLBIGINT v = 0;
        checkStmt(SQLGetData(st.get(), col, SQL_C_SBIGINT, &v, sizeof v, &ind), st);
        return ind == SQL_NULL_DATA ? Variant::Null() : Variant(static_cast<long long>(v));
    }
    case Fetch::Double: {
        SQLDOUBLE v = 0;
        checkStmt(SQLGetData(st.get(), col, SQL_C_DOUBLE, &v, sizeof v, &ind), st);
        return ind == SQL_NULL_DATA ? Variant::Null() : Variant(static_cast<double>(v));
    }
    case Fetch::Bit: {
        SQLCHAR v = 0;
        checkStmt(SQLGetData(st.get(), col, SQL_C_BIT, &v, sizeof v, &ind), st);
        return ind == SQL_NULL_DATA ? Variant::Null() : Variant(v != 0);
    }
    case Fetch::Date: {
        SQL_DATE_STRUCT v{};
        checkStmt(SQLGetData(st.get(), col, SQL_C_TYPE_DATE, &v, sizeof v, &ind), st);
        if (ind == SQL_NULL_DATA) return Variant::Null();
        return Variant(makeDateTime(QDate(v.year, v.month, v.day), QTime(0, 0)));
    }
    case Fetch::Time: {
        SQL_TIME_STRUCT v{};
        checkStmt(SQLGetData(st.get(), col, SQL_C_TYPE_TIME, &v, sizeof v, &ind), st);
        if (ind == SQL_NULL_DATA) return Variant::Null();
        return Variant(makeDateTime(kDayZero, QTime(v.hour, v.minute, v.second)));
    }
    case Fetch::Timestamp: {
        SQL_TIMESTAMP_STRUCT v{};
        checkStmt(SQLGetData(st.get(), col, SQL_C_TYPE_TIMESTAMP, &v, sizeof v, &ind), st);
        if (ind == SQL_NULL_DATA) return Variant::Null();
        return Variant(makeDateTime(QDate(v.year, v.month, v.day),
                                    QTime(v.hour, v.minute, v.second, static_cast<int>(v.fraction / 1000000u))));
    }
    case Fetch::Text: break;
    }

    // Long text arrives in pieces; each call returns the next one.
    std::array<SQLWCHAR, 2048> buf;  // not cleared: a cell is read per call, and clearing 4 KB each time costs more than the read
    const SQLLEN capacity = static_cast<SQLLEN>(sizeof buf);
    QString text;
    for (;;) {
        const SQLRETURN rc = SQLGetData(st.get(), col, SQL_C_WCHAR, buf.data(), capacity, &ind);
        if (rc == SQL_NO_DATA) break;
        checkStmt(rc, st);
        if (ind == SQL_NULL_DATA) return Variant::Null();
        const bool truncated = ind == SQL_NO_TOTAL || ind >= capacity;
        text.append(fromWide(buf.data(), truncated ? qsizetype(buf.size() - 1) : qsizetype(ind / 2)));
        if (rc == SQL_SUCCESS || !truncated) break;
    }
    return Variant(text);
}

namespace {

// A text longer than its column said: the rows bound so far cannot be
// completed, so the statement is read again value by value.
struct TextoDesbordado {};

// One bound column of a block: values of every row of the block side by side.
struct ColumnaEnBloque {
    Fetch how = Fetch::Text;
    SQLSMALLINT tipoC = SQL_C_WCHAR;
    SQLLEN ancho = 0;  // bytes per row
    std::vector<char> datos;
    std::vector<SQLLEN> indicadores;
};

constexpr SQLULEN kTextoEnBloqueMax = 4000;     // characters; longer columns are read value by value
constexpr size_t kBytesPorBloque = 512 * 1024;  // the rows of one fetch, all columns together

}  // namespace

// Reads the rows a block at a time into bound buffers, one call for many rows
// instead of one per value. False, with nothing read, when a column cannot be
// bound with a size known in advance (long or unbounded texts, binary) or the
// driver refuses row arrays: the caller then reads value by value.
bool OdbcEngine::leeEnBloques(const Handle& st, const std::vector<Fetch>& how, const std::vector<SQLSMALLINT>& tipos,
                              const std::vector<SQLULEN>& tamanos, Rowset& rs) const
{
    const size_t n = how.size();
    std::vector<ColumnaEnBloque> cols(n);
    SQLLEN anchoFila = 0;
    for (size_t i = 0; i < n; ++i) {
        ColumnaEnBloque& c = cols[i];
        c.how = how[i];
        switch (how[i]) {
        case Fetch::Integer: c.tipoC = SQL_C_SBIGINT; c.ancho = sizeof(SQLBIGINT); break;
        case Fetch::Double: c.tipoC = SQL_C_DOUBLE; c.ancho = sizeof(SQLDOUBLE); break;
        case Fetch::Bit: c.tipoC = SQL_C_BIT; c.ancho = sizeof(SQLCHAR); break;
        case Fetch::Date: c.tipoC = SQL_C_TYPE_DATE; c.ancho = sizeof(SQL_DATE_STRUCT); break;
        case Fetch::Time: c.tipoC = SQL_C_TYPE_TIME; c.ancho = sizeof(SQL_TIME_STRUCT); break;
        case Fetch::Timestamp: c.tipoC = SQL_C_TYPE_TIMESTAMP; c.ancho = sizeof(SQL_TIMESTAMP_STRUCT); break;
        case Fetch::Text: {
            const SQLSMALLINT t = tipos[i];
            const bool texto = t == SQL_CHAR || t == SQL_VARCHAR || t == SQL_WCHAR || t == SQL_WVARCHAR;
            if (!texto || tamanos[i] == 0 || tamanos[i] > kTextoEnBloqueMax) return false;
            // Room for every character taking two UTF-16 units, and the terminator.
            c.tipoC = SQL_C_WCHAR;
            c.ancho = static_cast<SQLLEN>((2 * tamanos[i] + 1) * sizeof(SQLWCHAR));
            break;
        }
        }
        c.ancho = (c.ancho + 7) & ~SQLLEN(7);
        anchoFila += c.ancho + static_cast<SQLLEN>(sizeof(SQLLEN));
    }
    SQLULEN filas = std::clamp<SQLULEN>(kBytesPorBloque / static_cast<size_t>(qMax<SQLLEN>(1, anchoFila)), 1, 1024);
    if (!succeeded(SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) ||
        !succeeded(SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(filas), 0)))
        return false;
    // A driver may lower the size it was asked for.
    SQLULEN concedidas = 0;
    if (!succeeded(SQLGetStmtAttr(st.get(), SQL_ATTR_ROW_ARRAY_SIZE, &concedidas, 0, nullptr)) || concedidas == 0) return false;
    if (concedidas > filas) {
        SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        return false;
    }
    filas = concedidas;
    SQLULEN traidas = 0;
    std::vector<SQLUSMALLINT> estados(filas, SQL_ROW_SUCCESS);
    auto deshace = [&] {
        SQLFreeStmt(st.get(), SQL_UNBIND);
        SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        SQLSetStmtAttr(st.get(), SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
        SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    };
    SQLSetStmtAttr(st.get(), SQL_ATTR_ROWS_FETCHED_PTR, &traidas, 0);
    SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_STATUS_PTR, estados.data(), 0);
    for (size_t i = 0; i < n; ++i) {
        ColumnaEnBloque& c = cols[i];
        c.datos.resize(static_cast<size_t>(c.ancho) * filas);
        c.indicadores.resize(filas);
        if (!succeeded(SQLBindCol(st.get(), static_cast<SQLUSMALLINT>(i + 1), c.tipoC, c.datos.data(), c.ancho,
                                  c.indicadores.data()))) {
            deshace();
            return false;
        }
    }
    try {
        for (;;) {
            const SQLRETURN rc = SQLFetch(st.get());
            if (rc == SQL_NO_DATA) break;
            checkStmt(rc, st);
            for (SQLULEN r = 0; r < traidas; ++r) {
                if (estados[r] == SQL_ROW_NOROW) continue;
                if (estados[r] == SQL_ROW_ERROR) raise(failure(SQL_ERROR, SQL_HANDLE_STMT, st.get()));
                for (size_t i = 0; i < n; ++i) {
                    const ColumnaEnBloque& c = cols[i];
                    const SQLLEN ind = c.indicadores[r];
                    const char* p = c.datos.data() + static_cast<size_t>(c.ancho) * r;
                    if (ind == SQL_NULL_DATA) {
                        rs.cells.push_back(Variant::Null());
                        continue;
                    }
                    switch (c.how) {
                    case Fetch::Integer: {
                        SQLBIGINT v;
                        std::memcpy(&v, p, sizeof v);
                        rs.cells.emplace_back(static_cast<long long>(v));
                        break;
                    }
                    case Fetch::Double: {
                        SQLDOUBLE v;
                        std::memcpy(&v, p, sizeof v);
                        rs.cells.emplace_back(static_cast<double>(v));
                        break;
                    }
                    case Fetch::Bit: rs.cells.emplace_back(*reinterpret_cast<const SQLCHAR*>(p) != 0); break;
                    case Fetch::Date: {
                        SQL_DATE_STRUCT v;
                        std::memcpy(&v, p, sizeof v);
                        rs.cells.emplace_back(makeDateTime(QDate(v.year, v.month, v.day), QTime(0, 0)));
                        break;
                    }
                    case Fetch::Time: {
                        SQL_TIME_STRUCT v;
                        std::memcpy(&v, p, sizeof v);
                        rs.cells.emplace_back(makeDateTime(kDayZero, QTime(v.hour, v.minute, v.second)));
                        break;
                    }
                    case Fetch::Timestamp: {
                        SQL_TIMESTAMP_STRUCT v;
                        std::memcpy(&v, p, sizeof v);
                        rs.cells.emplace_back(makeDateTime(QDate(v.year, v.month, v.day),
                                                           QTime(v.hour, v.minute, v.second, static_cast<int>(v.fraction / 1000000u))));
                        break;
                    }
                    case Fetch::Text:
                        if (ind == SQL_NO_TOTAL || ind < 0 || ind > c.ancho - static_cast<SQLLEN>(sizeof(SQLWCHAR)))
                            throw TextoDesbordado{};
                        rs.cells.emplace_back(fromWide(reinterpret_cast<const SQLWCHAR*>(p), ind / 2));
                        break;
                    }
                }
            }
        }
    } catch (...) {
        deshace();
        throw;
    }
    deshace();
    return true;
}

void OdbcEngine::readRowset(const Handle& st, SQLSMALLINT count, Rowset& rs, bool origins, bool enBloque) const
{
    std::vector<Fetch> how;
    std::vector<SQLSMALLINT> tipos;
    std::vector<SQLULEN> tamanos;
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
        std::vector<SQLWCHAR> name(256);
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = SQL_NULLABLE_UNKNOWN;
        SQLULEN size = 0;
        for (;;) {
            // Nullability only matters for writing, and psqlODBC asks the server's catalog for it.
            checkStmt(SQLDescribeColW(st.get(), i, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength, &sqlType,
                                      &size, &digits, origins ? &nullable : nullptr),
                      st);
            if (nameLength < static_cast<SQLSMALLINT>(name.size())) break;
            name.resize(static_cast<size_t>(nameLength) + 1);
        }
        ColumnInfo c;
        c.name = fromWide(name.data(), nameLength);
        // Only a decimal may be money; psqlODBC may read the catalog for the type's name.
        const bool decimal = sqlType == SQL_NUMERIC || sqlType == SQL_DECIMAL;
        c.type = odbcAdoType(sqlType, decimal ? columnText(st, i, SQL_DESC_TYPE_NAME) : QString());
        c.definedSize = static_cast<int>(qMin<SQLULEN>(size, INT_MAX));
        c.nullable = nullable != SQL_NO_NULLS;
        // psqlODBC reads the table's definition from the server for these.
        if (origins) {
            c.baseTable = columnText(st, i, SQL_DESC_BASE_TABLE_NAME);
            c.baseColumn = columnText(st, i, SQL_DESC_BASE_COLUMN_NAME);
            c.autoIncrement = columnNumber(st, i, SQL_DESC_AUTO_UNIQUE_VALUE, SQL_FALSE) == SQL_TRUE;
            // The SQLite driver knows NOT NULL here but not in SQLDescribeCol.
            c.nullable = columnNumber(st, i, SQL_DESC_NULLABLE, nullable) != SQL_NO_NULLS;
        }
        rs.columns.push_back(std::move(c));
        how.push_back(fetchFor(sqlType));
        tipos.push_back(sqlType);
        tamanos.push_back(size);
    }
    if (enBloque && leeEnBloques(st, how, tipos, tamanos, rs)) {
        rs.returnsRows = true;
        return;
    }
    for (;;) {
        const SQLRETURN rc = SQLFetch(st.get());
        if (rc == SQL_NO_DATA) break;
        checkStmt(rc, st);
        for (SQLUSMALLINT i = 1; i <= count; ++i) rs.cells.push_back(readCell(st, i, how[i - 1]));
    }
    rs.returnsRows = true;
}

Rowset OdbcEngine::collect(const Handle& st, bool origins, bool enBloque) const
{
    Rowset kept;
    bool haveRows = false;
    long affected = -1;
    for (;;) {
        SQLSMALLINT count = 0;
        checkStmt(SQLNumResultCols(st.get(), &count), st);
        if (count > 0) {
            Rowset rs;
            readRowset(st, count, rs, origins, enBloque);
            if (!haveRows && (!kept.returnsRows || rs.rowCount() > 0)) {
                haveRows = rs.rowCount() > 0;
                kept = std::move(rs);
            }
        } else {
            // Only meaningful after INSERT/UPDATE/DELETE; other statements give -1.
            SQLLEN n = -1;
            if (succeeded(SQLRowCount(st.get(), &n)) && n >= 0) affected = (affected < 0 ? 0 : affected) + n;
        }
        const SQLRETURN rc = SQLMoreResults(st.get());
        if (rc == SQL_NO_DATA) break;
        checkStmt(rc, st);
    }
    kept.affected = affected;
    return kept;
}

// PostgreSQL folds unquoted names to lower case; the operator should see a
// column named as the statement wrote it ("CodigoOpcional", not "codigoopcional").
void OdbcEngine::restoreCase(Rowset& rs, const QString& sql)
{
    std::map<QString, QString> spelling;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        if (sql[i] == u'\'') {  // words inside literals are data, not names
            for (++i; i < n && sql[i] != u'\''; ++i) {}
            ++i;
            continue;
        }
        if (!(sql[i].isLetter() || sql[i] == u'_')) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < n && (sql[i].isLetterOrNumber() || sql[i] == u'_')) ++i;
        const QString word = sql.mid(start, i - start);
        spelling.emplace(word.toLower(), word);
    }
    for (ColumnInfo& c : rs.columns) {
        if (c.name != c.name.toLower()) continue;  // quoted, kept as the server has it
        if (const auto it = spelling.find(c.name); it != spelling.end()) c.name = it->second;
    }
}

QStringList OdbcEngine::primaryKeys(const QString& table)
{
    ensureUsable();
    Rowset pk;
    {
        Handle st = statement();
        checkStmt(SQLPrimaryKeysW(st.get(), nullptr, 0, nullptr, 0, wide(table), static_cast<SQLSMALLINT>(table.size())), st);
        pk = collect(st);
    }
    // KEY_SEQ (column 5) gives the order; drivers return the rows by table, not by it.
    std::vector<std::pair<long long, QString>> orden;
    for (size_t r = 0; r < pk.rowCount(); ++r)
        orden.emplace_back(pk.columns.size() > 4 ? pk.cells[r * pk.columns.size() + 4].toInt64() : static_cast<long long>(r),
                           pk.cells[r * pk.columns.size() + 3].toString());
    std::stable_sort(orden.begin(), orden.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList keys;
    for (const auto& o : orden) keys << o.second;
    return keys;
}

Rowset OdbcEngine::run(const QString& sql, const std::vector<Variant>& params, int timeoutSecs, bool forWriting)
{
    ensureUsable();
    const QString text = isPostgres() ? SqlServerToPostgres(sql) : sql;
    // The text goes NUL-terminated, so a NUL inside would cut it.
    if (text.contains(QChar(0))) refuseNul();
    // The SQLite driver mangles statement text that arrives as UTF-16 (letters
    // outside ASCII lose their upper byte); through the narrow calls it takes UTF-8.
    const bool narrow = dbms_.contains(u"SQLite", Qt::CaseInsensitive);
    const QByteArray utf8 = narrow ? text.toUtf8() : QByteArray();
    auto* narrowText = reinterpret_cast<SQLCHAR*>(const_cast<char*>(utf8.constData()));
    Rowset result;
    fijaTiempoLimite(qMax(0, timeoutSecs));
    // Rows are read in blocks only for one SELECT alone, which can be run
    // again should a text overflow its declared size; batches value by value.
    const QString inicio = text.trimmed().left(6);
    const bool soloSelect = inicio.compare(u"SELECT", Qt::CaseInsensitive) == 0 && !text.contains(u';');
    bool desbordado = false;
    {
        Handle st = statement();
        // Buffers stay put until execution: bound parameters are read then.
        std::vector<ParamBuffer> buffers(params.size());
        for (size_t i = 0; i < params.size(); ++i) bind(st, static_cast<SQLUSMALLINT>(i + 1), params[i], buffers[i]);
        // Executed directly even with parameters: a prepared statement is one
        // more round trip to free on drivers that prepare on the server.
        const SQLRETURN rc = narrow ? SQLExecDirect(st.get(), narrowText, SQL_NTS) : SQLExecDirectW(st.get(), wide(text), SQL_NTS);
        checkStmt(rc, st);
        try {
            result = collect(st, forWriting, soloSelect);
        } catch (const TextoDesbordado&) {
            desbordado = true;
        }
    }
    if (desbordado) {
        // A column held longer texts than it declared: read again, value by value
        // (a lone SELECT, so running it twice changes nothing).
        Handle st = statement();
        std::vector<ParamBuffer> buffers(params.size());
        for (size_t i = 0; i < params.size(); ++i) bind(st, static_cast<SQLUSMALLINT>(i + 1), params[i], buffers[i]);
        checkStmt(narrow ? SQLExecDirect(st.get(), narrowText, SQL_NTS) : SQLExecDirectW(st.get(), wide(text), SQL_NTS), st);
        result = collect(st, forWriting, false);
    }
    // Which columns form the key is asked of the catalog only when a row is written back.
    if (result.returnsRows) result.keysKnown = false;
    if (isPostgres() && result.returnsRows) restoreCase(result, sql);
    return result;
}

// psqlODBC applies a statement's time-out by sending SET statement_timeout
// whenever it differs from the last one sent, and the statements it opens for
// itself (the catalog reads behind a column description) carry none: each of
// them cost two more round trips. The session's own setting, sent once when
// the time-out changes, bounds every statement the same way.
void OdbcEngine::fijaTiempoLimite(int segundos)
{
    if (segundos == timeout_) return;
    if (isPostgres()) {
        // Inside a transaction the setting would be undone by a rollback: it waits for the next statement outside one.
        if (inTransaction_) return;
        const QString sql = u"SET statement_timeout = "_s + QString::number(static_cast<long long>(segundos) * 1000);
        Handle st = allocate(SQL_HANDLE_STMT, dbc_);
        if (!succeeded(SQLExecDirectW(st.get(), wide(sql), SQL_NTS))) return;  // statements stay unbounded, as before it was set
        tiempoEnServidor_ = true;
    }
    timeout_ = segundos;
}

void OdbcEngine::setAutocommit(bool on)
{
    checkDbc(SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                               reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
                               SQL_IS_UINTEGER));
}

void OdbcEngine::begin()
{
    ensureUsable();
    setAutocommit(false);
    inTransaction_ = true;
}

void OdbcEngine::endTransaction(SQLSMALLINT completion)
{
    ensureUsable();
    try {
        checkDbc(SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), completion));
    } catch (const AdoException&) {
        // Autocommit comes back even so; otherwise every later statement would open a
        // transaction nobody ends.
        SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), SQL_IS_UINTEGER);
        inTransaction_ = false;
        throw;
    }
    inTransaction_ = false;
    setAutocommit(true);
}

namespace {

ColumnInfo schemaColumn(const char16_t* name, int type)
{
    ColumnInfo c;
    c.name = QString::fromUtf16(name);
    c.type = type;
    return c;
}

const Variant& cell(const Rowset& rs, size_t row, size_t col)
{
    return rs.cells[row * rs.columns.size() + col];
}

}  // namespace

Rowset OdbcEngine::tables()
{
    ensureUsable();
    Rowset raw;
    {
        Handle st = statement();
        checkStmt(SQLTablesW(st.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), st);
        raw = collect(st);
    }
    Rowset out;
    for (const char16_t* name : {u"TABLE_CATALOG", u"TABLE_SCHEMA", u"TABLE_NAME", u"TABLE_TYPE", u"DESCRIPTION"})
        out.columns.push_back(schemaColumn(name, adVarWChar));
    out.returnsRows = true;
    const size_t width = qMin<size_t>(raw.columns.size(), 5);
    for (size_t r = 0; r < raw.rowCount(); ++r)
        for (size_t c = 0; c < 5; ++c) out.cells.push_back(c < width ? cell(raw, r, c) : Variant::Null());
    return out;
}

// Catalog functions read '_' and '%' as wildcards, and table names here are full of '_'.
QString OdbcEngine::pattern(const QString& name) const
{
    if (escape_.isEmpty()) return name;
    QString out;
    for (const QChar c : name) {
        if (c == u'_' || c == u'%' || QString(c) == escape_) out += escape_;
        out += c;
    }
    return out;
}

Rowset OdbcEngine::columns(const QString& table)
{
    ensureUsable();
    auto unquoted = [](QString s) {
        s = s.trimmed();
        if (s.size() >= 2 && ((s.startsWith(u'[') && s.endsWith(u']')) || (s.startsWith(u'"') && s.endsWith(u'"'))))
            s = s.mid(1, s.size() - 2);
        return s;
    };
    QString schema, name = unquoted(table);
    const qsizetype dot = table.lastIndexOf(u'.');
    if (dot > 0) {
        schema = unquoted(table.left(dot));
        name = unquoted(table.mid(dot + 1));
    }
    // PostgreSQL keeps unquoted names in lower case, and its catalog functions match exactly.
    if (isPostgres()) {
        if (!table.trimmed().endsWith(u'"')) name = name.toLower();
        schema = schema.toLower();
    }
    const QString schemaPattern = pattern(schema);
    const QString namePattern = pattern(name);

    Rowset raw;
    {
        Handle st = statement();
        checkStmt(SQLColumnsW(st.get(), nullptr, 0, schema.isEmpty() ? nullptr : wide(schemaPattern),
                              static_cast<SQLSMALLINT>(schemaPattern.size()), wide(namePattern),
                              static_cast<SQLSMALLINT>(namePattern.size()), nullptr, 0),
                  st);
        raw = collect(st);
    }

    Rowset out;
    out.columns = {schemaColumn(u"TABLE_CATALOG", adVarWChar),
                   schemaColumn(u"TABLE_SCHEMA", adVarWChar),
                   schemaColumn(u"TABLE_NAME", adVarWChar),
                   schemaColumn(u"COLUMN_NAME", adVarWChar),
                   schemaColumn(u"ORDINAL_POSITION", adInteger),
                   schemaColumn(u"DATA_TYPE", adSmallInt),
                   schemaColumn(u"CHARACTER_MAXIMUM_LENGTH", adInteger),
                   schemaColumn(u"IS_NULLABLE", adBoolean)};
    out.returnsRows = true;
    // Fewer than 17 columns: an ODBC 2 driver, without ORDINAL_POSITION.
    const bool hasOrdinal = raw.columns.size() >= 17;
    long long ordinal = 0;
    for (size_t r = 0; r < raw.rowCount(); ++r) {
        // A driver that ignores the escape may match more tables than the one asked for.
        if (cell(raw, r, 2).toString().compare(name, Qt::CaseInsensitive) != 0) continue;
        ++ordinal;
        const int type = odbcAdoType(static_cast<int>(cell(raw, r, 4).toInt64()), cell(raw, r, 5).toString());
        Variant length = Variant::Null();
        const bool character = type == adChar || type == adVarChar || type == adLongVarChar || type == adWChar ||
                               type == adVarWChar || type == adLongVarWChar || type == adBinary || type == adLongVarBinary;
        if (character) {
            long long size = cell(raw, r, 6).toInt64();
            // ODBC reports the "max" types as 0; ADO as their largest length.
            if (size <= 0) size = (type == adVarWChar || type == adLongVarWChar) ? 1073741823LL : 2147483647LL;
            length = Variant(size);
        }
        const Variant nullable = cell(raw, r, 10);
        out.cells.push_back(cell(raw, r, 0));
        out.cells.push_back(cell(raw, r, 1));
        out.cells.push_back(cell(raw, r, 2));
        out.cells.push_back(cell(raw, r, 3));
        out.cells.emplace_back(hasOrdinal ? static_cast<long long>(cell(raw, r, 16).toInt64()) : ordinal);
        out.cells.emplace_back(static_cast<long long>(type));
        out.cells.push_back(length);
        out.cells.emplace_back(nullable.isNull() || nullable.toInt64() != SQL_NO_NULLS);
    }
    return out;
}

QString OdbcEngine::quoteIdentifier(const QString& name) const
{
    if (isSqlServer()) return u'[' + QString(name).replace(u"]"_s, u"]]"_s) + u']';
    return u'"' + QString(name).replace(u"\""_s, u"\"\""_s) + u'"';
}

QString OdbcEngine::currentDatabase() const
{
    ensureUsable();
    std::array<SQLWCHAR, 512> buf{};
    SQLINTEGER bytes = 0;
    const SQLRETURN rc = SQLGetConnectAttrW(dbc_.get(), SQL_ATTR_CURRENT_CATALOG, buf.data(), sizeof buf, &bytes);
    if (!succeeded(rc)) {
        // Drivers without catalogs (Oracle, SQLite) have no current database to report.
        auto records = failure(rc, SQL_HANDLE_DBC, dbc_.get());
        if (records.front().SQLState == u"HYC00" || records.front().SQLState == u"HY092") return {};
        raise(std::move(records));
    }
    return fromWide(buf.data(), qMin<qsizetype>(bytes / 2, buf.size() - 1));
}

void OdbcEngine::setCurrentDatabase(const QString& name)
{
    ensureUsable();
    checkDbc(SQLSetConnectAttrW(dbc_.get(), SQL_ATTR_CURRENT_CATALOG, wide(name), static_cast<SQLINTEGER>(name.size() * 2)));
}

Variant OdbcEngine::lastInsertId()
{
    ensureUsable();
    QString sql;
    if (isSqlServer())
        sql = u"SELECT @@IDENTITY"_s;
    else if (dbms_.contains(u"SQLite", Qt::CaseInsensitive))
        sql = u"SELECT last_insert_rowid()"_s;
    else if (isPostgres()) {
        // lastval() fails when this session has drawn no sequence value yet.
        try {
            const Rowset rs = run(u"SELECT lastval()"_s, {}, timeout_, false);
            return rs.rowCount() == 0 ? Variant::Null() : Variant(static_cast<long long>(rs.cells.front().toInt64()));
        } catch (const AdoException&) {
            return Variant::Null();
        }
    } else
        return Variant::Null();
    const Rowset rs = run(sql, {}, timeout_, false);
    if (rs.rowCount() == 0 || rs.cells.front().isNull()) return Variant::Null();
    // @@IDENTITY is numeric(38,0) and an expression column may come as text: keys are integers.
    return Variant(static_cast<long long>(rs.cells.front().toInt64()));
}

}  // namespace

std::unique_ptr<Engine> makeOdbcEngine()
{
    return std::make_unique<OdbcEngine>();
}

}  // namespace adodb
