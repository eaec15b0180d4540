#pragma once
#include <QString>

namespace adodb {

/// Rewrites a statement written in SQL Server's dialect so SQLite answers it the
/// same way: TOP n [PERCENT] (in subqueries too) becomes LIMIT, lock hints and
/// the dbo. owner go, #date# literals become quoted ISO dates, ISNULL becomes
/// IFNULL, and the T-SQL-only statements SET NOCOUNT / GO are dropped.
QString SqlServerToSqlite(const QString& sql);

}  // namespace adodb
