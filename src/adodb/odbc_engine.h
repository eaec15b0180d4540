#pragma once
// The engine for servers reached through unixODBC: SQL Server (FreeTDS or
// the vendor's driver), PostgreSQL (psqlODBC), Oracle, and SQLite files
// through SQLite's ODBC driver. What differs between those servers is asked
// of the ServerKind chosen at open.
#include "odbc_handles.h"
#include "odbc_values.h"
#include "server_kind.h"

#include <memory>
#include <vector>

namespace adodb::odbc {

class OdbcEngine final : public Engine {
public:
    OdbcEngine();
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
    QString quoteIdentifier(const QString& name) const override { return server_->quoteIdentifier(name); }
    QString dbmsName() const override { return dbms_; }
    QString currentDatabase() const override;
    void setCurrentDatabase(const QString& name) override;
    Variant lastInsertId() override;
    void breakLink() override { broken_ = true; }

private:
    // Failures: every diagnostic record, in the order the operator should read them.
    void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) const;
    std::vector<Error> failure(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) const;
    [[noreturn]] void raise(std::vector<Error> records) const;
    void checkStmt(SQLRETURN rc, const Handle& st) const { check(rc, SQL_HANDLE_STMT, st.get()); }
    void checkDbc(SQLRETURN rc) const { check(rc, SQL_HANDLE_DBC, dbc_.get()); }
    void ensureUsable() const;
    [[noreturn]] void refuseNul() const;

    Handle allocate(SQLSMALLINT type, const Handle& parent) const;
    /// A statement handle; every one, catalog ones included, carries the same time-out.
    Handle statement() const;
    void setTimeout(int seconds);
    QString infoText(SQLUSMALLINT what) const;

    // Rows.
    QString columnText(const Handle& st, SQLUSMALLINT col, SQLUSMALLINT field) const;
    SQLLEN columnNumber(const Handle& st, SQLUSMALLINT col, SQLUSMALLINT field, SQLLEN fallback) const;
    void bind(const Handle& st, SQLUSMALLINT n, const Variant& v, ParamBuffer& b) const;
    Rowset collect(const Handle& st, bool origins = true, bool inBlocks = false) const;
    void readRowset(const Handle& st, SQLSMALLINT count, Rowset& rs, bool origins, bool inBlocks) const;
    bool readInBlocks(const Handle& st, const std::vector<Fetch>& how, const std::vector<SQLSMALLINT>& sqlTypes,
                      const std::vector<SQLULEN>& sizes, Rowset& rs) const;
    Variant readCell(const Handle& st, SQLUSMALLINT col, Fetch how) const;

    void endTransaction(SQLSMALLINT completion);
    void setAutocommit(bool on);
    /// A name for a catalog function, with its wildcards escaped.
    QString pattern(const QString& name) const;

    Handle env_, dbc_;
    std::unique_ptr<ServerKind> server_;
    QString dbms_;
    QString source_;
    QString escape_;
    bool broken_ = false;
    bool inTransaction_ = false;
    int timeout_ = 0;               // of the last statement run, in seconds
    bool timeoutOnServer_ = false;  // set once on the session, not per statement
};

}  // namespace adodb::odbc
