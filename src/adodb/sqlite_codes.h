#pragma once
#include <QString>

namespace adodb {

/// The SQLSTATE for one of SQLite's result codes (extended or primary) and
/// its message: the one place that reads SQLite's codes, for the embedded
/// engine and for SQLite's ODBC driver alike. "HY000" when no class fits.
QString SqliteSqlState(int resultCode, const QString& message);

}  // namespace adodb
