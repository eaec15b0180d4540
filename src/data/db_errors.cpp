#include "db_dll.h"
#include "errores.h"

#include "runtime/operador.h"
#include "runtime/rtarchivos.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"

#include "adodb/sqlite_mensajes.h"

#include <QFile>
#include <QRegularExpression>

namespace errores {

QString Mensaje(const adodb::Error& e)
{
    return QStringLiteral("Ha ocurrido el Siguiente Error (") + QString::number(e.Number).trimmed() + QStringLiteral(") ") +
           adodb::TextForOperator(e).trimmed();
}

QString MensajeLog(const adodb::Error& e)
{
    const QString propio = e.Description.trimmed();
    QString m = Mensaje(e);
    // Whoever repairs the database needs the engine's own words.
    if (adodb::TextForOperator(e).trimmed() != propio)
        m += QStringLiteral(" [") + e.Source + QStringLiteral(": ") + propio + u']';
    return m;
}

QString Titulo(const adodb::Error& e, const adodb::Variant& rutina, const QString& cola)
{
    QString t = e.Source;
    if (!rutina.isEmpty() && !rutina.isNull()) t += QStringLiteral(" - ") + rutina.toString();
    return t + cola;
}

QString PalabraRespuesta(int r)
{
    switch (r) {
    case rt::vbRetry: return QStringLiteral("Reintentar");
    case rt::vbIgnore: return QStringLiteral("Ignorar");
    case rt::vbAbort: return QStringLiteral("Abortar");
    case rt::vbCancel: return QStringLiteral("Cancelar");
    case rt::vbYes: return QStringLiteral("Sí");
    case rt::vbNo: return QStringLiteral("No");
    default: return {};
    }
}

QString LineaLog(const QDateTime& cuando, const adodb::Variant& rutina, const QString& mensaje, int respuesta)
{
    // One line per error: a driver's multi-line message must not split it.
    static const QRegularExpression saltos(QStringLiteral("[\\r\\n]+"));
    QString texto = mensaje;
    texto.replace(saltos, QStringLiteral(" "));
    QString parteRutina;
    if (!rutina.isEmpty() && !rutina.isNull()) parteRutina = (QStringLiteral(" - ") + rutina.toString()).trimmed();
    return cuando.toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char(' ') + cuando.toString(QStringLiteral("HH:mm:ss")) +
           QStringLiteral(" Rutina: ") + parteRutina + QStringLiteral(" Mensaje ") + texto.trimmed() +
           QStringLiteral(" Respondió : ") + PalabraRespuesta(respuesta);
}

void AgregaLinea(const QString& archivo, const QString& linea)
{
    QFile f(archivo);
    if (!f.open(QIODevice::Append | QIODevice::WriteOnly)) return;
    f.write((linea + QStringLiteral("\r\n")).toUtf8());
}

void AnotaError(const QString& archivo, const adodb::Variant& rutina, const adodb::Error& e, int respuesta)
{
    AgregaLinea(archivo, LineaLog(QDateTime::currentDateTime(), rutina, MensajeLog(e), respuesta));
}

namespace {
Cuenta gCuenta;
}  // namespace

Cuenta Informadas()
{
    return gCuenta;
}

void Registra(const QString& archivo, const adodb::Variant& rutina, const adodb::Error& e, int respuesta)
{
    ++gCuenta.informadas;
    if (respuesta != rt::vbRetry && respuesta != rt::vbIgnore) ++gCuenta.abandonadas;
    if (adodb::IsTransactionLost(e)) ++gCuenta.enlacesPerdidos;
    AnotaError(archivo, rutina, e, respuesta);
}

int ReportaError(const adodb::Error& CodErr, const adodb::Variant& Botones, const adodb::Variant& Rutina)
{
    DB().DetieneSiFaltaPermiso(CodErr);
    if (CodErr.Number == 0) return 0;
    QString temp = qEnvironmentVariable("temp").trimmed();
    if (temp.isEmpty()) temp = qEnvironmentVariable("TEMP").trimmed();
    if (temp.isEmpty()) temp = RtEntorno::CarpetaTemporal();
    const QString log = RtTexto::RutaCarpeta(temp) + QStringLiteral("VLERR.LOG");
    const QString mensaje = Mensaje(CodErr);
    const QString titulo = Titulo(CodErr, Rutina, QStringLiteral(" Aviso al operador!!! "));
    const int botones =
        Botones.isEmpty() || Botones.isNull() ? rt::vbAbortRetryIgnore + rt::vbCritical : static_cast<int>(Botones.toInt64());
    const int r = rt::operador().MsgBox(mensaje, botones, titulo);
    Registra(log, Rutina, CodErr, r);
    return r;
}

int InformaError(const adodb::Error& e, const QString& rutina)
{
    DB().DetieneSiFaltaPermiso(e);
    const QString titulo =
        rutina.isEmpty() ? QStringLiteral("Aviso al operador") : rutina + QStringLiteral(" - Aviso al operador");
    const int r = rt::operador().MsgBox(Mensaje(e), rt::vbAbortRetryIgnore + rt::vbCritical, titulo);
    // A save that failed must leave a trace for whoever repairs the database,
    // as the data layer's own reports do.
    Registra(DB().RutaLogErrores(), rutina.isEmpty() ? adodb::Variant() : adodb::Variant(rutina), e, r);
    return r;
}

}  // namespace errores

QString DB_Dll::RutaLogErrores() const
{
    return !gLogErr.isEmpty() ? gLogErr
                              : RtArchivos::CarpetaParaGrabar(QStringLiteral("VLERR.LOG"), RtArchivos::Clase::Estado) +
                                    QStringLiteral("VLERR.LOG");
}

int DB_Dll::TratamientoErrores(const adodb::Error& CodErr, const adodb::Variant& Botones, const adodb::Variant& Rutina)
{
    DetieneSiFaltaPermiso(CodErr);
    const QString log = RutaLogErrores();
    const QString mensaje = errores::Mensaje(CodErr);
    const QString titulo = errores::Titulo(CodErr, Rutina, QStringLiteral(" Aviso al operador!!! - 5 "));
    const int botones =
        Botones.isEmpty() || Botones.isNull() ? rt::vbAbortRetryIgnore + rt::vbCritical : static_cast<int>(Botones.toInt64());
    if (CodErr.Number == 0) return 0;
    const int r = rt::operador().MsgBox(mensaje, botones, titulo);
    errores::Registra(log, Rutina, CodErr, r);
    return r;
}

void DB_Dll::DetieneSiFaltaPermiso(const adodb::Error& e) const
{
    if (!arrancando_ || !adodb::IsPermissionDenied(e)) return;
    FaltaPermiso f{e, {}, {}};
    // PostgreSQL: "permission denied for table x" ("relation" before 11);
    // SQL Server: "The SELECT permission was denied on the object 'x', ...",
    // or in Spanish "Se denegó el permiso SELECT en el objeto 'x', ...".
    static const QRegularExpression tablaPg(QStringLiteral(R"(permission denied for (?:table|relation|view) "?([^\s";]+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression objeto(QStringLiteral(R"((?:object|objeto) '([^']+)')"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression permiso(QStringLiteral(R"((?:The (\w+) permission|permiso (\w+)))"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression desde(QStringLiteral(R"(\b(?:FROM|INTO|UPDATE)\s+([\w.\[\]"]+))"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (const auto m = tablaPg.match(e.Description); m.hasMatch())
        f.tabla = m.captured(1);
    else if (const auto o = objeto.match(e.Description); o.hasMatch())
        f.tabla = o.captured(1);
    else if (const auto d = desde.match(UltimaSentencia); d.hasMatch())
        f.tabla = d.captured(1);
    if (const auto m = permiso.match(e.Description); m.hasMatch())
        f.permiso = (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1)).toUpper();
    else
        f.permiso = UltimaSentencia.trimmed().section(u' ', 0, 0).toUpper();
    static const QStringList conocidos = {QStringLiteral("SELECT"), QStringLiteral("INSERT"), QStringLiteral("UPDATE"),
                                          QStringLiteral("DELETE")};
    if (!conocidos.contains(f.permiso)) f.permiso = QStringLiteral("SELECT");
    throw f;
}

bool DB_Dll::PideOtraConexion(const FaltaPermiso& f)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString tabla = f.tabla.isEmpty() ? QStringLiteral("una tabla del sistema") : QStringLiteral("la tabla ") + f.tabla;
    const QString texto = QStringLiteral("El usuario ") + gUsuario + QStringLiteral(" no tiene el permiso ") + f.permiso +
                          QStringLiteral(" sobre ") + tabla + QStringLiteral(" de la base de datos ") + gDBName +
                          QStringLiteral(".") + crlf + crlf +
                          QStringLiteral("El administrador de la base de datos debe otorgarle SELECT, INSERT, UPDATE y DELETE "
                                         "sobre las tablas del sistema contable, o ingrese con otro usuario.") +
                          crlf + crlf + QStringLiteral("(") + adodb::TextForOperator(f.error).trimmed() + QStringLiteral(")");
    const int r =
        rt::operador().MsgBox(texto, rt::vbOKOnly + rt::vbCritical, QStringLiteral(" Error de Conexion a Base de Datos"));
    errores::AgregaLinea(RutaLogErrores(),
                         errores::LineaLog(QDateTime::currentDateTime(), QStringLiteral("OpenServerADODB"), texto, r));
    // Nothing of this session is kept: the next connection starts afresh.
    adodb::Attempt([&] {
        if (gCnn.State() != adodb::adStateClosed) gCnn.Close();
    });
    gCnn.Errors().Clear();
    gOpenFlag = false;
    OpenServerADODB(true);
    return gOpenFlag;
}
