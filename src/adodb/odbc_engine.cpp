// Opening, running statements, reading their rows and ending transactions
// through ODBC.
#include "odbc_engine.h"

#include "odbc_engine_p.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <array>
#include <climits>

using namespace Qt::StringLiterals;

namespace adodb {

namespace odbc {

namespace {

const QString kClosedText =
    QStringLiteral("La conexión no se puede usar para realizar esta operación. Está cerrada o no es válida en este contexto.");
const QString kLinkLostText = QStringLiteral("Error de vínculo de comunicación");

// A text longer than its column said: the rows bound so far cannot be
// completed, so the statement is read again value by value.
struct TextOverflow {};

// One bound column of a block: values of every row of the block side by side.
struct BlockColumn {
    Fetch how = Fetch::Text;
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLLEN width = 0;  // bytes per row
    std::vector<char> data;
    std::vector<SQLLEN> indicators;
};

constexpr SQLULEN kBlockTextMax = 4000;        // characters; longer columns are read value by value
constexpr size_t kBytesPerBlock = 512 * 1024;  // the rows of one fetch, all columns together

}  // namespace

OdbcEngine::OdbcEngine() : server_(ServerKindFor({})), source_(u"ODBC"_s)
{}

void OdbcEngine::check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) const
{
    if (succeeded(rc) || rc == SQL_NO_DATA) return;
    raise(failure(rc, type, h));
}

std::vector<Error> OdbcEngine::failure(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) const
{
    std::vector<Error> records;
    if (rc != SQL_INVALID_HANDLE) records = diagnostics(type, h, source_);
    for (Error& r : records) {
        server_->fixUp(r);
        r.Number = NumberForSqlState(r.SQLState);
    }
    failureFirst(records);
    // A driver may name a dropped link after what it was doing when it met it
    // (psqlODBC: "internal SAVEPOINT failed", HY000). Whether the connection
    // is gone is what callers act on, and the driver can say so.
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (dbc_ && type != SQL_HANDLE_ENV && !records.empty() && !records.front().SQLState.startsWith(u"08") &&
        succeeded(SQLGetConnectAttr(dbc_.get(), SQL_ATTR_CONNECTION_DEAD, &dead, SQL_IS_UINTEGER, nullptr)) &&
        dead == SQL_CD_TRUE) {
        records.front().SQLState = u"08S01"_s;
        records.front().Number = NumberForSqlState(records.front().SQLState);
    }
    leadWithTheReason(records);
    if (records.empty())
        records.push_back(ProviderError(u"HY000"_s, u"El controlador ODBC devolvió un error sin descripción."_s, source_));
    return records;
}

void OdbcEngine::raise(std::vector<Error> records) const
{
    throw AdoException(std::move(records));
}

void OdbcEngine::ensureUsable() const
{
    if (!dbc_) throw AdoException(kErrConnectionInvalid, kClosedText);
    if (broken_) throw AdoException(ProviderError(u"08S01"_s, kLinkLostText, source_));
}

void OdbcEngine::refuseNul() const
{
    throw AdoException(ProviderError(
        u"22021"_s, u"El texto contiene el carácter nulo (código 0), que esta base de datos no puede guardar."_s, source_));
}

Handle OdbcEngine::allocate(SQLSMALLINT type, const Handle& parent) const
{
    SQLHANDLE h = SQL_NULL_HANDLE;
    const SQLRETURN rc = SQLAllocHandle(type, parent ? parent.get() : SQL_NULL_HANDLE, &h);
    if (!succeeded(rc)) raise(failure(rc, parent.type(), parent.get()));
    return Handle(type, h);
}

Handle OdbcEngine::statement() const
{
    Handle st = allocate(SQL_HANDLE_STMT, dbc_);
    if (timeout_ > 0 && !timeoutOnServer_)  // a driver without query timeouts runs unbounded, as ADO would
        SQLSetStmtAttr(st.get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout_)),
                       SQL_IS_UINTEGER);
    return st;
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
    source_ = odbcDriverName(text);

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
    server_ = ServerKindFor(dbms_);
    if (!dbms_.isEmpty()) source_ = dbms_;
    escape_ = infoText(SQL_SEARCH_PATTERN_ESCAPE);
    broken_ = false;
    inTransaction_ = false;
    timeout_ = 0;
    timeoutOnServer_ = false;
}

void OdbcEngine::close()
{
    // Disconnecting inside a transaction fails with 25000; what was not committed is lost, as ADO loses it.
    if (dbc_ && inTransaction_) SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
    dbc_.reset();
    env_.reset();
    dbms_.clear();
    server_ = ServerKindFor({});
    escape_.clear();
    broken_ = false;
    inTransaction_ = false;
    timeout_ = 0;
    timeoutOnServer_ = false;
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
        if (!server_->storesNul() && b.text.contains(QChar(0))) refuseNul();
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
    if (how != Fetch::Text) {
        CellBuffer value;
        const CType c = cTypeFor(how);
        checkStmt(SQLGetData(st.get(), col, c.id, &value, c.bytes, &ind), st);
        return decode(how, &value, ind);
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

// Reads the rows a block at a time into bound buffers, one call for many rows
// instead of one per value. False, with nothing read, when a column cannot be
// bound with a size known in advance (long or unbounded texts, binary) or the
// driver refuses row arrays: the caller then reads value by value.
bool OdbcEngine::readInBlocks(const Handle& st, const std::vector<Fetch>& how, const std::vector<SQLSMALLINT>& sqlTypes,
                              const std::vector<SQLULEN>& sizes, Rowset& rs) const
{
    const size_t n = how.size();
    std::vector<BlockColumn> cols(n);
    SQLLEN rowWidth = 0;
    for (size_t i = 0; i < n; ++i) {
        BlockColumn& c = cols[i];
        c.how = how[i];
        if (how[i] == Fetch::Text) {
            const SQLSMALLINT t = sqlTypes[i];
            const bool text = t == SQL_CHAR || t == SQL_VARCHAR || t == SQL_WCHAR || t == SQL_WVARCHAR;
            if (!text || sizes[i] == 0 || sizes[i] > kBlockTextMax) return false;
            // Room for every character taking two UTF-16 units, and the terminator.
            c.cType = SQL_C_WCHAR;
            c.width = static_cast<SQLLEN>((2 * sizes[i] + 1) * sizeof(SQLWCHAR));
        } else {
            const CType t = cTypeFor(how[i]);
            c.cType = t.id;
            c.width = t.bytes;
        }
        c.width = (c.width + 7) & ~SQLLEN(7);
        rowWidth += c.width + static_cast<SQLLEN>(sizeof(SQLLEN));
    }
    SQLULEN rows = std::clamp<SQLULEN>(kBytesPerBlock / static_cast<size_t>(qMax<SQLLEN>(1, rowWidth)), 1, 1024);
    if (!succeeded(SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) ||
        !succeeded(SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0)))
        return false;
    // A driver may lower the size it was asked for.
    SQLULEN granted = 0;
    if (!succeeded(SQLGetStmtAttr(st.get(), SQL_ATTR_ROW_ARRAY_SIZE, &granted, 0, nullptr)) || granted == 0) return false;
    if (granted > rows) {
        SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        return false;
    }
    rows = granted;
    SQLULEN fetched = 0;
    std::vector<SQLUSMALLINT> states(rows, SQL_ROW_SUCCESS);
    auto undo = [&] {
        SQLFreeStmt(st.get(), SQL_UNBIND);
        SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        SQLSetStmtAttr(st.get(), SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
        SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    };
    SQLSetStmtAttr(st.get(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    SQLSetStmtAttr(st.get(), SQL_ATTR_ROW_STATUS_PTR, states.data(), 0);
    for (size_t i = 0; i < n; ++i) {
        BlockColumn& c = cols[i];
        c.data.resize(static_cast<size_t>(c.width) * rows);
        c.indicators.resize(rows);
        if (!succeeded(
                SQLBindCol(st.get(), static_cast<SQLUSMALLINT>(i + 1), c.cType, c.data.data(), c.width, c.indicators.data()))) {
            undo();
            return false;
        }
    }
    try {
        for (;;) {
            const SQLRETURN rc = SQLFetch(st.get());
            if (rc == SQL_NO_DATA) break;
            checkStmt(rc, st);
            for (SQLULEN r = 0; r < fetched; ++r) {
                if (states[r] == SQL_ROW_NOROW) continue;
                if (states[r] == SQL_ROW_ERROR) raise(failure(SQL_ERROR, SQL_HANDLE_STMT, st.get()));
                for (size_t i = 0; i < n; ++i) {
                    const BlockColumn& c = cols[i];
                    const SQLLEN ind = c.indicators[r];
                    const char* p = c.data.data() + static_cast<size_t>(c.width) * r;
                    if (c.how == Fetch::Text && ind != SQL_NULL_DATA &&
                        (ind == SQL_NO_TOTAL || ind < 0 || ind > c.width - static_cast<SQLLEN>(sizeof(SQLWCHAR))))
                        throw TextOverflow{};
                    rs.cells.push_back(decode(c.how, p, ind));
                }
            }
        }
    } catch (...) {
        undo();
        throw;
    }
    undo();
    return true;
}

void OdbcEngine::readRowset(const Handle& st, SQLSMALLINT count, Rowset& rs, bool origins, bool inBlocks) const
{
    std::vector<Fetch> how;
    std::vector<SQLSMALLINT> sqlTypes;
    std::vector<SQLULEN> sizes;
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
        sqlTypes.push_back(sqlType);
        sizes.push_back(size);
    }
    if (inBlocks && readInBlocks(st, how, sqlTypes, sizes, rs)) {
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

Rowset OdbcEngine::collect(const Handle& st, bool origins, bool inBlocks) const
{
    Rowset kept;
    bool haveRows = false;
    long affected = -1;
    for (;;) {
        SQLSMALLINT count = 0;
        checkStmt(SQLNumResultCols(st.get(), &count), st);
        if (count > 0) {
            Rowset rs;
            readRowset(st, count, rs, origins, inBlocks);
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

Rowset OdbcEngine::run(const QString& sql, const std::vector<Variant>& params, int timeoutSecs, bool forWriting)
{
    ensureUsable();
    const QString text = server_->translate(sql);
    // The text goes NUL-terminated, so a NUL inside would cut it.
    if (text.contains(QChar(0))) refuseNul();
    const bool narrow = server_->wantsUtf8Statements();
    const QByteArray utf8 = narrow ? text.toUtf8() : QByteArray();
    auto* narrowText = reinterpret_cast<SQLCHAR*>(const_cast<char*>(utf8.constData()));
    Rowset result;
    setTimeout(qMax(0, timeoutSecs));
    // Rows are read in blocks only for one SELECT alone, which can be run
    // again should a text overflow its declared size; batches value by value.
    const bool aloneSelect = text.trimmed().left(6).compare(u"SELECT", Qt::CaseInsensitive) == 0 && !text.contains(u';');
    bool overflowed = false;
    {
        Handle st = statement();
        // Buffers stay put until execution: bound parameters are read then.
        std::vector<ParamBuffer> buffers(params.size());
        for (size_t i = 0; i < params.size(); ++i) bind(st, static_cast<SQLUSMALLINT>(i + 1), params[i], buffers[i]);
        // Executed directly even with parameters: a prepared statement is one
        // more round trip to free on drivers that prepare on the server.
        const SQLRETURN rc =
            narrow ? SQLExecDirect(st.get(), narrowText, SQL_NTS) : SQLExecDirectW(st.get(), wide(text), SQL_NTS);
        checkStmt(rc, st);
        try {
            result = collect(st, forWriting, aloneSelect);
        } catch (const TextOverflow&) {
            overflowed = true;
        }
    }
    if (overflowed) {
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
    if (result.returnsRows) server_->restoreNames(result, sql);
    return result;
}

void OdbcEngine::setTimeout(int seconds)
{
    if (seconds == timeout_) return;
    if (const QString sql = server_->sessionTimeout(seconds); !sql.isEmpty()) {
        // Inside a transaction the setting would be undone by a rollback: it waits for the next statement outside one.
        if (inTransaction_) return;
        Handle st = allocate(SQL_HANDLE_STMT, dbc_);
        if (!succeeded(SQLExecDirectW(st.get(), wide(sql), SQL_NTS))) return;  // statements stay unbounded, as before it was set
        timeoutOnServer_ = true;
    }
    timeout_ = seconds;
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
    return server_->lastInsertId([this](const QString& sql) { return run(sql, {}, timeout_, false); });
}

}  // namespace odbc

std::unique_ptr<Engine> makeOdbcEngine()
{
    return std::make_unique<odbc::OdbcEngine>();
}

}  // namespace adodb
