#include "cnstuff.h"

#include "data/db_dll.h"
#include "data/errores.h"
#include "runtime/fin.h"
#include "runtime/operador.h"
#include "runtime/protocolo.h"
#include "runtime/rtentorno.h"
#include "runtime/rtini.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <cmath>
#include <limits>

using adodb::AdoException;
using adodb::Recordset;
using adodb::Variant;

namespace CNStuffContable {

QString LineaComandos(const QStringList& argumentos)
{
    return argumentos.join(QLatin1Char(' '));
}

QString ValorClave(const QString& linea, const QString& clave)
{
    const int p = rt::InStr(linea, clave);
    if (p == 0) return {};
    const int fin = static_cast<int>(linea.indexOf(QLatin1Char(';'), p - 1));
    if (fin < 0) return {};
    const int desde = p - 1 + static_cast<int>(clave.size());
    return RtTexto::QuitaCaracteres(linea.mid(desde, fin - desde), QStringLiteral("=")).trimmed();
}

QString LineaComandosModulo(const QString& ParametroAdicional)
{
    const DB_Dll& db = DB();
    return QStringLiteral(" ; @server=") + db.gServidor + QStringLiteral("; @dbname=") + db.gDBName +
           QStringLiteral("; @usuario=") + db.gUsuario + QStringLiteral("; @Password=") + db.gUserPassWord +
           QStringLiteral("; @ParametroAdicional=") + ParametroAdicional + QStringLiteral("; orba@ ;");
}

bool InicioSistema(const QString& lineaComandos)
{
    DB_Dll& db = DB();
    gSeccionUsuario = RtEntorno::NombreMaquina().toUpper() + QLatin1Char('|') + RtEntorno::NombreUsuario().toUpper();
    gFlatToolbars = rt::Val(RtIni::LeeIni(QStringLiteral("CN000p.INI"), gSeccionUsuario, QStringLiteral("FlatToolbars"),
                                          QStringLiteral("1"))) != 0;
    if (!db.gOpenFlag) {
        gParametroAdicional = ValorClave(lineaComandos, QStringLiteral("@ParametroAdicional"));
        gMenu = ValorClave(lineaComandos, QStringLiteral("@Menu"));
        const QString servidor = ValorClave(lineaComandos, QStringLiteral("@Server"));
        const QString base = ValorClave(lineaComandos, QStringLiteral("@DbName"));
        const QString usuario = ValorClave(lineaComandos, QStringLiteral("@Usuario"));
        const QString clave = ValorClave(lineaComandos, QStringLiteral("@Password"));
        gUsuarioLogeado = ValorClave(lineaComandos, QStringLiteral("@UsuarioLogeado"));
        gCaja = ValorClave(lineaComandos, QStringLiteral("@Caja"));
        db.gUsuario = usuario;
        db.gDBName = base;
        db.gUserPassWord = clave;
        db.gServidor = servidor;
        // Settings the driver needs and the command line cannot carry (Encrypt=no
        // for the SQL Server driver 18, SSLmode for psqlODBC, ...).
        const QString extendido =
            RtIni::LeeIni(QStringLiteral("CN000p.INI"), QStringLiteral("Conexion"), QStringLiteral("Extendido"), QString());
        if (!extendido.trimmed().isEmpty()) db.gExtended = extendido.trimmed();
        // The session's time-out from the first statement on: on a server that
        // applies it by a command of its own, every change is one more round trip.
        db.gCnn.CommandTimeout = 360;
        db.OpenServerADODB(gPideConexion);
        if (!db.gOpenFlag) return false;
        try {
            db.gCnn.CommandTimeout = 360;
            db.gCnn.SetDefaultDatabase(db.gDBName);
        } catch (const AdoException& e) {
            // Connected, but the session is not complete: start-up stops quietly
            // here and the window loads on what the connection chose.
            if (e.error().Number != adodb::kErrInvalidArgument && e.error().Number != adodb::kErrItemNotFound) return true;
        }
    }
    gCadenaReporte = QStringLiteral("DSN=") + db.gDBName + QStringLiteral("; UID=") + db.gUsuario + QStringLiteral("; PWD=") +
                     db.gUserPassWord;
    {
        // The keys the lookup's preparation and the user settings read, in one
        // statement: on a slow link each statement costs a round trip.
        const ClavesLeidas claves({QStringLiteral("Stk_Nivel1"), QStringLiteral("Stk_Nivel2"), QStringLiteral("Stk_Nivel3"),
                                   QStringLiteral("Stk_Nivel4"), QStringLiteral("MostrarStockenConsultas"),
                                   QStringLiteral("UsaConsultaLike"), QStringLiteral("ESCRIBE_SOLO_MAYUSCULAS"),
                                   QStringLiteral("SS_CONFIDENCIALIDAD")});
        if (PreparaConsulta) PreparaConsulta();
        gUsuarioLogeado = db.gUsuario;
        IniContable();
    }
    VerificaAcceso(QString(), false);
    return true;
}

void IniContable()
{
    const ClavesLeidas claves({QStringLiteral("ESCRIBE_SOLO_MAYUSCULAS"), QStringLiteral("SS_CONFIDENCIALIDAD")});
    rt::Protocolo p([](const adodb::Error& e) { return InformaError(e, QStringLiteral("IniContable")); });
    p.paso([] { gSoloMayusculas = rt::Iguales(Cfg(QStringLiteral("ESCRIBE_SOLO_MAYUSCULAS")), QStringLiteral("SI")); });
    p.paso([] { DB().gConfidencialidad = rt::Iguales(Cfg(QStringLiteral("SS_CONFIDENCIALIDAD")), QStringLiteral("SI")); });
}

void VerificaAcceso(const QString& Formulario, bool Forzar)
{
    DB_Dll& db = DB();
    // A missing access table or a failed query never stops the user here.
    if (gUsuarioLogeado.isEmpty()) gUsuarioLogeado = db.gUsuario;
    const QString programa = RtEntorno::NombreEjecutable();
    QString tarea;
    Recordset rs;
    QString sql = QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre ") +
                  QStringLiteral(" FROM TA_TAREAS INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave ") +
                  QStringLiteral(" WHERE (TA_TAREAS.USUARIO = '") + rt::Comillas(gUsuarioLogeado) +
                  QStringLiteral(" ') AND (TA_MENU.Proceso LIKE '%") + programa + QStringLiteral("%')");
    db.AbrirRecordset(sql, rs);
    adodb::Attempt([&] {
        if (rs.State() == adodb::adStateOpen && !rs.eof()) {
            tarea = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Nombre")).Value());
        } else if (rt::Iguales(programa, QStringLiteral("CN000PR"))) {
            tarea = QStringLiteral("Menu Principal");
        } else if (Forzar) {
            rt::operador().MsgBox(QStringLiteral("NO TIENE ACCESO A ESTE PROCESO, UTILICE EL MENU CORRESPONDIENTE!!!"),
                                  rt::vbCritical, QStringLiteral("ATENCION!"));
            rt::TerminaPrograma(0);
        }
    });
    db.CierraRecordset(rs);
    Recordset log;
    adodb::Attempt([&] {
        log.Open(QStringLiteral("Select top 1 * from Control_Acceso"), &db.gCnn, adodb::adOpenDynamic, adodb::adLockOptimistic);
    });
    adodb::Attempt([&] { log.AddNew(); });
    // A text longer than its column is refused whole; the log keeps what fits
    // rather than lose who came in.
    auto pon = [&](const QString& campo, const QString& valor) {
        adodb::Attempt([&] {
            adodb::Field f = log.Fields(campo);
            const int largo = f.DefinedSize();
            f.setValue(largo > 0 && valor.size() > largo ? valor.left(largo) : valor);
        });
    };
    pon(QStringLiteral("Maquina"), RtEntorno::NombreMaquina().trimmed().toUpper());
    pon(QStringLiteral("Usuario"), RtEntorno::NombreUsuario().trimmed().toUpper());
    pon(QStringLiteral("Formulario"), Formulario.trimmed().toUpper());
    pon(QStringLiteral("Tarea"), tarea.trimmed().toUpper());
    adodb::Attempt([&] {
        const QDateTime ahora = RtEntorno::Ahora();
        log.Fields(QStringLiteral("Ingreso"))
            .setValue(ahora.toString(QStringLiteral("dd/MM/yy")) + QLatin1Char(' ') + ahora.toString(QStringLiteral("HH:mm")));
    });
    pon(QStringLiteral("NombreUsuario"), gUsuarioLogeado);
    adodb::Attempt([&] { log.Update(); });
    adodb::Attempt([&] {
        if (log.State() == adodb::adStateOpen) {
            if (log.EditMode() != adodb::adEditNone) log.CancelUpdate();
            log.Close();
        }
    });
}

namespace {
ClavesLeidas* gLecturaActual = nullptr;
}  // namespace

ClavesLeidas::ClavesLeidas(const QStringList& claves) : anterior_(gLecturaActual)
{
    QStringList faltan;
    for (const QString& c : claves)
        if (!Busca(c, nullptr, nullptr)) faltan << c.trimmed();
    gLecturaActual = this;
    if (faltan.isEmpty()) return;
    if (gTablaConfiguracion.trimmed().isEmpty()) gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    // Each key compared as Cfg compares it, so every engine finds the same rows.
    QStringList condiciones;
    for (const QString& c : faltan) condiciones << QStringLiteral("CLAVE = '") + rt::Comillas(c) + QStringLiteral("'");
    const QString sql = QStringLiteral("SELECT CLAVE, VALOR, valoraux FROM ") + gTablaConfiguracion + QStringLiteral(" WHERE ") +
                        condiciones.join(QStringLiteral(" OR "));
    Recordset rs;
    DB().AbrirRecordset(sql, rs);
    std::vector<Fila> leidas;
    const bool completa = adodb::Attempt([&] {
        for (const QString& c : faltan) leidas.push_back(Fila{c, QStringLiteral(" "), QString(), false});
        for (; !rs.eof(); rs.MoveNext()) {
            const QString clave = RtTexto::ValorCampo(rs.Fields(QStringLiteral("CLAVE")).Value()).trimmed();
            for (Fila& f : leidas)
                if (!f.existe && rt::Iguales(f.clave, clave)) {  // the first row of a key, as Cfg takes it
                    f.valor = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Valor")).Value());
                    f.valorAux = RtTexto::ValorCampo(rs.Fields(QStringLiteral("ValorAux")).Value());
                    f.existe = true;
                }
        }
    });
    if (rs.State() == adodb::adStateOpen) DB().CierraRecordset(rs);
    if (completa) filas_ = std::move(leidas);
}

ClavesLeidas::~ClavesLeidas()
{
    gLecturaActual = anterior_;
}

bool ClavesLeidas::Busca(const QString& clave, QString* valor, QString* valorAux)
{
    const QString buscada = clave.trimmed();
    for (const ClavesLeidas* l = gLecturaActual; l; l = l->anterior_)
        for (const Fila& f : l->filas_)
            if (rt::Iguales(f.clave, buscada)) {
                if (valor) *valor = f.valor;
                if (valorAux) *valorAux = f.valorAux;
                return true;
            }
    return false;
}

QString Cfg(const QString& Clave, QString* ValorAux)
{
    QString resultado;
    if (ClavesLeidas::Busca(Clave, &resultado, ValorAux)) return resultado;
    if (gTablaConfiguracion.trimmed().isEmpty()) gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    QString sql = QStringLiteral("SELECT VALOR, valoraux FROM ") + gTablaConfiguracion + QStringLiteral(" WHERE CLAVE = '") +
                  Clave.trimmed() + QStringLiteral("'");
    if (rt::Iguales(Clave.trimmed(), QStringLiteral("[FECHA HASTA]")) ||
        rt::Iguales(Clave.trimmed(), QStringLiteral("[FECHA DESDE]")))
        sql = sql.toUpper();
    Recordset rs;
    // Retry reads as "any other answer" here: the value comes back empty.
    rt::Protocolo p([](const adodb::Error& e) {
        const int r = InformaError(e, QStringLiteral("Cfg"));
        return r == rt::vbIgnore ? r : static_cast<int>(rt::vbAbort);
    });
    DB().AbrirRecordset(sql, rs);
    p.paso([&] {
        if (rs.eof()) {
            resultado = QStringLiteral(" ");
            if (ValorAux) ValorAux->clear();
        } else {
            resultado = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Valor")).Value());
            if (ValorAux) *ValorAux = RtTexto::ValorCampo(rs.Fields(QStringLiteral("ValorAux")).Value());
        }
    });
    DB().CierraRecordset(rs);
    return resultado;
}

namespace {

const char* const kClavesDigitos[] = {"DIGITOS_CAPITULO", "DIGITOS_SUBCAPITULO", "DIGITOS_RUBRO",
                                      "DIGITOS_SUBRUBRO", "DIGITOS_CUENTA",      "DIGITOS_SUBCUENTA"};

// A value for a 16-bit slot of the structure, or the reason it does not fit.
bool Entero16(double v, short* out)
{
    const long long r = rt::RedondeoBanquero(v);
    if (!std::isfinite(v) || r > std::numeric_limits<short>::max() || r < std::numeric_limits<short>::min()) return false;
    *out = static_cast<short>(r);
    return true;
}

void AvisaDigitos(const QString& clave)
{
    rt::operador().MsgBox(QStringLiteral("La estructura de cuentas no es valida: el valor de ") + clave +
                              QStringLiteral(" (o la suma de los digitos) supera 32767. Se toma una estructura vacia."),
                          rt::vbInformation, QStringLiteral("Aviso al operador..."));
}

}  // namespace

QStringList ClavesDigitos()
{
    QStringList r;
    for (const char* c : kClavesDigitos) r << QString::fromLatin1(c);
    return r;
}

void CargaEstructura()
{
    const ClavesLeidas claves(ClavesDigitos());
    CargaDigitos();
    CargaTotalDigitos();
}

void CargaDigitos()
{
    const ClavesLeidas claves(ClavesDigitos());
    short* niveles[] = {&D_Capitulo, &D_SubCapitulo, &D_Rubro, &D_SubRubro, &D_Cuenta, &D_SubCuenta};
    short leidos[6] = {0, 0, 0, 0, 0, 0};
    long suma = 0;
    for (int i = 0; i < 6; ++i) {
        const QString clave = QString::fromLatin1(kClavesDigitos[i]);
        if (!Entero16(rt::Val(Cfg(clave)), &leidos[i])) {
            AvisaDigitos(clave);
            for (short* n : niveles) *n = 0;
            D_Total = 0;
            return;
        }
        suma += leidos[i];
    }
    short total = 0;
    if (!Entero16(static_cast<double>(suma), &total)) {
        AvisaDigitos(QStringLiteral("DIGITOS_*"));
        for (short* n : niveles) *n = 0;
        D_Total = 0;
        return;
    }
    for (int i = 0; i < 6; ++i) *niveles[i] = leidos[i];
    D_Total = total;
}

void CargaTotalDigitos()
{
    const ClavesLeidas claves(ClavesDigitos());
    short* acumulados[] = {&TD_Capitulo, &TD_SubCapitulo, &TD_Rubro, &TD_SubRubro, &TD_Cuenta, &TD_SubCuenta};
    short valores[6] = {0, 0, 0, 0, 0, 0};
    double acumulado = 0;
    for (int i = 0; i < 6; ++i) {
        acumulado += rt::Val(Cfg(QString::fromLatin1(kClavesDigitos[i])));
        if (!Entero16(acumulado, &valores[i])) {
            AvisaDigitos(QString::fromLatin1(kClavesDigitos[i]));
            for (short* n : acumulados) *n = 0;
            TD_Total = 0;
            return;
        }
        acumulado = valores[i];
    }
    for (int i = 0; i < 6; ++i) *acumulados[i] = valores[i];
    TD_Total = TD_SubCuenta;
}

bool BuscaCuenta(QString& Codigo, Recordset* Lrcs, bool SoloLectura, bool* EsOpcional)
{
    Recordset propio;
    Recordset& rs = Lrcs ? *Lrcs : propio;
    const bool primeroOpcional = EsOpcional && *EsOpcional;
    bool encontrado = false;
    rt::Protocolo p([](const adodb::Error& e) { return InformaError(e); });
    for (int vuelta = 0; vuelta < 2 && !encontrado && !p.abortado(); ++vuelta) {
        const bool porOpcional = (vuelta == 0) == primeroOpcional;
        const QString columna = porOpcional ? QStringLiteral("CodigoOpcional") : QStringLiteral("Codigo");
        const QString sql = QStringLiteral("SELECT * FROM MA_CUENTAS WHERE ") + columna + QStringLiteral(" =  '") +
                            rt::Comillas(Codigo) + QStringLiteral("'");
        DB().AbrirRecordset(sql, rs, nullptr, SoloLectura ? 0 : 2, SoloLectura ? 1 : 3);
        p.paso([&] {
            if (!rs.eof()) {
                encontrado = true;
                if (porOpcional) {
                    Codigo = RtTexto::ValorCampo(rs.Fields(QStringLiteral("Codigo")).Value());
                    if (vuelta == 1 && EsOpcional) *EsOpcional = true;
                }
            }
        });
    }
    if (!Lrcs) DB().CierraRecordset(propio);
    return encontrado;
}

void EjecutaModulo(const QString& Programa, const QString& ParametroAdicional, long long& IdTarea)
{
    const QString ruta = RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma()) + Programa.mid(6);
    IdTarea = rt::operador().Ejecuta(ruta, LineaComandosModulo(ParametroAdicional));
    if (IdTarea == 0)
        rt::operador().MsgBox(QStringLiteral("Opcion no Implementada!") + QLatin1Char('\r') +
                                  QStringLiteral("Comuniquese con su proveedor de sistemas"),
                              rt::vbCritical, QStringLiteral("Atención"));
}

bool ExisteArchivo(const QString& Ruta)
{
    QFile f(Ruta);
    return f.open(QIODevice::ReadOnly);
}

// Both reports live with the data layer, where the windows below the session reach them too.
int ReportaError(const adodb::Error& CodErr, const Variant& Botones, const Variant& Rutina)
{
    return errores::ReportaError(CodErr, Botones, Rutina);
}

int InformaError(const adodb::Error& e, const QString& rutina)
{
    return errores::InformaError(e, rutina);
}

}  // namespace CNStuffContable
