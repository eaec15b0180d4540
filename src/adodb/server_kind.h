#pragma once
// What differs between the kinds of server an engine reaches (SQL Server,
// PostgreSQL, Oracle, SQLite through its ODBC driver). An engine picks one
// kind when it opens and asks it, instead of testing the server's name.
#include "engine.h"

#include <functional>
#include <memory>

namespace adodb {

/// The defaults are ODBC's and the SQL standard's, which fit Oracle and any
/// server not named here.
class ServerKind {
public:
    /// Runs one statement on the session, for the reads a kind needs.
    using Query = std::function<Rowset(const QString& sql)>;

    virtual ~ServerKind() = default;

    /// The statement as this server takes it; the program writes SQL Server's dialect.
    virtual QString translate(const QString& sql) const { return sql; }
    /// Gives result columns the names `sql` wrote, where the server changed their case.
    virtual void restoreNames(Rowset& /*rows*/, const QString& /*sql*/) const {}
    /// A table or schema name as the server's catalog keeps it; `quoted`: it was written in quotes.
    virtual QString catalogName(const QString& name, bool /*quoted*/) const { return name; }
    virtual QString quoteIdentifier(const QString& name) const;
    /// Identity of the row last inserted on the session; Null when the server cannot tell.
    virtual Variant lastInsertId(const Query& /*query*/) const { return Variant::Null(); }
    /// The statement that bounds every later statement of the session to
    /// `seconds`; empty when each statement carries its own time-out.
    virtual QString sessionTimeout(int /*seconds*/) const { return {}; }
    /// Whether a text holding NUL (code 0) is stored whole.
    virtual bool storesNul() const { return false; }
    /// Whether statement text must travel as UTF-8 rather than UTF-16.
    virtual bool wantsUtf8Statements() const { return false; }
    /// Gives a diagnostic record the SQLSTATE its driver left generic.
    virtual void fixUp(Error& /*record*/) const {}
};

/// The kind of a server that calls itself `dbmsName` (ODBC's SQL_DBMS_NAME).
std::unique_ptr<ServerKind> ServerKindFor(const QString& dbmsName);

}  // namespace adodb
