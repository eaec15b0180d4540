// PostgreSQL over libpq. What psqlODBC costs and this route saves: no
// statements of the driver's own (the time-out rides on the login, no
// savepoint around each statement, a table's definition read once per
// connection and only for rows that will be written back), a BEGIN sent in
// the same round trip as the statement after it, and values read from
// libpq's text straight into Variants.
#include "pq_engine.h"

#include "messages.h"
#include "postgres_dialect.h"
#include "pq_engine_p.h"
#include "schema_rowsets.h"

#include <libpq-fe.h>

#include <map>
#include <memory>
#include <optional>
#include <set>

using namespace Qt::StringLiterals;

namespace adodb {

namespace {

using pq::Oid;

const QString kSource = u"PostgreSQL"_s;
const QString kLinkLostText = u"Error de vínculo de comunicación"_s;

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

QString trimmedText(const char* s)
{
    return s ? QString::fromUtf8(s).trimmed() : QString();
}

/// One statement as libpq sends it: text and parameters in its text format.
struct Query {
    QByteArray sql;
    std::vector<QByteArray> values;
    std::vector<bool> isNull;
};

/// What a table's columns are, read from the catalog once per connection:
/// where a result column comes from, so a row can be written back.
struct ColumnFacts {
    QString name;
    Oid type = 0;
    int typmod = -1;
    bool notNull = false;
    bool autoIncrement = false;
    int keyPosition = 0;  // 1-based place in the primary key, 0 outside it
};
struct TableFacts {
    QString name, schema, description;
    bool visible = true;  // found by its name alone (on the search path)
    bool view = false;
    std::map<int, ColumnFacts> columns;  // by attribute number
    QStringList keys() const
    {
        std::map<int, QString> byPosition;
        for (const auto& [n, c] : columns)
            if (c.keyPosition > 0) byPosition.emplace(c.keyPosition, c.name);
        QStringList out;
        for (const auto& [p, name] : byPosition) out << name;
        return out;
    }
};

class PqEngine final : public Engine {
public:
    explicit PqEngine(int commandTimeoutSecs) : presetTimeout_(commandTimeoutSecs) {}
    ~PqEngine() override { close(); }

    void open(const ConnectionInfo& info, const QString& user, const QString& password, int timeoutSecs) override;
    void close() override;
    bool isOpen() const override { return conn_ != nullptr; }
    Rowset run(const QString& sql, const std::vector<Variant>& params, int timeoutSecs, bool forWriting) override;
    void begin() override;
    void commit() override { endTransaction(true); }
    void rollback() override { endTransaction(false); }
    Rowset tables() override;
    Rowset columns(const QString& table) override;
    QStringList primaryKeys(const QString& table) override;
    QString quoteIdentifier(const QString& name) const override
    {
        return u'"' + QString(name).replace(u"\""_s, u"\"\""_s) + u'"';
    }
    QString dbmsName() const override { return kSource; }
    QString currentDatabase() const override;
    void setCurrentDatabase(const QString& name) override;
    Variant lastInsertId() override;
    void breakLink() override { broken_ = true; }

private:
    void connect();
    void ensureUsable() const;
    [[noreturn]] void raise(const PGresult* r) const;
    [[noreturn]] void refuseNul() const;
    Error errorOf(const PGresult* r) const;
    /// Sends the statements in one round trip (pipeline mode when there are
    /// several) and returns the results of each; throws on the first failure.
    std::vector<std::vector<Result>> send(const std::vector<Query>& queries);
    std::vector<Result> sendBatch(const QByteArray& sql);
    /// An internal statement of one result (catalog reads); throws on failure.
    Result exec(const QByteArray& sql, const std::vector<QByteArray>& values = {});
    Rowset rowsetOf(const PGresult* r, bool forWriting);
    void learnTables(const std::set<Oid>& tables);
    /// Reads what the catalog says of the tables `where` picks, in one statement.
    std::vector<Oid> readFacts(const QByteArray& where, const std::vector<QByteArray>& values);
    const TableFacts* factsOf(const QString& schema, const QString& name) const;
    void endTransaction(bool commit);
    /// The prefixes a statement needs now: the time-out when it changed, a BEGIN still owed.
    void prefixes(std::vector<Query>& out, int timeoutSecs);

    PGconn* conn_ = nullptr;
    ConnectionInfo info_;
    int connectTimeout_ = 15;
    int presetTimeout_;  // what the login sets
    int timeout_ = 0;    // the session's statement_timeout, in seconds
    bool broken_ = false;
    bool inTransaction_ = false;
    bool beginOwed_ = false;  // BEGIN goes with the transaction's first statement
    bool inserted_ = false;   // an INSERT ran on this session, so lastval() may answer
    std::map<Oid, TableFacts> facts_;
};

// ---------------------------------------------------------------------------
// Connecting

void PqEngine::open(const ConnectionInfo& info, const QString& user, const QString& password, int timeoutSecs)
{
    close();
    info_ = info;
    if (!user.isEmpty()) info_.user = user;
    if (!password.isEmpty()) info_.password = password;
    connectTimeout_ = timeoutSecs;
    connect();
}

void PqEngine::connect()
{
    static const std::vector<QByteArray> known = [] {
        std::vector<QByteArray> k;
        if (PQconninfoOption* o = PQconndefaults()) {
            for (PQconninfoOption* p = o; p->keyword; ++p) k.emplace_back(p->keyword);
            PQconninfoFree(o);
        }
        return k;
    }();
    const pq::Params params = pq::connectionParams(info_, connectTimeout_, presetTimeout_, known);
    std::vector<const char*> keys, values;
    for (const auto& [k, v] : params) {
        keys.push_back(k.constData());
        values.push_back(v.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        // libpq keeps the server's SQLSTATE of a refused login to itself; the
        // server's text says why. 08001 is what psqlODBC answers too.
        const QString why = conn ? trimmedText(PQerrorMessage(conn)) : u"Sin memoria para la conexión."_s;
        if (conn) PQfinish(conn);
        throw AdoException(ProviderError(u"08001"_s, why, kSource));
    }
    // The server's notices would go to standard error; nobody reads them there.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    conn_ = conn;
    timeout_ = presetTimeout_;
    broken_ = false;
    inTransaction_ = false;
    beginOwed_ = false;
    inserted_ = false;
    facts_.clear();
}

void PqEngine::close()
{
    // The server rolls back what was not committed, as ADO loses it.
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
    broken_ = false;
    inTransaction_ = false;
    beginOwed_ = false;
    facts_.clear();
}

QString PqEngine::currentDatabase() const
{
    ensureUsable();
    return QString::fromUtf8(PQdb(conn_));
}

void PqEngine::setCurrentDatabase(const QString& name)
{
    ensureUsable();
    if (name.compare(currentDatabase(), Qt::CaseInsensitive) == 0) return;
    // A PostgreSQL session belongs to one database: another one is another login.
    if (inTransaction_) msg::raise(kErrNotInContext);
    ConnectionInfo other = info_;
    other.database = name;
    other.dataSource.clear();
    PGconn* previous = std::exchange(conn_, nullptr);
    std::swap(info_, other);
    try {
        connect();
    } catch (const AdoException&) {
        std::swap(info_, other);
        conn_ = previous;
        throw;
    }
    PQfinish(previous);
}

// ---------------------------------------------------------------------------
// Failures

void PqEngine::ensureUsable() const
{
    if (!conn_) throw AdoException(kErrConnectionInvalid, msg::text(kErrConnectionInvalid));
    if (broken_) throw AdoException(ProviderError(u"08S01"_s, kLinkLostText, kSource));
    if (PQstatus(conn_) == CONNECTION_BAD) {
        const QString why = trimmedText(PQerrorMessage(conn_));
        throw AdoException(ProviderError(u"08006"_s, why.isEmpty() ? kLinkLostText : why, kSource));
    }
}

Error PqEngine::errorOf(const PGresult* r) const
{
    Error e;
    e.Source = kSource;
    e.SQLState = r ? QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
    // The whole text as psql shows it: the server's message (in the server's
    // language), its detail and hint, and where in the statement.
    e.Description = r ? trimmedText(PQresultErrorMessage(r)) : QString();
    if (e.Description.isEmpty()) e.Description = trimmedText(PQerrorMessage(conn_));
    // A link that went says so whatever the server had time to tell: the
    // remedy (reconnecting) is the same.
    const bool lost = PQstatus(conn_) == CONNECTION_BAD;
    if (lost && !e.SQLState.startsWith(u"08") && !e.SQLState.startsWith(u"57P")) e.SQLState = u"08006"_s;
    if (e.SQLState.isEmpty()) e.SQLState = u"HY000"_s;
    if (e.Description.isEmpty()) e.Description = lost ? kLinkLostText : u"PostgreSQL devolvió un error sin descripción."_s;
    e.Number = NumberForSqlState(e.SQLState);
    return e;
}

void PqEngine::raise(const PGresult* r) const
{
    throw AdoException(errorOf(r));
}

void PqEngine::refuseNul() const
{
    throw AdoException(ProviderError(
        u"22021"_s, u"El texto contiene el carácter nulo (código 0), que esta base de datos no puede guardar."_s, kSource));
}

// ---------------------------------------------------------------------------
// Sending

bool failed(const PGresult* r)
{
    const ExecStatusType s = PQresultStatus(r);
    return s == PGRES_FATAL_ERROR || s == PGRES_BAD_RESPONSE || s == PGRES_NONFATAL_ERROR;
}

bool sendOne(PGconn* conn, const Query& q)
{
    std::vector<const char*> values(q.values.size());
    for (size_t i = 0; i < values.size(); ++i) values[i] = q.isNull[i] ? nullptr : q.values[i].constData();
    return PQsendQueryParams(conn, q.sql.constData(), static_cast<int>(values.size()), nullptr, values.data(), nullptr, nullptr,
                             0) == 1;
}

std::vector<std::vector<Result>> PqEngine::send(const std::vector<Query>& queries)
{
    std::vector<std::vector<Result>> out(queries.size());
    const bool pipeline = queries.size() > 1 && PQenterPipelineMode(conn_) == 1;
    auto leavePipeline = [&] {
        if (pipeline) PQexitPipelineMode(conn_);
    };
    size_t sent = 0;
    for (const Query& q : queries) {
        if (!sendOne(conn_, q)) break;
        ++sent;
        if (!pipeline) break;  // one at a time: the rest after its answer
    }
    if (pipeline && sent == queries.size() && PQpipelineSync(conn_) != 1) sent = 0;
    if (sent == 0) {
        leavePipeline();
        raise(nullptr);
    }
    std::optional<Error> failure;
    for (size_t i = 0; i < queries.size(); ++i) {
        if (!pipeline && i > 0) {
            if (failure || !sendOne(conn_, queries[i])) break;
        } else if (pipeline && i >= sent) {
            break;
        }
        // Each statement's results end with a null one.
        while (PGresult* r = PQgetResult(conn_)) {
            Result res(r);
            if (!failure && failed(r)) failure = errorOf(r);
            out[i].push_back(std::move(res));
        }
        if (PQstatus(conn_) == CONNECTION_BAD) {
            if (!failure) failure = errorOf(nullptr);
            break;
        }
    }
    if (pipeline && PQstatus(conn_) != CONNECTION_BAD) {
        // The answer to the sync closes the pipeline.
        while (PGresult* r = PQgetResult(conn_)) {
            const bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (sync) break;
        }
    }
    leavePipeline();
    if (failure) throw AdoException(*failure);
    return out;
}

std::vector<Result> PqEngine::sendBatch(const QByteArray& sql)
{
    if (PQsendQuery(conn_, sql.constData()) != 1) raise(nullptr);
    std::vector<Result> out;
    std::optional<Error> failure;
    while (PGresult* r = PQgetResult(conn_)) {
        Result res(r);
        if (!failure && failed(r)) failure = errorOf(r);
        out.push_back(std::move(res));
    }
    if (!failure && PQstatus(conn_) == CONNECTION_BAD) failure = errorOf(nullptr);
    if (failure) throw AdoException(*failure);
    return out;
}

Result PqEngine::exec(const QByteArray& sql, const std::vector<QByteArray>& values)
{
    Query q{sql, values, std::vector<bool>(values.size(), false)};
    std::vector<Query> queries;
    prefixes(queries, timeout_);
    queries.push_back(std::move(q));
    auto results = send(queries);
    for (auto it = results.back().rbegin(); it != results.back().rend(); ++it)
        if (PQresultStatus(it->get()) == PGRES_TUPLES_OK) return std::move(*it);
    raise(nullptr);
}

void PqEngine::prefixes(std::vector<Query>& out, int timeoutSecs)
{
    // SET inside a transaction would be undone by its rollback: it waits for a
    // statement outside one (or goes just before the BEGIN still owed).
    if (timeoutSecs != timeout_ && (!inTransaction_ || beginOwed_)) {
        out.push_back({"SET statement_timeout = " + QByteArray::number(qMax(0LL, 1000LL * timeoutSecs)), {}, {}});
        timeout_ = timeoutSecs;
    }
    if (beginOwed_) {
        out.push_back({"BEGIN", {}, {}});
        beginOwed_ = false;
    }
}

// ---------------------------------------------------------------------------
// Statements

Rowset PqEngine::run(const QString& sql, const std::vector<Variant>& params, int timeoutSecs, bool forWriting)
{
    ensureUsable();
    const QString translated = SqlServerToPostgres(sql);
    if (translated.contains(QChar(0))) refuseNul();
    const pq::Statement st = pq::prepare(translated);
    if (st.definition) facts_.clear();

    Query q;
    q.sql = st.text.toUtf8();
    for (const Variant& v : params) {
        QByteArray text;
        const bool present = pq::encode(v, text);
        // The server refuses it, and a C string would end there.
        if (present && text.contains('\0')) refuseNul();
        q.values.push_back(std::move(text));
        q.isNull.push_back(!present);
    }

    const int timeoutBefore = timeout_;
    const bool owedBefore = beginOwed_;
    std::vector<Result> results;
    try {
        if (params.empty()) {
            // Without parameters the simple protocol carries the statement (or
            // several), and what must go before it in the same message.
            std::vector<Query> pre;
            prefixes(pre, timeoutSecs);
            QByteArray text;
            for (const Query& p : pre) text += p.sql + ';';
            results = sendBatch(text + translated.toUtf8());
        } else {
            std::vector<Query> queries;
            prefixes(queries, timeoutSecs);
            queries.push_back(std::move(q));
            auto all = send(queries);
            results = std::move(all.back());
        }
    } catch (const AdoException&) {
        // What did not reach the server is still owed.
        if (PQstatus(conn_) != CONNECTION_BAD) {
            timeout_ = timeoutBefore;
            beginOwed_ = owedBefore && PQtransactionStatus(conn_) == PQTRANS_IDLE;
        }
        throw;
    }

    // As ODBC gathers a batch: the first result with rows (or the first
    // rowset at all), and the rows every command changed.
    Rowset kept;
    bool haveRows = false;
    long affected = -1;
    for (const Result& r : results) {
        const ExecStatusType s = PQresultStatus(r.get());
        if (s == PGRES_TUPLES_OK) {
            if (!haveRows && (!kept.returnsRows || PQntuples(r.get()) > 0)) {
                haveRows = PQntuples(r.get()) > 0;
                kept = rowsetOf(r.get(), forWriting);
            }
        } else if (s == PGRES_COMMAND_OK) {
            const char* n = PQcmdTuples(r.get());
            if (n && *n) affected = (affected < 0 ? 0 : affected) + std::atol(n);
            if (qstrncmp(PQcmdStatus(r.get()), "INSERT", 6) == 0) inserted_ = true;
        }
    }
    kept.affected = affected;
    if (kept.returnsRows) RestorePostgresNames(kept.columns, sql);
    return kept;
}

Rowset PqEngine::rowsetOf(const PGresult* r, bool forWriting)
{
    Rowset rs;
    rs.returnsRows = true;
    const int cols = PQnfields(r);
    const int rows = PQntuples(r);
    std::vector<pq::Decode> how(static_cast<size_t>(cols));
    std::set<Oid> tables;
    for (int c = 0; c < cols; ++c) {
        ColumnInfo info;
        info.name = QString::fromUtf8(PQfname(r, c));
        const Oid type = PQftype(r, c);
        info.type = pq::adoType(type);
        info.definedSize = pq::definedSize(type, PQfmod(r, c));
        how[static_cast<size_t>(c)] = pq::decodeFor(type);
        if (forWriting && PQftable(r, c) != InvalidOid && PQftablecol(r, c) > 0) tables.insert(PQftable(r, c));
        rs.columns.push_back(std::move(info));
    }
    // Where each column comes from matters only to write rows back, and
    // reading it costs a round trip the first time a table is met.
    if (forWriting) {
        std::set<Oid> unknown;
        for (const Oid t : tables)
            if (!facts_.count(t)) unknown.insert(t);
        if (!unknown.empty()) learnTables(unknown);
        for (int c = 0; c < cols; ++c) {
            const auto t = facts_.find(PQftable(r, c));
            if (t == facts_.end()) continue;
            const auto col = t->second.columns.find(PQftablecol(r, c));
            if (col == t->second.columns.end()) continue;
            ColumnInfo& info = rs.columns[static_cast<size_t>(c)];
            info.baseTable = t->second.name;
            info.baseColumn = col->second.name;
            info.nullable = !col->second.notNull;
            info.autoIncrement = col->second.autoIncrement;
            info.key = col->second.keyPosition > 0;
        }
    } else {
        rs.keysKnown = false;
    }
    rs.cells.reserve(static_cast<size_t>(rows) * static_cast<size_t>(cols));
    for (int row = 0; row < rows; ++row)
        for (int c = 0; c < cols; ++c) {
            if (PQgetisnull(r, row, c))
                rs.cells.push_back(Variant::Null());
            else
                rs.cells.push_back(pq::decode(how[static_cast<size_t>(c)], PQgetvalue(r, row, c), PQgetlength(r, row, c)));
        }
    return rs;
}

void PqEngine::learnTables(const std::set<Oid>& tables)
{
    QByteArray list = "{";
    for (const Oid t : tables) list += QByteArray::number(t) + ',';
    list.back() = '}';
    readFacts("c.oid = ANY($1::oid[])", {list});
}

std::vector<Oid> PqEngine::readFacts(const QByteArray& where, const std::vector<QByteArray>& values)
{
    // One row per column (one with NULLs for a table without any), so that
    // the tables, their columns and their keys come in one round trip.
    const Result r = exec("SELECT c.oid, c.relname, n.nspname, pg_table_is_visible(c.oid), c.relkind IN ('v', 'm'), "
                          "obj_description(c.oid, 'pg_class'), a.attnum, a.attname, a.atttypid, a.atttypmod, a.attnotnull, "
                          "a.attidentity <> '' OR COALESCE(pg_get_expr(d.adbin, d.adrelid) LIKE 'nextval(%', false), "
                          "COALESCE(array_position(i.indkey::int2[], a.attnum), 0) "
                          "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                          "LEFT JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                          "LEFT JOIN pg_attrdef d ON d.adrelid = c.oid AND d.adnum = a.attnum "
                          "LEFT JOIN pg_index i ON i.indrelid = c.oid AND i.indisprimary WHERE " +
                              where + " ORDER BY 5, 3, 2, 7",
                          values);
    std::vector<Oid> order;
    for (int row = 0; row < PQntuples(r.get()); ++row) {
        auto text = [&](int c) { return QString::fromUtf8(PQgetvalue(r.get(), row, c)); };
        auto yes = [&](int c) { return *PQgetvalue(r.get(), row, c) == 't'; };
        const Oid oid = static_cast<Oid>(text(0).toUInt());
        if (order.empty() || order.back() != oid) {
            order.push_back(oid);
            TableFacts& t = facts_[oid];
            t = TableFacts{};
            t.name = text(1);
            t.schema = text(2);
            t.visible = yes(3);
            t.view = yes(4);
            t.description = PQgetisnull(r.get(), row, 5) ? QString() : text(5);
        }
        if (PQgetisnull(r.get(), row, 6)) continue;
        ColumnFacts& col = facts_[oid].columns[text(6).toInt()];
        col.name = text(7);
        col.type = static_cast<Oid>(text(8).toUInt());
        col.typmod = text(9).toInt();
        col.notNull = yes(10);
        col.autoIncrement = yes(11);
        col.keyPosition = text(12).toInt();
    }
    return order;
}

const TableFacts* PqEngine::factsOf(const QString& schema, const QString& name) const
{
    for (const auto& [oid, t] : facts_)
        if (t.name == name && (schema.isEmpty() ? t.visible : t.schema == schema)) return &t;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Transactions: BEGIN waits for the first statement and travels with it; a
// transaction in which nothing ran ends without a word to the server.

void PqEngine::begin()
{
    ensureUsable();
    if (inTransaction_) return;
    inTransaction_ = true;
    beginOwed_ = true;
}

void PqEngine::endTransaction(bool commit)
{
    ensureUsable();
    if (!inTransaction_) return;
    inTransaction_ = false;
    if (beginOwed_) {
        beginOwed_ = false;
        return;
    }
    auto results = send({{commit ? "COMMIT" : "ROLLBACK", {}, {}}});
    // A statement that failed inside the transaction made the server roll it
    // all back: COMMIT then answers ROLLBACK, and that is no success.
    if (commit && !results.front().empty() && qstrcmp(PQcmdStatus(results.front().back().get()), "ROLLBACK") == 0)
        throw AdoException(Error{kErrTransactionLost,
                                 u"La transacción se deshizo porque una de sus sentencias falló: sus cambios no se grabaron."_s,
                                 kSource, u"25P02"_s, 0});
}

Variant PqEngine::lastInsertId()
{
    ensureUsable();
    // lastval() fails (and would take an open transaction with it) while no
    // sequence gave a value on this session; only an INSERT draws one here.
    if (!inserted_) return Variant::Null();
    try {
        const Result r = exec("SELECT lastval()");
        if (PQntuples(r.get()) == 0 || PQgetisnull(r.get(), 0, 0)) return Variant::Null();
        return pq::decode(pq::Decode::Integer, PQgetvalue(r.get(), 0, 0), PQgetlength(r.get(), 0, 0));
    } catch (const AdoException&) {
        return Variant::Null();
    }
}

// ---------------------------------------------------------------------------
// The catalog, each in one statement

namespace {

// "schema.table", "[t]", "\"T\"": PostgreSQL keeps unquoted names in lower case.
std::pair<QString, QString> splitName(const QString& table)
{
    auto unquoted = [](QString s, bool* quoted) {
        s = s.trimmed();
        *quoted = s.size() >= 2 && s.startsWith(u'"') && s.endsWith(u'"');
        if (*quoted || (s.size() >= 2 && s.startsWith(u'[') && s.endsWith(u']'))) s = s.mid(1, s.size() - 2);
        return s;
    };
    bool quoted = false;
    QString schema, name;
    const qsizetype dot = table.lastIndexOf(u'.');
    if (dot > 0) {
        bool q = false;
        schema = unquoted(table.left(dot), &q).toLower();
        name = unquoted(table.mid(dot + 1), &quoted);
    } else {
        name = unquoted(table, &quoted);
    }
    if (!quoted) name = name.toLower();
    return {schema, name};
}

}  // namespace

// The tables and, in the same statement, every table's columns and key: at
// start-up the program asks for the tables, then for the definition of the
// ones it reads and writes, each of which would be another round trip.
Rowset PqEngine::tables()
{
    ensureUsable();
    const std::vector<Oid> order =
        readFacts("c.relkind IN ('r', 'p', 'v', 'm', 'f') AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
                  "AND n.nspname NOT LIKE 'pg\\_toast%' AND n.nspname NOT LIKE 'pg\\_temp%'",
                  {});
    Rowset out = EmptyTablesRowset();
    const QString catalog = QString::fromUtf8(PQdb(conn_));
    for (const Oid oid : order) {
        const TableFacts& t = facts_[oid];
        out.cells.emplace_back(catalog);
        out.cells.emplace_back(t.schema);
        out.cells.emplace_back(t.name);
        out.cells.emplace_back(t.view ? u"VIEW"_s : u"TABLE"_s);
        out.cells.push_back(t.description.isNull() ? Variant::Null() : Variant(t.description));
    }
    return out;
}

Rowset PqEngine::columns(const QString& table)
{
    ensureUsable();
    const auto [schema, name] = splitName(table);
    const TableFacts* t = factsOf(schema, name);
    if (!t) {
        // Not among the tables read so far (made since, or never asked for).
        QString condition = u"c.relname = $1 AND "_s;
        condition += schema.isEmpty() ? u"pg_table_is_visible(c.oid)"_s : u"n.nspname = $2"_s;
        std::vector<QByteArray> values{name.toUtf8()};
        if (!schema.isEmpty()) values.push_back(schema.toUtf8());
        readFacts(condition.toUtf8(), values);
        t = factsOf(schema, name);
    }
    Rowset out = EmptyColumnsRowset();
    if (!t) return out;
    const QString catalog = QString::fromUtf8(PQdb(conn_));
    long long ordinal = 0;
    for (const auto& [n, c] : t->columns) {
        const int type = pq::adoType(c.type);
        Variant length = Variant::Null();
        const bool character = IsTextType(type) || type == adBinary || type == adLongVarBinary;
        if (character) {
            long long size = pq::definedSize(c.type, c.typmod);
            // Unbounded texts, as ADO reports the "max" types.
            if (size <= 0) size = (type == adVarWChar || type == adLongVarWChar) ? 1073741823LL : 2147483647LL;
            length = Variant(size);
        }
        out.cells.emplace_back(catalog);
        out.cells.emplace_back(t->schema);
        out.cells.emplace_back(t->name);
        out.cells.emplace_back(c.name);
        out.cells.emplace_back(++ordinal);
        out.cells.emplace_back(static_cast<long long>(type));
        out.cells.push_back(length);
        out.cells.emplace_back(!c.notNull);
    }
    return out;
}

QStringList PqEngine::primaryKeys(const QString& table)
{
    ensureUsable();
    const auto [schema, name] = splitName(table);
    // A table whose rows were read for writing, or listed with the tables, is known already.
    if (const TableFacts* t = factsOf(schema, name)) return t->keys();
    const Result r =
        exec("SELECT a.attname FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid "
             "JOIN pg_namespace n ON n.oid = c.relnamespace "
             "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = ANY(i.indkey) "
             "WHERE i.indisprimary AND c.relname = $1 AND (($2 = '' AND pg_table_is_visible(c.oid)) OR n.nspname = $2) "
             "ORDER BY array_position(i.indkey::int2[], a.attnum)",
             {name.toUtf8(), schema.toUtf8()});
    QStringList keys;
    for (int row = 0; row < PQntuples(r.get()); ++row) keys << QString::fromUtf8(PQgetvalue(r.get(), row, 0));
    return keys;
}

}  // namespace

std::unique_ptr<Engine> makePqEngine(int commandTimeoutSecs)
{
    return std::make_unique<PqEngine>(commandTimeoutSecs);
}

}  // namespace adodb
