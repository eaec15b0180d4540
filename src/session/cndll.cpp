#include "cndll.h"

#include "cnstuff.h"
#include "data/db_dll.h"
#include "runtime/protocolo.h"
#include "runtime/rtarchivos.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

using adodb::Recordset;

CNDLL::CNDLL()
{
    // The service library keeps its own copy of the account structure.
    const char* claves[] = {"DIGITOS_CAPITULO", "DIGITOS_SUBCAPITULO", "DIGITOS_RUBRO",
                            "DIGITOS_SUBRUBRO", "DIGITOS_CUENTA",      "DIGITOS_SUBCUENTA"};
    for (int i = 0; i < 6; ++i) {
        const double v = rt::Val(Cfg(QString::fromLatin1(claves[i])));
        digitos[i] = v > 32767 || v < -32768 ? 0 : static_cast<short>(rt::RedondeoBanquero(v));
    }
}

QString CNDLL::Cfg(const QString& Campo)
{
    QString resultado;
    Recordset rs;
    QString sql = QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = '") + Campo + QStringLiteral("'");
    rt::Protocolo p([](const adodb::Error& e) { return CNStuffContable::InformaError(e, QStringLiteral("Cfg")); });
    DB().AbrirRecordset(sql, rs);
    p.paso(
        [&] { resultado = !rs.eof() ? RtTexto::ValorCampo(rs.Fields(QStringLiteral("VALOR")).Value()) : QStringLiteral(" "); });
    if (p.abortado()) resultado.clear();
    DB().CierraRecordset(rs);
    return resultado;
}

bool CNDLL::ValidaRango(const QString& Codigo, const QString& CodigoTitulo)
{
    bool enRango = false;
    Recordset rs;
    rt::Protocolo p([](const adodb::Error& e) { return CNStuffContable::InformaError(e, QStringLiteral("ValidaRango")); });
    const QString codigo = QString(Codigo).remove(QLatin1Char(' '));
    const QString titulo = QString(CodigoTitulo).remove(QLatin1Char(' '));
    DB().AbrirRecordset(QStringLiteral("TA_TITCOPIADORES"), rs);
    p.recorre(rs, [&] {
        const QString desde = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Desde")).Value()).remove(QLatin1Char(' '));
        const QString hasta = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Hasta")).Value()).remove(QLatin1Char(' '));
        if (codigo.compare(desde, Qt::CaseInsensitive) < 0 || codigo.compare(hasta, Qt::CaseInsensitive) > 0) return false;
        const QString propio = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Codigo")).Value()).remove(QLatin1Char(' '));
        if (rt::Iguales(propio, titulo)) return false;  // the title being edited
        enRango = true;
        return true;
    });
    DB().CierraRecordset(rs);
    return enRango;
}

void CNDLL::setArchivoError(const adodb::Variant& v)
{
    archivoError_ = v.toString();
    // The default is the session's own log in the program folder: on the
    // suite's Windows installations "VLErr.Log" and "VLERR.LOG" name one file,
    // and here letter case must not split the log in two.
    if (archivoError_.trimmed().isEmpty())
        archivoError_ = RtArchivos::RutaSinCaso(
            RtArchivos::CarpetaParaGrabar(QStringLiteral("VLERR.LOG"), RtArchivos::Clase::Estado), QStringLiteral("VLERR.LOG"));
    RtTexto::ArchivoLog(archivoError_);
}
