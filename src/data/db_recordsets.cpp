#include "db_dll.h"
#include "errores.h"

#include "adodb/sqlite_mensajes.h"

#include "runtime/fin.h"
#include "runtime/operador.h"
#include "runtime/protocolo.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

using adodb::AdoException;
using adodb::Recordset;
using adodb::Variant;

namespace {

QString Numero(const QString& v)
{
    return Variant(rt::Val(v)).toString().trimmed();
}

}  // namespace

void DB_Dll::AbrirRecordset(QString& SentenciaSQL, Recordset& Lrcs, adodb::Connection* Conexionactiva, int CursorType,
                            int LockType, int Options, bool ConvOracle)
{
    int reintentos = 1;
    CierraRecordset(Lrcs);
    SentenciaSQL = SS_TSinonimos(SentenciaSQL);
    const QString sentencia =
        rt::InStr(gCnn.ConnectionString, QStringLiteral("ORACLE")) > 1 && ConvOracle ? ORACLE_Dicc(SentenciaSQL) : SentenciaSQL;
    adodb::Connection* cn = Conexionactiva ? Conexionactiva : &gCnn;
    UltimaSentencia = sentencia;
    for (;;) {
        adodb::Error e;
        try {
            Lrcs.Open(sentencia, cn, CursorType, LockType, Options);
            return;
        } catch (const AdoException& ex) {
            e = ex.error();
        }
        if (adodb::IsLinkLost(e) && gCnn.Errors().Count() > 0) {
            // The link to the server was lost: reconnect silently, and ask only when that fails.
            ReintentaConectar();
            if (!gOpenFlag) ReintentaConectar();
            while (!gOpenFlag) {
                const QString crlf = QStringLiteral("\r\n");
                const QString texto = crlf + crlf + crlf + QStringLiteral("Se perdio la conexion con la base de datos ") +
                                      gDBName + crlf + QStringLiteral(" Servidor ") + gServidor + crlf + crlf +
                                      QStringLiteral("Elija SI para reintentar conectarse") + crlf +
                                      QStringLiteral("Elija NO para cerrar la aplicacion") + crlf + crlf + crlf;
                if (rt::operador().MsgBox(texto, rt::vbYesNo + rt::vbCritical, QStringLiteral("AVISO AL OPERADOR")) !=
                    rt::vbYes) {
                    rt::TerminaPrograma(0);
                    return;
                }
                ReintentaConectar();
            }
            ++reintentos;
            if (reintentos < 3) continue;
        }
        const int r = TratamientoErrores(e, {}, QStringLiteral("AbrirRecordset"));
        // The reopened connection refuses every statement of a transaction
        // that the link took away: repeating this one cannot help, only its
        // owner can start the transaction again (the error stays in Errors).
        if (r != rt::vbRetry || e.Number == adodb::kErrTransactionLost) return;
    }
}

void DB_Dll::CierraRecordset(Recordset& LrcsTemp)
{
    rt::Protocolo p([&](const adodb::Error& e) {
        if (e.Number == adodb::kErrNotInContext) {
            // A pending edit: drop it and close without bothering the operator.
            adodb::Attempt([&] {
                LrcsTemp.CancelUpdate();
                if (LrcsTemp.State() != adodb::adStateClosed) LrcsTemp.Close();
            });
            return static_cast<int>(rt::vbAbort);
        }
        return TratamientoErrores(e, {}, QStringLiteral("CierraRecordset"));
    });
    p.paso([&] {
        if (LrcsTemp.State() != adodb::adStateClosed) LrcsTemp.Close();
    });
}

void DB_Dll::Abre(const QString& SentenciaSQL, Recordset& Lrcs, int CursorType, int LockType, int Options)
{
    if (Lrcs.State() != adodb::adStateClosed) Lrcs.Close();
    const QString sinonimos = SS_TSinonimos(SentenciaSQL);
    const QString sentencia =
        rt::InStr(gCnn.ConnectionString, QStringLiteral("ORACLE")) > 1 ? ORACLE_Dicc(sinonimos) : sinonimos;
    UltimaSentencia = sentencia;
    Lrcs.Open(sentencia, &gCnn, CursorType, LockType, Options);
}

adodb::Recordset DB_Dll::Esquema(int Tipo, const std::vector<Variant>& Restricciones)
{
    return gCnn.OpenSchema(Tipo, Restricciones);
}

QString DB_Dll::ReescribeLote(QString lote) const
{
    const QString admin = QStringLiteral("@Admin_");
    if (rt::Contiene(lote, QStringLiteral("DROP")) && rt::Contiene(lote, QStringLiteral("CREATE"))) {
        if (rt::Contiene(lote, QStringLiteral("DELETE"))) {
            if (rt::Contiene(lote, QStringLiteral("@ADMIN_"))) lote = rt::ReemplazaSinCaso(lote, admin, QString());
        } else if (rt::Contiene(lote, admin)) {
            lote = rt::ReemplazaSinCaso(lote, admin, QString());
        } else {
            lote = SS_TSinonimos(lote);
        }
    } else {
        lote = rt::ReemplazaSinCaso(lote, admin, QString());
    }
    return lote;
}

long DB_Dll::EjecutaReescrita(const QString& lote, Recordset* Lrcs, long registros)
{
    UltimaSentencia = lote;
    if (rt::Contiene(gCnn.ConnectionString, QStringLiteral("ORACLE"))) {
        QString resto = lote;
        EjecutaLoteOracle(resto, registros);
    } else {
        long afectados = 0;
        Recordset filas = gCnn.Execute(lote, &afectados);
        registros = afectados;
        if (Lrcs) *Lrcs = std::move(filas);
    }
    // SQL Server's notice that a text was cut is not a failure of the batch.
    const int n = gCnn.Errors().Count();
    if ((n == 1 || n == 2) && !rt::Contiene(lote, QStringLiteral("TRANS")) && gCnn.Errors().Item(0).NativeError == 8152)
        gCnn.Errors().Clear();
    return registros;
}

long DB_Dll::Ejecuta(const QString& SentenciaSQL, Recordset* Lrcs)
{
    return EjecutaReescrita(ReescribeLote(SentenciaSQL), Lrcs, 0);
}

void DB_Dll::EjecutaConsulta(QString& SentenciaSQL, long* RecordsAffected, Recordset* Lrcs, bool informa)
{
    SentenciaSQL = ReescribeLote(SentenciaSQL);
    const bool trans = rt::Contiene(SentenciaSQL, QStringLiteral("TRANS"));
    try {
        const long registros = EjecutaReescrita(SentenciaSQL, Lrcs, RecordsAffected ? *RecordsAffected : 0);
        if (RecordsAffected) *RecordsAffected = registros;
    } catch (const AdoException& ex) {
        if (gCnn.Errors().Count() > 0 && !trans && gCnn.Errors().Item(0).NativeError == 8152) gCnn.Errors().Clear();
        const std::int32_t n = ex.error().Number;
        if (informa && !trans && n != adodb::kErrUnspecified && n != adodb::kErrIntegrity && n != adodb::kErrNoTable &&
            n != adodb::kErrSyntax)
            rt::operador().MsgBox(adodb::TextForOperator(ex.error()), rt::vbCritical, QStringLiteral("Aviso al operador!!!"));
    }
}

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, long* RecordsAffected, Recordset* Lrcs)
{
    EjecutaConsulta(SentenciaSQL, RecordsAffected, Lrcs, false);
}

void DB_Dll::EjecutaConsultaRSQL(QString& SentenciaSQL, long* RecordsAffected, Recordset* Lrcs)
{
    EjecutaConsulta(SentenciaSQL, RecordsAffected, Lrcs, true);
}

namespace {

// The box a failed lookup of these routines shows, and its line in the log.
std::function<int(const adodb::Error&)> avisoAlOperador(const DB_Dll& db, const QString& rutina)
{
    return [&db, rutina](const adodb::Error& f) {
        const int r = rt::operador().MsgBox(adodb::TextForOperator(f), rt::vbAbortRetryIgnore + rt::vbCritical,
                                            QStringLiteral("Aviso al Operador"));
        errores::Registra(db.RutaLogErrores(), rutina, f, r);
        return r;
    };
}

}  // namespace

bool DB_Dll::ExisteEn(const QString& sql, const QString& privado, Recordset* Lrcs, bool SoloLectura)
{
    bool existe = false;
    UltimaSentencia = Lrcs ? sql : privado;
    bool silencio = true;
    rt::Protocolo p([&](const adodb::Error& e) {
        return ReintentoConEnlace(e, avisoAlOperador(*this, QStringLiteral("ExisteEnTabla")), &silencio);
    });
    if (!Lrcs) {
        Recordset rs;
        p.paso([&] { rs.Open(privado, &gCnn, adodb::adOpenForwardOnly, adodb::adLockReadOnly); });
        p.paso([&] { existe = !rs.BOF(); });
        return existe;
    }
    p.paso([&] {
        if (Lrcs->State() != adodb::adStateClosed) Lrcs->Close();
    });
    p.paso([&] {
        if (SoloLectura)
            Lrcs->Open(sql, &gCnn, adodb::adOpenForwardOnly, adodb::adLockReadOnly);
        else
            Lrcs->Open(sql, &gCnn, Lrcs->CursorType, Lrcs->LockType);
    });
    p.paso([&] { existe = !Lrcs->BOF(); });
    return existe;
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo, Recordset* Lrcs,
                             int Tipodato, const QString& Condicion, bool SoloLectura)
{
    QString sql;
    if (Condicion.isEmpty()) {
        sql = QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)   WHERE ") + Campo;
        if (Tipodato == adodb::adBSTR)
            sql += QStringLiteral(" ='") + rt::Comillas(ValorBuscado) + QStringLiteral("'");
        else if (Tipodato == adodb::adDate)
            sql += QStringLiteral(" = ") + ValorBuscado.trimmed() + QStringLiteral(" ");
        else if (adodb::IsNumericType(Tipodato))
            sql += QStringLiteral(" = ") + Numero(ValorBuscado);
        else
            sql += QStringLiteral(" = ") + ValorBuscado;
    } else {
        sql = QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)  ") +
              (rt::Contiene(Condicion, QStringLiteral(" WHERE ")) ? QStringLiteral(" ") : QStringLiteral(" WHERE ")) + Condicion;
    }
    return ExisteEn(sql, sql, Lrcs, SoloLectura);
}

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo, Recordset* Lrcs, int Tipodato,
                           const QString& Condicion, bool SoloLectura)
{
    QString sql;
    if (Condicion.isEmpty()) {
        if (Tipodato == adodb::adBSTR) {
            sql = QStringLiteral("SELECT TOP 1  * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(") + Campo +
                  QStringLiteral(")) ='") + rt::Comillas(ValorBuscado.trimmed()) + QStringLiteral("'");
        } else {
            sql = QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE ") + Campo;
            if (Tipodato == adodb::adDate)
                sql += QStringLiteral(" = ") + ValorBuscado.trimmed() + QStringLiteral(" ");
            else if (adodb::IsNumericType(Tipodato))
                sql += QStringLiteral(" = ") + Numero(ValorBuscado);
            else
                sql += QStringLiteral(" = ") + ValorBuscado;
        }
    } else {
        sql = QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock) ") +
              (rt::Contiene(Condicion, QStringLiteral(" WHERE ")) ? QStringLiteral(" ") : QStringLiteral(" WHERE ")) + Condicion;
    }
    sql = SS_TSinonimos(sql);
    return ExisteEn(sql, ORACLE_Dicc(sql), Lrcs, SoloLectura);
}

Variant DB_Dll::DatosTabla(const QString& Tabla, const QString& ValorBuscado, const QString& CampoDevuelto, const QString& Campo,
                           int Tipodato, const QString& Condicion, bool UsaTrim, bool IgnoraError)
{
    QString sql = QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE ");
    if (Tipodato == adodb::adBSTR && UsaTrim)
        sql += QStringLiteral("LTRIM(RTRIM(") + Campo + QStringLiteral(")) ='") + rt::Comillas(ValorBuscado.trimmed()) +
               QStringLiteral("' ");
    else if (Tipodato == adodb::adBSTR)
        sql += Campo + QStringLiteral(" ='") + rt::Comillas(ValorBuscado) + QStringLiteral("' ");
    else if (Tipodato == adodb::adDate)
        sql += Campo + QStringLiteral(" = #") + ValorBuscado.trimmed() + QStringLiteral("# ");
    else if (adodb::IsNumericType(Tipodato))
        sql += Campo + QStringLiteral(" = ") + Numero(ValorBuscado);
    else
        sql += Campo + QStringLiteral(" = ") + ValorBuscado;
    if (!Condicion.trimmed().isEmpty()) sql += QStringLiteral(" AND ");
    sql += Condicion;

    Variant resultado;
    Recordset rs;
    bool silencio = true;
    rt::Protocolo p([&](const adodb::Error& e) {
        if (IgnoraError) {
            resultado = QString();
            return static_cast<int>(rt::vbAbort);
        }
        return ReintentoConEnlace(e, avisoAlOperador(*this, QStringLiteral("DatosTabla")), &silencio);
    });
    AbrirRecordset(sql, rs);
    if (!gOpenFlag) return Variant();
    p.paso([&] { resultado = !rs.eof() ? Variant(RtTexto::ValorCampo(rs.Fields(CampoDevuelto).Value())) : Variant(QString()); });
    CierraRecordset(rs);
    return resultado;
}

namespace {

// Reads the one value of an aggregate; failures reach the caller.
Variant LeeUnico(adodb::Connection& cn, const QString& sql, const QString& columna)
{
    Recordset rs;
    rs.Open(sql, &cn, adodb::adOpenForwardOnly, adodb::adLockReadOnly);
    if (rs.eof()) return Variant();
    return rs.Fields(columna).Value();
}

}  // namespace

Variant DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo, Variant* Condicion)
{
    Variant condicionLocal;
    Variant& condicion = Condicion ? *Condicion : condicionLocal;
    for (;;) {
        QString sql = QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
        if (!condicion.isEmpty() && !condicion.isNull()) sql += QStringLiteral(" WHERE ") + condicion.toString().trimmed();
        UltimaSentencia = sql;
        const Variant mayor = LeeUnico(gCnn, sql, QStringLiteral("MAYOR"));
        if (mayor.isEmpty()) return mayor;
        const QString texto = RtTexto::ValorCampo(mayor).trimmed();
        if (rt::Iguales(QueTabla, QStringLiteral("V_MA_ARTICULOS")) && texto.startsWith(QLatin1Char('0'))) {
            // Codes that start with zero are not part of the numbering.
            const QString regla = QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'");
            condicion = condicion.isEmpty() || condicion.isNull() || condicion.toString().isEmpty()
                            ? Variant(regla)
                            : Variant(condicion.toString() + QStringLiteral(" and substring(ltrim(idarticulo),1,1)<>'0'"));
            continue;
        }
        if (!Tipo.isEmpty() && Tipo.toInt64() == adodb::adDate) return Variant(RtTexto::ValorCampo(mayor));
        return Variant(rt::Val(RtTexto::ValorCampo(mayor)));
    }
}

Variant DB_Dll::BuscaMinimo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo, Variant* Condicion)
{
    QString sql = QStringLiteral("SELECT MIN(") + QueCampo + QStringLiteral(") AS MENOR FROM ") + QueTabla +
                  QStringLiteral("  with(nolock) ");
    if (Condicion && !Condicion->isEmpty() && !Condicion->isNull())
        sql += QStringLiteral(" WHERE ") + Condicion->toString().trimmed();
    UltimaSentencia = sql;
    const Variant menor = LeeUnico(gCnn, sql, QStringLiteral("MENOR"));
    if (menor.isEmpty()) return menor;
    if (!Tipo.isEmpty() && Tipo.toInt64() == adodb::adDate) return Variant(RtTexto::ValorCampo(menor));
    return Variant(rt::Val(RtTexto::ValorCampo(menor)));
}

Variant DB_Dll::BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, const Variant&, const QString& Condicion)
{
    QString sql = QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (!Condicion.trimmed().isEmpty()) sql += QStringLiteral(" WHERE ") + Condicion;
    UltimaSentencia = sql;
    const Variant v = LeeUnico(gCnn, sql, QStringLiteral("MAYOR"));
    if (v.isEmpty()) return v;
    return Variant(rt::Val(RtTexto::ValorCampo(v)));
}
