#pragma once
#include "error.h"

namespace adodb {

/// The text the operator reads for an error of any engine: for what SQLite
/// reports (through the embedded engine or its ODBC driver) on the conditions
/// an operator meets (locked, read-only, not a database, no such table or
/// column, disk full, constraint) a Spanish sentence; for anything else, and
/// for every other server, the engine's own description.
QString TextForOperator(const Error& e);

}  // namespace adodb
