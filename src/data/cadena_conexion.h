#pragma once
// The connection string built from what the connection dialog edits, for
// the session and for the dialog's own probe alike.
#include "db_dll.h"

#include <QString>

/// Through `proveedor` to a SQL Server (or the embedded engine when the
/// server is blank), with `extendido` (the driver's own settings) at its end;
/// Oracle's form when `plataforma` says so. Every typed value is quoted, so a
/// ";" in a box stays in its value instead of adding keys of its own.
QString CadenaConexion(const DatosAcceso& datos, const QString& proveedor, const QString& extendido = {});
