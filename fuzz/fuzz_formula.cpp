// Report selection formulas and stored conditions, as typed or kept by other
// programs, through their translation to SQL: a clear ErrorFormula, never a
// crash, a hang or a stack overflow. The first byte picks the options.
#include "entrada.h"
#include "reports/expresion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const uint8_t opciones = data[0];
    const QString texto = textoUtf8(data + 1, size - 1);
    const bool nativos = opciones & 1;
    const QString tabla = (opciones & 2) ? QStringLiteral("TA_TITCOPIADORES") : QString();
    try {
        if (opciones & 4) {
            reportes::CompactaSentencia(texto, nativos);
        } else if (opciones & 8) {
            reportes::CampoOrden(texto, tabla);
            reportes::CampoSql(texto, tabla);
        } else {
            reportes::FormulaASql(texto, tabla, nativos);
        }
    } catch (const reportes::ErrorReporte&) {}
    return 0;
}
