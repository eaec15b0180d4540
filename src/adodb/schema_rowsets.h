#pragma once
// The shape of the two schema rowsets the server engines build by hand (the
// embedded engine asks SQLite for its own): the same columns, in the same
// order, whichever server answers.
#include "engine.h"

namespace adodb {

/// An empty adSchemaTables rowset: catalog, schema, name, type, description.
Rowset EmptyTablesRowset();
/// An empty adSchemaColumns rowset: catalog, schema, table, column, position,
/// type, maximum length, nullable.
Rowset EmptyColumnsRowset();

}  // namespace adodb
