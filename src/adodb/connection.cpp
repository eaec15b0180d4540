#include "connection.h"

#include "messages.h"
#include "pq_engine.h"
#include "recordset.h"
#include "sqlite_locks.h"

#include <QRegularExpression>

namespace adodb {

namespace {

// A statement that may change what the catalog says. A false alarm (the word
// inside a text value) only costs reading the catalog again.
bool changesDefinitions(const QString& sql)
{
    static const QRegularExpression ddl(QStringLiteral("\\b(CREATE|ALTER|DROP|RENAME|TRUNCATE|SP_RENAME)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return ddl.match(sql).hasMatch();
}

}  // namespace

Connection::Connection() = default;
Connection::~Connection()
{
    try {
        Close();
    } catch (...) {}
}

int Connection::State() const
{
    return engine_ && engine_->isOpen() ? adStateOpen : adStateClosed;
}

void Connection::fail(const AdoException& e)
{
    if (IsLinkLost(e.error())) linkLost_ = true;
    // A driver may report several diagnostic records for one failure; keep them all.
    for (const Error& r : e.records()) errors_.Add(r);
    throw e;
}

void Connection::requireOpen() const
{
    if (State() != adStateOpen)
        throw AdoException(
            Error{kErrConnectionInvalid, msg::text(kErrConnectionInvalid), QStringLiteral("ADODB.Connection"), {}, 0});
}

void Connection::Open(const QString& connectionString, const QString& user, const QString& password, int)
{
    if (State() == adStateOpen)
        throw AdoException(Error{kErrObjectOpen, msg::text(kErrObjectOpen), QStringLiteral("ADODB.Connection"), {}, 0});
    if (!connectionString.isEmpty()) ConnectionString = connectionString;
    errors_.Clear();
    const ConnectionInfo info = ConnectionInfo::parse(ConnectionString);
    // Before any file is opened, by us or by SQLite's ODBC driver, which
    // shares the library: one file's locks must all be of one kind.
    UseDescriptionLocks();
    std::unique_ptr<Engine> engine = !info.embeddedFile().isEmpty() ? makeSqliteEngine()
                                     : NamesPostgresDirectly(info)  ? makePqEngine(CommandTimeout)
                                                                    : makeOdbcEngine();
    try {
        engine->open(info, user, password, ConnectionTimeout);
    } catch (const AdoException& e) {
        fail(e);
    }
    engine_ = std::move(engine);
    transactionLevel_ = 0;
    linkLost_ = false;
    // Another connection may reach another database, or the same one changed meanwhile.
    ForgetCatalog();
}

void Connection::ForgetCatalog()
{
    tables_.reset();
    columns_.clear();
    keys_.clear();
}

void Connection::Close()
{
    if (State() != adStateOpen) {
        if (engine_)
            engine_.reset();
        else
            throw AdoException(Error{kErrObjectClosed, msg::text(kErrObjectClosed), QStringLiteral("ADODB.Connection"), {}, 0});
        return;
    }
    if (transactionLevel_ > 0) {
        Attempt([&] { engine_->rollback(); });
        // When the link went, whoever opened the transaction must learn that
        // its work is gone, even though the connection is reopened before it
        // commits. A caller that closes on purpose knows.
        if (linkLost_) lostLevels_ += transactionLevel_;
    }
    engine_->close();
    engine_.reset();
    transactionLevel_ = 0;
    ForgetCatalog();
}

bool Connection::OnNetworkFolder() const
{
    return engine_ && engine_->onNetworkFolder();
}

bool Connection::ReadOnly() const
{
    return engine_ && engine_->readOnly();
}

Engine& Connection::engine()
{
    requireOpen();
    return *engine_;
}

void Connection::failLostTransaction()
{
    errors_.Clear();
    fail(AdoException(Error{kErrTransactionLost,
                            QStringLiteral("Se perdió la conexión con la base de datos durante una transacción: "
                                           "sus cambios no se grabaron."),
                            QStringLiteral("ADODB.Connection"), QStringLiteral("08007"), 0}));
}

Rowset Connection::run(const QString& sql, const std::vector<Variant>& params, bool forWriting)
{
    requireOpen();
    // Statements after a lost transaction would run outside it and be kept
    // while the rest was rolled back: refuse them until it is ended.
    if (lostLevels_ > 0) failLostTransaction();
    errors_.Clear();
    notify(sql);
    if (changesDefinitions(sql)) ForgetCatalog();
    try {
        return engine_->run(sql, params, CommandTimeout, forWriting);
    } catch (const AdoException& e) {
        fail(e);
    }
}

Recordset Connection::Execute(const QString& sql, long* recordsAffected, int)
{
    Rowset rows = run(sql, {});
    if (recordsAffected) *recordsAffected = rows.affected;
    Recordset rs;
    if (rows.returnsRows) rs.adopt(std::move(rows), this);
    return rs;
}

void Connection::BeginTrans()
{
    requireOpen();
    errors_.Clear();
    notify(QStringLiteral("BEGIN"));
    try {
        engine_->begin();
    } catch (const AdoException& e) {
        fail(e);
    }
    ++transactionLevel_;
}

void Connection::CommitTrans()
{
    requireOpen();
    if (transactionLevel_ == 0 && lostLevels_ > 0) {
        --lostLevels_;
        failLostTransaction();
    }
    if (transactionLevel_ == 0) msg::raise(kErrNotInContext);
    notify(QStringLiteral("COMMIT"));
    try {
        engine_->commit();
    } catch (const AdoException& e) {
        endedByLostLink(e);
        fail(e);
    }
    --transactionLevel_;
}

void Connection::endedByLostLink(const AdoException& e)
{
    // The server ends a transaction whose link is gone, and its owner is the
    // one told so right now. Still counted as open, it would be taken for a
    // transaction lost behind its owner's back at the next reconnection, and
    // every statement after that would be refused.
    if (IsLinkLost(e.error()) && transactionLevel_ > 0) --transactionLevel_;
}

void Connection::RollbackTrans()
{
    // Already rolled back when the link went; the connection may still be
    // closed (the server not back yet), and the owner is done with it all the same.
    if (transactionLevel_ == 0 && lostLevels_ > 0) {
        --lostLevels_;
        return;
    }
    requireOpen();
    if (transactionLevel_ == 0) msg::raise(kErrNotInContext);
    notify(QStringLiteral("ROLLBACK"));
    try {
        engine_->rollback();
    } catch (const AdoException& e) {
        endedByLostLink(e);
        fail(e);
    }
    --transactionLevel_;
}

Recordset Connection::OpenSchema(int schema, const std::vector<Variant>& restrictions)
{
    requireOpen();
    errors_.Clear();
    Rowset rows;
    auto restriction = [&](size_t i) { return i < restrictions.size() ? restrictions[i].toString() : QString(); };
    try {
        if (schema == adSchemaTables) {
            if (!tables_) {
                notify(QStringLiteral("catalog: tables"));
                tables_ = engine_->tables();
            }
            rows = *tables_;
        } else if (schema == adSchemaColumns) {
            const QString key = restriction(2).trimmed().toLower();
            auto it = columns_.find(key);
            if (it == columns_.end()) {
                notify(QStringLiteral("catalog: columns ") + restriction(2));
                it = columns_.emplace(key, engine_->columns(restriction(2))).first;
            }
            rows = it->second;
        } else {
            msg::raise(kErrNotSupported);
        }
    } catch (const AdoException& e) {
        fail(e);
    }
    // Apply the name restrictions the engine did not (table name, and column name for columns).
    const int tableCol = 2;
    const int columnCol = schema == adSchemaColumns ? 3 : -1;
    const QString table = restriction(2), column = schema == adSchemaColumns ? restriction(3) : QString();
    if (!table.isEmpty() || !column.isEmpty()) {
        Rowset filtered;
        filtered.columns = rows.columns;
        filtered.returnsRows = true;
        const size_t n = rows.columns.size();
        for (size_t r = 0; r < rows.rowCount(); ++r) {
            const Variant& t = rows.cells[r * n + tableCol];
            if (!table.isEmpty() && t.toString().compare(table, Qt::CaseInsensitive) != 0) continue;
            if (columnCol >= 0 && !column.isEmpty() &&
                rows.cells[r * n + columnCol].toString().compare(column, Qt::CaseInsensitive) != 0)
                continue;
            filtered.cells.insert(filtered.cells.end(), rows.cells.begin() + r * n, rows.cells.begin() + (r + 1) * n);
        }
        rows = std::move(filtered);
    }
    Recordset rs;
    rs.adopt(std::move(rows), this);
    return rs;
}

QString Connection::DefaultDatabase() const
{
    return State() == adStateOpen ? engine_->currentDatabase() : QString();
}

QStringList Connection::PrimaryKeys(const QString& table)
{
    requireOpen();
    const QString key = table.trimmed().toLower();
    if (const auto it = keys_.find(key); it != keys_.end()) return it->second;
    QStringList keys;
    notify(QStringLiteral("catalog: primary keys ") + table);
    // Without key information a row is found by all its columns, as before
    // the keys were known: a failure here is no reason to refuse the write.
    Attempt([&] { keys = engine_->primaryKeys(table); });
    keys_.emplace(key, keys);
    return keys;
}

Variant Connection::LastInsertId()
{
    requireOpen();
    notify(QStringLiteral("last insert id"));
    return engine_->lastInsertId();
}

void Connection::SetDefaultDatabase(const QString& name)
{
    requireOpen();
    errors_.Clear();
    // Another database: the same table names now mean other tables.
    QString actual;
    if (!Attempt([&] { actual = DefaultDatabase(); }) || actual.compare(name, Qt::CaseInsensitive) != 0) ForgetCatalog();
    try {
        engine_->setCurrentDatabase(name);
    } catch (const AdoException& e) {
        fail(e);
    }
}

QString Connection::DbmsName() const
{
    return State() == adStateOpen ? engine_->dbmsName() : QString();
}

Transaction::Transaction(Connection& cn) : cn_(cn)
{
    cn_.BeginTrans();
}

Transaction::~Transaction()
{
    if (ended_) return;
    try {
        cn_.RollbackTrans();
    } catch (...) {
        // The engine rolls back on its own when the link or the connection is gone.
    }
}

void Transaction::Commit()
{
    cn_.CommitTrans();
    ended_ = true;
}

void Connection::BreakLinkForTest()
{
    if (engine_) engine_->breakLink();
}

}  // namespace adodb
