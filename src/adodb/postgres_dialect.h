#pragma once
#include <QString>

namespace adodb {

/// Rewrites a statement written in SQL Server's dialect for PostgreSQL: TOP n
/// becomes LIMIT, lock hints and the dbo. owner go, [names] lose their
/// brackets, #date# literals become quoted ISO dates, ISNULL, LEN, CHARINDEX
/// and GETDATE become their PostgreSQL forms, + next to a text literal joins
/// text, a comparison or an ordering with a text literal ignores trailing
/// blanks, and LIKE ignores letter case.
QString SqlServerToPostgres(const QString& sql);

}  // namespace adodb
