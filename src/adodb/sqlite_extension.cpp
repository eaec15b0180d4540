// Entry points of the loadable extension (ci.so): `.load ci` in the sqlite3
// shell, "Load Extension" in DB Browser for SQLite, LoadExt= for the SQLite
// ODBC driver.
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include "sqlite_funciones.h"

extern "C" {

__attribute__((visibility("default"))) int sqlite3_ci_init(sqlite3* db, char**, const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    return adodb::RegisterSqliteFunctions(db);
}

// The name SQLite tries when the file was renamed.
__attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** error, const sqlite3_api_routines* api)
{
    return sqlite3_ci_init(db, error, api);
}
}
