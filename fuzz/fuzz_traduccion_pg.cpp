// Any statement text through the translation for PostgreSQL: it may refuse
// (AdoException), never crash, hang or grow without bound.
#include "adodb/error.h"
#include "adodb/postgres_dialect.h"
#include "entrada.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        adodb::SqlServerToPostgres(textoUtf8(data, size));
    } catch (const adodb::AdoException&) {}
    return 0;
}
