// The statement rewriting that runs before every statement: table synonyms for
// users who are not administrators, the Oracle dialect and batch splitting.
#include "data/db_dll.h"
#include "entrada.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static DB_Dll& db = []() -> DB_Dll& {
        DB().gEsAdmin = false;
        DB().gConfidencialidad = true;
        DB().gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=x;");
        return DB();
    }();
    const QString sql = textoUtf8(data, size);
    db.SS_TSinonimos(sql);
    db.ORACLE_Dicc(sql);
    DB_Dll::DivideLoteOracle(sql);
    return 0;
}
