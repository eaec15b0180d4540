#pragma once
#include "error.h"

namespace adodb {

/// The text the operator reads for an error: for the conditions an operator
/// meets on an embedded database (locked, read-only, not a database, no such
/// table or column, disk full, constraint) a Spanish sentence; for anything
/// else the engine's own description.
QString TextoParaOperador(const Error& e);

}  // namespace adodb
