#pragma once
// The ODBC engine's translations that need no server: shared by its files,
// and reached directly by tests.
#include "engine.h"

#include <QStringList>

namespace adodb {

/// ODBC connection string for a parsed ADO/OLE DB string, choosing among the
/// installed drivers; throws AdoException (SQLSTATE IM002) when none fits.
QString odbcConnectionString(const ConnectionInfo& info, const QStringList& installedDrivers);

/// ADO type code for an ODBC SQL type; the DBMS type name tells money apart.
int odbcAdoType(int sqlType, const QString& typeName);

/// The driver or DSN an ODBC connection string names, for errors before the
/// server has told its own name.
QString odbcDriverName(const QString& connectionString);

}  // namespace adodb
