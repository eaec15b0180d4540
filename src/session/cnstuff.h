#pragma once
// The start-up module: session values that the data-access class does not keep,
// the command line, configuration values and the account-code structure.
#include "adodb/error.h"
#include "adodb/recordset.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace CNStuffContable {

/// The session's values, filled once at start-up, in one object: a new
/// session (another user, a test) starts from a fresh one with Reinicia.
struct ValoresDeSesion {
    QString gSeccionUsuario;
    bool gFlatToolbars = false;
    QString gParametroAdicional;
    QString gMenu;
    QString gCaja;
    QString gUsuarioLogeado;
    QString gCadenaReporte;
    bool gSoloMayusculas = false;
    QString gTablaConfiguracion;
    /// Started from the desktop menu (--conexion): the connection dialog comes
    /// first instead of an attempt with whatever the command line carries.
    bool gPideConexion = false;
    // Account-code structure (16-bit, as the suite stores it).
    short D_Capitulo = 0, D_SubCapitulo = 0, D_Rubro = 0, D_SubRubro = 0, D_Cuenta = 0, D_SubCuenta = 0, D_Total = 0;
    short TD_Capitulo = 0, TD_SubCapitulo = 0, TD_Rubro = 0, TD_SubRubro = 0, TD_Cuenta = 0, TD_SubCuenta = 0, TD_Total = 0;
};
inline ValoresDeSesion sesionActual;

/// Forgets the session: these values and the data-access class's (DB_Dll::Reinicia).
void Reinicia();

// The names the suite's code uses for the session's values.
inline QString& gSeccionUsuario = sesionActual.gSeccionUsuario;
inline bool& gFlatToolbars = sesionActual.gFlatToolbars;
inline QString& gParametroAdicional = sesionActual.gParametroAdicional;
inline QString& gMenu = sesionActual.gMenu;
inline QString& gCaja = sesionActual.gCaja;
inline QString& gUsuarioLogeado = sesionActual.gUsuarioLogeado;
inline QString& gCadenaReporte = sesionActual.gCadenaReporte;
inline bool& gSoloMayusculas = sesionActual.gSoloMayusculas;
inline QString& gTablaConfiguracion = sesionActual.gTablaConfiguracion;
inline bool& gPideConexion = sesionActual.gPideConexion;
inline short& D_Capitulo = sesionActual.D_Capitulo;
inline short& D_SubCapitulo = sesionActual.D_SubCapitulo;
inline short& D_Rubro = sesionActual.D_Rubro;
inline short& D_SubRubro = sesionActual.D_SubRubro;
inline short& D_Cuenta = sesionActual.D_Cuenta;
inline short& D_SubCuenta = sesionActual.D_SubCuenta;
inline short& D_Total = sesionActual.D_Total;
inline short& TD_Capitulo = sesionActual.TD_Capitulo;
inline short& TD_SubCapitulo = sesionActual.TD_SubCapitulo;
inline short& TD_Rubro = sesionActual.TD_Rubro;
inline short& TD_SubRubro = sesionActual.TD_SubRubro;
inline short& TD_Cuenta = sesionActual.TD_Cuenta;
inline short& TD_SubCuenta = sesionActual.TD_SubCuenta;
inline short& TD_Total = sesionActual.TD_Total;

/// Prepares the shared lookup request once the session is connected (the
/// lookup layer sits above this module, so start-up calls it through here).
inline std::function<void()> PreparaConsulta;

/// The command-line text: the program's arguments joined by blanks.
QString LineaComandos(const QStringList& argumentos);
/// Value of a command-line key: text after its first occurrence (any case) up
/// to the next ";", every "=" removed, trimmed; "" when absent or unterminated.
QString ValorClave(const QString& linea, const QString& clave);
/// The command line handed to a sibling module.
QString LineaComandosModulo(const QString& ParametroAdicional);

/// Parses the command line, connects, fills the session. Returns false when the
/// connection could not be opened (the program must end).
bool InicioSistema(const QString& lineaComandos);
void IniContable();
void VerificaAcceso(const QString& Formulario, bool Forzar);

/// Value of a configuration key; " " when the key is missing.
QString Cfg(const QString& Clave, QString* ValorAux = nullptr);

/// Keys a routine reads together, read in one statement when the object is
/// made: while it lives, Cfg (and CNDLL::Cfg) answer those keys from that
/// read instead of one statement each. Each run of the routine makes its own,
/// so a value another module changed is still seen the next time. A read
/// that fails leaves Cfg to read and report each key as it always did.
class ClavesLeidas {
public:
    explicit ClavesLeidas(const QStringList& claves);
    ~ClavesLeidas();
    ClavesLeidas(const ClavesLeidas&) = delete;
    ClavesLeidas& operator=(const ClavesLeidas&) = delete;
    /// The value of `clave` (compared trimmed, without regard to case) when
    /// an object alive now read it; `valor` is " " for a key that is missing.
    static bool Busca(const QString& clave, QString* valor, QString* valorAux);

private:
    struct Fila {
        QString clave, valor, valorAux;
        bool existe = false;
    };
    std::vector<Fila> filas_;
    ClavesLeidas* anterior_ = nullptr;
};

/// The keys of the account-code structure, in level order.
QStringList ClavesDigitos();
void CargaDigitos();
void CargaTotalDigitos();
/// Both of the above on one read of the keys.
void CargaEstructura();
/// Finds an account by code, then by optional code; a hit by optional code
/// replaces `Codigo` with the account's real code.
bool BuscaCuenta(QString& Codigo, adodb::Recordset* Lrcs = nullptr, bool SoloLectura = false, bool* EsOpcional = nullptr);

/// Starts a sibling module from the program folder; `IdTarea` 0 when it could not start.
void EjecutaModulo(const QString& Programa, const QString& ParametroAdicional, long long& IdTarea);
bool ExisteArchivo(const QString& Ruta);
/// The windows' error report: box, log line in the temporary folder, answer.
int ReportaError(const adodb::Error& CodErr, const adodb::Variant& Botones = {}, const adodb::Variant& Rutina = {});
/// The runtime library's error report (Abort/Retry/Ignore), logged as TratamientoErrores logs; returns the answer.
int InformaError(const adodb::Error& e, const QString& rutina = {});

}  // namespace CNStuffContable
