#pragma once
// PostgreSQL spoken natively, over libpq: the route a connection string takes
// when it names PostgreSQL itself rather than an ODBC driver for it.
#include "engine.h"

#include <memory>

namespace adodb {

/// True when the string names PostgreSQL directly (a "pg:" server, or a
/// PostgreSQL provider) and no DSN or ODBC driver: those go through ODBC.
bool NamesPostgresDirectly(const ConnectionInfo& info);

/// `commandTimeoutSecs`: the time-out statements will run with, taken with
/// the login so that setting it costs no statement.
std::unique_ptr<Engine> makePqEngine(int commandTimeoutSecs);

}  // namespace adodb
