#include "cndll.h"

#include "cnstuff.h"
#include "data/db_dll.h"
#include "runtime/protocolo.h"
#include "runtime/rtarchivos.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <optional>
#include <vector>

using adodb::Recordset;

namespace {

struct Rango {
    QString codigo, desde, hasta;  // without blanks
};
int gLecturasRetenidas = 0;
std::optional<std::vector<Rango>> gRangosLeidos;

}  // namespace

CNDLL::UnaLectura::UnaLectura()
{
    ++gLecturasRetenidas;
}

CNDLL::UnaLectura::~UnaLectura()
{
    if (--gLecturasRetenidas == 0) gRangosLeidos.reset();
}

CNDLL::CNDLL()
{
    // The service library keeps its own copy of the account structure.
    const QStringList claves = CNStuffContable::ClavesDigitos();
    const CNStuffContable::ClavesLeidas leidas(claves);
    for (int i = 0; i < 6; ++i) {
        const double v = rt::Val(Cfg(claves[i]));
        digitos[i] = v > 32767 || v < -32768 ? 0 : static_cast<short>(rt::RedondeoBanquero(v));
    }
}

QString CNDLL::Cfg(const QString& Campo)
{
    QString resultado;
    // Read together with other keys: the key as given, not trimmed, is what this reader looks for.
    if (Campo == Campo.trimmed() && CNStuffContable::ClavesLeidas::Busca(Campo, &resultado, nullptr)) return resultado;
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
    const QString codigo = QString(Codigo).remove(QLatin1Char(' '));
    return OtroTitulo(CodigoTitulo, [&](const QString& desde, const QString& hasta) {
        return codigo.compare(desde, Qt::CaseInsensitive) >= 0 && codigo.compare(hasta, Qt::CaseInsensitive) <= 0;
    });
}

bool CNDLL::ContieneRango(const QString& Desde, const QString& Hasta, const QString& CodigoTitulo)
{
    const QString desde = QString(Desde).remove(QLatin1Char(' '));
    const QString hasta = QString(Hasta).remove(QLatin1Char(' '));
    return OtroTitulo(CodigoTitulo, [&](const QString& d, const QString& h) {
        // A title without a range is inside nothing.
        if (d.isEmpty() && h.isEmpty()) return false;
        return d.compare(desde, Qt::CaseInsensitive) >= 0 && h.compare(hasta, Qt::CaseInsensitive) <= 0;
    });
}

bool CNDLL::OtroTitulo(const QString& CodigoTitulo, const std::function<bool(const QString&, const QString&)>& cumple)
{
    const QString titulo = QString(CodigoTitulo).remove(QLatin1Char(' '));
    auto cuenta = [&](const Rango& r) {
        if (!cumple(r.desde, r.hasta)) return false;
        return !rt::Iguales(r.codigo, titulo);  // the title being edited does not count
    };
    if (gLecturasRetenidas > 0 && gRangosLeidos) {
        for (const Rango& r : *gRangosLeidos)
            if (cuenta(r)) return true;
        return false;
    }

    bool resultado = false;
    Recordset rs;
    rt::Protocolo p([](const adodb::Error& e) { return CNStuffContable::InformaError(e, QStringLiteral("ValidaRango")); });
    DB().AbrirRecordset(QStringLiteral("TA_TITCOPIADORES"), rs);
    // Kept for the rest of the action only when every row was read: a walk
    // that stopped early, or failed, leaves the next check to read again.
    std::vector<Rango> leidos;
    bool entera = true;
    // Within an action that keeps the read, the walk goes to the end (the rows
    // are in memory already) so that the next check finds every title.
    const bool retener = gLecturasRetenidas > 0;
    p.recorre(rs, [&] {
        Rango r;
        r.desde = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Desde")).Value()).remove(QLatin1Char(' '));
        r.hasta = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Hasta")).Value()).remove(QLatin1Char(' '));
        r.codigo = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Codigo")).Value()).remove(QLatin1Char(' '));
        if (retener) leidos.push_back(r);
        if (resultado || !cuenta(r)) return false;
        resultado = true;
        return !retener;
    });
    if (p.abortado() || p.ultimoError().Number != 0) entera = false;
    DB().CierraRecordset(rs);
    if (gLecturasRetenidas > 0 && entera) gRangosLeidos = std::move(leidos);
    return resultado;
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
