// The four outputs of the main window: the report and the data sheet of the
// titles, and of the ledger accounts that no title covers.
#include "titles/frmta_titcopiadores.h"

#include "adodb/recordset.h"
#include "data/db_dll.h"
#include "reports/rtplanilla.h"
#include "reports/rtreporte.h"
#include "runtime/protocolo.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"
#include "session/cndll.h"
#include "session/cnstuff.h"

RtReporte& frmTA_TITCOPIADORES::Reportes()
{
    if (!rtReporte_) rtReporte_ = std::make_shared<RtReporte>();
    rtReporte_->ArchivoSalida = ArchivoSalida;
    return *rtReporte_;
}

RtPlanilla& frmTA_TITCOPIADORES::Planillas()
{
    if (!rtPlanilla_) rtPlanilla_ = std::make_shared<RtPlanilla>();
    rtPlanilla_->ArchivoSalida = ArchivoSalida;
    return *rtPlanilla_;
}

QString frmTA_TITCOPIADORES::Cuentas_Varias_de_Mayor(bool SqlDB, bool /*FormCuentas*/)
{
    QString clausulas;
    adodb::Recordset rs;
    rt::Protocolo p(
        [](const adodb::Error& e) { return CNStuffContable::InformaError(e, QStringLiteral("Cuentas_Varias_de_Mayor")); });
    DB().AbrirRecordset(QStringLiteral("TA_TITCOPIADORES"), rs, nullptr, adodb::adOpenDynamic, adodb::adLockOptimistic, -1, true);
    // The failure was shown when the table was opened: an empty answer tells
    // the callers to stop, rather than list every account as uncovered.
    if (rs.State() != adodb::adStateOpen) return {};
    bool primero = true;
    const bool completo = p.recorre(rs, [&] {
        QString d = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Desde")).Value());
        QString h = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Hasta")).Value());
        if (SqlDB) {
            d = d.trimmed();
            h = h.trimmed();
        }
        // A stray apostrophe in a stored code must not end the literal.
        d = rt::Comillas(d);
        h = rt::Comillas(h);
        if (SqlDB)
            clausulas += (primero ? QStringLiteral(" (ltrim(codigo)< '") : QStringLiteral(" AND (ltrim(codigo)< '")) + d +
                         QStringLiteral("' OR ltrim(codigo)> '") + h + (primero ? QStringLiteral("') ") : QStringLiteral("')"));
        else
            clausulas +=
                (primero ? QStringLiteral("({ma_cuentas.codigo} < '") : QStringLiteral(" AND ({ma_cuentas.codigo} < '")) + d +
                QStringLiteral("' OR {ma_cuentas.codigo} > '") + h + (primero ? QStringLiteral("')") : QStringLiteral("') "));
        primero = false;
        return false;
    });
    DB().CierraRecordset(rs);
    if (!completo) return {};
    clausulas = clausulas.trimmed();
    // With no titles every ledger account is uncovered; headings never are.
    const QString cola = SqlDB ? QStringLiteral("titulo = 0") : QStringLiteral("not {ma_cuentas.titulo}");
    return clausulas.isEmpty() ? cola : clausulas + QStringLiteral(" and ") + cola;
}

void frmTA_TITCOPIADORES::Reporte()
{
    QString valor =
        QStringLiteral("empresa = '") + rt::Comillas(Contabilidad().Cfg(QStringLiteral("NOMBRE"))) + QStringLiteral("'");
    Reportes().ImprimeReporte(QStringLiteral("RP_CN030"), {QString(), QString()}, QString(), CNStuffContable::gCadenaReporte,
                              valor);
}

void frmTA_TITCOPIADORES::Planilla()
{
    Planillas().Planilla(QStringLiteral("SELECT CODIGO,DESCRIPCION,DESDE,HASTA FROM ") + NombreTabla, DB().gConnString,
                         QStringLiteral("Títulos Copiadores"));
}

void frmTA_TITCOPIADORES::CmdRep_Click()
{
    QString valor =
        QStringLiteral("empresa='") + rt::Comillas(Contabilidad().Cfg(QStringLiteral("NOMBRE"))) + QStringLiteral("'");
    const QString formula = Cuentas_Varias_de_Mayor(false, false);
    if (formula.isEmpty()) return;
    RtReporte& r = Reportes();
    r.ImprimeReporte(QStringLiteral("rp_cn070"), {QStringLiteral("+{MA_CUENTAS.CODIGO}")}, formula,
                     CNStuffContable::gCadenaReporte, valor);
    r.FinReporte(20);
}

void frmTA_TITCOPIADORES::CmdVarias_Click()
{
    const QString condicion = Cuentas_Varias_de_Mayor(true, false);
    if (condicion.isEmpty()) return;
    Planillas().Planilla(QStringLiteral("select CODIGO,DESCRIPCION,DV from ma_cuentas where ") + condicion, DB().gConnString,
                         QStringLiteral("Planilla de Datos - Reporte de Cuentas Varias del Mayor"));
}
