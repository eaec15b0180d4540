#pragma once
#include "engine.h"

#include <QString>
#include <memory>
#include <vector>

namespace adodb {

/// Rewrites a statement written in SQL Server's dialect for PostgreSQL: TOP n
/// becomes LIMIT, lock hints and the dbo. owner go, [names] lose their
/// brackets, #date# literals become quoted ISO dates, ISNULL, LEN, CHARINDEX
/// and GETDATE become their PostgreSQL forms, + next to a text literal joins
/// text, a comparison or an ordering with a text literal ignores trailing
/// blanks, and LIKE ignores letter case.
QString SqlServerToPostgres(const QString& sql);

/// PostgreSQL folds unquoted names to lower case; the operator should see a
/// column named as the statement wrote it ("CodigoOpcional", not "codigoopcional").
void RestorePostgresNames(std::vector<ColumnInfo>& columns, const QString& sql);

class ServerKind;
/// What differs on PostgreSQL, for an engine that reaches it.
std::unique_ptr<ServerKind> makePostgresKind();

}  // namespace adodb
