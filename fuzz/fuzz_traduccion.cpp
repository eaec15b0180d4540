// Any statement text through the translation for the embedded engine: it may
// refuse (AdoException), never crash or hang.
#include "adodb/error.h"
#include "adodb/sqlite_dialect.h"
#include "entrada.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        adodb::SqlServerToSqlite(textoUtf8(data, size));
    } catch (const adodb::AdoException&) {}
    return 0;
}
