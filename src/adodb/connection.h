#pragma once
#include "engine.h"
#include "error.h"
#include "variant.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace adodb {

class Recordset;

enum ObjectState { adStateClosed = 0, adStateOpen = 1 };
enum CursorLocation { adUseServer = 2, adUseClient = 3 };
enum SchemaEnum { adSchemaColumns = 4, adSchemaTables = 20 };

/// The session connection: ADO's Connection, reduced to what the program uses.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString;
    int CommandTimeout = 30;
    int ConnectionTimeout = 15;
    int CursorLocation = adUseServer;

    /// Opens with the given string, or ConnectionString when empty. Provider
    /// errors land in Errors() and the call throws.
    void Open(const QString& connectionString = {}, const QString& user = {}, const QString& password = {}, int options = -1);
    void Close();
    int State() const;

    /// Runs a statement or batch; the rows it returns (if any) come back as an open recordset.
    Recordset Execute(const QString& sql, long* recordsAffected = nullptr, int options = -1);

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    /// adSchemaTables (20) or adSchemaColumns (4); restrictions as ADO orders them.
    /// Served from the catalog cache after the first read on this connection.
    Recordset OpenSchema(int schema, const std::vector<Variant>& restrictions = {});
    /// The primary-key columns of a table (empty when it has none or the
    /// catalog cannot tell), from the catalog cache.
    QStringList PrimaryKeys(const QString& table);
    /// Forgets what the catalog cache holds. Opening, closing, changing the
    /// default database and any statement that may change a definition
    /// (CREATE, ALTER, DROP, RENAME, TRUNCATE) do it on their own.
    void ForgetCatalog();
    /// Identity of the row last inserted on this connection.
    Variant LastInsertId();

    /// Called with each request this connection sends: statements, catalog
    /// reads (prefixed "catalog:"), BEGIN, COMMIT, ROLLBACK and the read of
    /// the last inserted identity, so that tests can count the round trips
    /// an action costs. Not seen: opening, the default database's reads and
    /// changes, and what an engine or its driver sends on its own (a session
    /// time-out, the catalog reads behind a column's description).
    std::function<void(const QString&)> OnRequest;

    QString DefaultDatabase() const;
    void SetDefaultDatabase(const QString& name);

    adodb::Errors& Errors() { return errors_; }
    const adodb::Errors& Errors() const { return errors_; }

    /// Name of the database product behind the connection ("SQLite", "Microsoft SQL Server", ...).
    QString DbmsName() const;
    /// True when the database is a file on a folder other computers share:
    /// it is written without write-ahead logging, and the operator should hear why.
    bool OnNetworkFolder() const;
    /// True when the database refuses every write through this connection.
    bool ReadOnly() const;

    // Used by Recordset.
    Engine& engine();
    /// Runs through the engine, recording provider errors in Errors() before rethrowing.
    /// `forWriting` false: the rows will only be read (see Engine::run).
    Rowset run(const QString& sql, const std::vector<Variant>& params = {}, bool forWriting = true);
    /// Test hook: the link behaves as dropped until the next Close/Open.
    void BreakLinkForTest();

private:
    [[noreturn]] void fail(const AdoException& e);
    void notify(const QString& request)
    {
        if (OnRequest) OnRequest(request);
    }
    [[noreturn]] void failLostTransaction();
    /// A commit or rollback that failed because the link went ended the transaction all the same.
    void endedByLostLink(const AdoException& e);
    void requireOpen() const;

    std::unique_ptr<Engine> engine_;
    adodb::Errors errors_;
    // Catalog facts of this connection: on a server each read is a round
    // trip, and they do not change while the program runs.
    std::optional<Rowset> tables_;
    std::map<QString, Rowset> columns_;    // by table name in lower case
    std::map<QString, QStringList> keys_;  // by table name in lower case
    int transactionLevel_ = 0;
    int lostLevels_ = 0;     // transactions rolled back by a close their owners have not ended yet
    bool linkLost_ = false;  // a failure since the last open meant the link was gone
};

/// A transaction that is rolled back when the guard goes out of scope
/// without Commit (a failure or an early return); the destructor never throws.
class Transaction {
public:
    explicit Transaction(Connection& cn);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    /// Commits; on failure the transaction stays open and the destructor rolls it back.
    void Commit();

private:
    Connection& cn_;
    bool ended_ = false;
};

}  // namespace adodb
