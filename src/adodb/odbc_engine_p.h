#pragma once
// Pieces of the ODBC engine that need no server, kept apart so tests can
// reach them directly.
#include "engine.h"

#include <QStringList>
#include <vector>

namespace adodb {

/// ODBC connection string for a parsed ADO/OLE DB string, choosing among the
/// installed drivers; throws AdoException (SQLSTATE IM002) when none fits.
QString odbcConnectionString(const ConnectionInfo& info, const QStringList& installedDrivers);

/// ADO type code for an ODBC SQL type; the DBMS type name tells money apart.
int odbcAdoType(int sqlType, const QString& typeName);

/// What the engine throws when ODBC reports a failure: the first diagnostic
/// record, as every AdoException carries, plus all of them for the Errors
/// collection.
class OdbcException : public AdoException {
public:
    explicit OdbcException(std::vector<Error> records) : AdoException(records.front()), records_(std::move(records)) {}
    const std::vector<Error>& records() const { return records_; }

private:
    std::vector<Error> records_;
};

}  // namespace adodb
