#pragma once
struct sqlite3;

namespace adodb {

/// Registers the collation CI (letter case and trailing blanks ignored, as in
/// SQL Server's default collation) and LEN, CHARINDEX, GETDATE, UPPER, LOWER.
/// Returns SQLite's result code of the collation's registration.
int RegisterSqliteFunctions(sqlite3* db);

}  // namespace adodb
