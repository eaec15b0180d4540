#pragma once
// The data-access class: one instance owns the session connection, and every
// statement of the program goes through it (its rewriting, its error report,
// UltimaSentencia). A second instance exists only on another database than
// the session's (OtraBase).
#include "adodb/connection.h"
#include "adodb/recordset.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

/// What the connection dialog edits. Nothing in this layer draws: the dialog
/// is a window of its own, which main installs as DB_Dll::DialogoAcceso.
struct DatosAcceso {
    QString baseDatos, servidor, usuario, clave;
    int plataforma = 0;  // 0 SQL Server, 1 Oracle
};

/// A table the login may not read or write, met while the program starts:
/// start-up stops there (see DB_Dll::Arranque).
struct FaltaPermiso {
    adodb::Error error;
    QString tabla;    // as the server named it ("" when it did not)
    QString permiso;  // SELECT, INSERT, ... ("" when not known)
};

/// The values of one session: who is connected to what, and how. DB_Dll
/// carries them under the names the suite's code uses; Reinicia starts over.
struct DatosSesion {
    bool gOpenFlag = false;
    adodb::Variant gIgnoraPassWord;
    QString gProveedor;
    QString gServidor;
    QString gDBName;
    QString gUsuario;
    bool gEsAdmin = false;
    QString gUserPassWord;
    QString gConnString;
    QString gExtended;
    QString gLogErr;
    /// Restricted synonyms apply to the confidential tables too (set at start-up).
    bool gConfidencialidad = false;
};

class DB_Dll : public DatosSesion {
public:
    DB_Dll();

    // The session's connection.
    adodb::Connection gCnn;
    adodb::Recordset glrcs;

    /// Closes the connection and forgets the session: its values, the last
    /// statement, the dialog and the required tables, the warnings already
    /// given. As the program is before it first connects.
    void Reinicia();
    /// A DB_Dll of its own, connected to another database (`cadena`) with this
    /// session's user and rights, so its statements are rewritten and
    /// reported as the session's are. A failure to connect comes back as AdoException.
    std::unique_ptr<DB_Dll> OtraBase(const QString& cadena) const;

    /// The text of the last statement this class ran or opened (diagnostics and tests).
    QString UltimaSentencia;

    /// The connection dialog. Returns true when accepted (with `datos` edited).
    /// Unset, the dialog goes through the operator seam as a modal window named
    /// "frmAcceso" and reads as Cancel unless the script accepts it.
    std::function<bool(DatosAcceso& datos)> DialogoAcceso;

    /// Tables or views the program cannot work without. A database that lacks
    /// any of them is refused at connection time, like a wrong database name,
    /// before anything reads or writes it. Empty: no check.
    QStringList TablasRequeridas;

    static QString pSQLOLEDB() { return QStringLiteral("SQLOLEDB"); }
    static QString pJETOLEDB40() { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }
    static QString pJETOLEDB35() { return QStringLiteral("Microsoft.Jet.OLEDB.3.51"); }

    // Connection.
    void OpenServerADODB(bool PideParametrosSQL = false, long lCursor = adodb::adUseClient, const QString& ConnString = {},
                         bool ValidaAdmin = true, bool MuestraError = true);
    void ReintentaConectar();
    /// The answer that a step which failed with `e` acts on, for a routine
    /// whose report offers Retry. A lost link is first reopened without asking
    /// while `*silencio` is true (it is then cleared: once per routine), and
    /// the step runs again. Otherwise `informe` shows the failure and logs
    /// it; after a lost link, Retry reopens the connection before the step
    /// runs again, and while the server does not answer the report comes back.
    int ReintentoConEnlace(const adodb::Error& e, const std::function<int(const adodb::Error&)>& informe,
                           bool* silencio = nullptr);
    /// The names of TablasRequeridas that the open connection lacks.
    QStringList TablasFaltantes();
    void OpenLocalADODB(const QString& ConnString = {}, const QString& CadenaID = QStringLiteral("User Id"),
                        const QString& CadenaPWD = QStringLiteral("Password"));

    // Recordsets and statements.
    /// Opens `Lrcs` on the statement after rewriting it (the caller sees the rewritten text).
    void AbrirRecordset(QString& SentenciaSQL, adodb::Recordset& Lrcs, adodb::Connection* Conexionactiva = nullptr,
                        int CursorType = adodb::adOpenForwardOnly, int LockType = adodb::adLockReadOnly,
                        int Options = adodb::adCmdUnknown, bool ConvOracle = true);
    void AbrirRecordset(const QString& SentenciaSQL, adodb::Recordset& Lrcs, adodb::Connection* Conexionactiva = nullptr,
                        int CursorType = adodb::adOpenForwardOnly, int LockType = adodb::adLockReadOnly,
                        int Options = adodb::adCmdUnknown, bool ConvOracle = true)
    {
        QString s = SentenciaSQL;
        AbrirRecordset(s, Lrcs, Conexionactiva, CursorType, LockType, Options, ConvOracle);
    }
    void CierraRecordset(adodb::Recordset& LrcsTemp);
    /// Opens `Lrcs` on the statement rewritten as AbrirRecordset rewrites it.
    /// A failure comes back once, as AdoException: nothing is shown, logged,
    /// retried or reconnected here; the caller's protocol decides.
    void Abre(const QString& SentenciaSQL, adodb::Recordset& Lrcs, int CursorType = adodb::adOpenForwardOnly,
              int LockType = adodb::adLockReadOnly, int Options = adodb::adCmdUnknown);
    /// A schema rowset of the session's connection (tables, columns, ...).
    /// A failure comes back as AdoException.
    adodb::Recordset Esquema(int Tipo, const std::vector<adodb::Variant>& Restricciones = {});
    /// Runs a batch rewritten as EjecutaConsultaSQL rewrites it and returns
    /// the rows it affected. A failure comes back once, as AdoException.
    long Ejecuta(const QString& SentenciaSQL, adodb::Recordset* Lrcs = nullptr);
    /// Runs a batch silently: a failure is left in the connection's Errors for
    /// the caller. Kept for callers of the suite's library that read Errors();
    /// new code uses Ejecuta.
    void EjecutaConsultaSQL(QString& SentenciaSQL, long* RecordsAffected = nullptr, adodb::Recordset* Lrcs = nullptr);
    void EjecutaConsultaSQL(const QString& SentenciaSQL, long* RecordsAffected = nullptr, adodb::Recordset* Lrcs = nullptr)
    {
        QString s = SentenciaSQL;
        EjecutaConsultaSQL(s, RecordsAffected, Lrcs);
    }
    /// As EjecutaConsultaSQL, but unexpected failures are shown to the operator.
    void EjecutaConsultaRSQL(QString& SentenciaSQL, long* RecordsAffected = nullptr, adodb::Recordset* Lrcs = nullptr);
    bool ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo = QStringLiteral("Codigo"),
                         adodb::Recordset* Lrcs = nullptr, int Tipodato = adodb::adBSTR, const QString& Condicion = {},
                         bool SoloLectura = false);
    bool ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo = QStringLiteral("Codigo"),
                       adodb::Recordset* Lrcs = nullptr, int Tipodato = adodb::adBSTR, const QString& Condicion = {},
                       bool SoloLectura = true);
    adodb::Variant DatosTabla(const QString& Tabla, const QString& ValorBuscado, const QString& CampoDevuelto,
                              const QString& Campo = QStringLiteral("Codigo"), int Tipodato = adodb::adBSTR,
                              const QString& Condicion = {}, bool UsaTrim = true, bool IgnoraError = false);
    /// Largest value of a column; failures reach the caller as AdoException.
    adodb::Variant BuscaMaximo(const QString& QueTabla, const QString& QueCampo, const adodb::Variant& Tipo = {},
                               adodb::Variant* Condicion = nullptr);
    adodb::Variant BuscaMinimo(const QString& QueTabla, const QString& QueCampo, const adodb::Variant& Tipo = {},
                               adodb::Variant* Condicion = nullptr);
    adodb::Variant BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, const adodb::Variant& Tipo = adodb::adBSTR,
                                     const QString& Condicion = {});

    // Rewriting.
    QString SS_TSinonimos(const QString& sql) const;
    QString ORACLE_Dicc(const QString& Valor) const;
    /// The statements of a batch for an engine that takes one at a time, each
    /// from one of the batch keywords to the next; session commands dropped.
    static QStringList DivideLoteOracle(QString lote);

    // Literals and schema.
    static bool adodate(const adodb::Variant& Qtype);
    static QString ADOComilla(const adodb::Variant& Qtype);
    static bool ADOText(const adodb::Variant& Qtype);
    static bool ADONumeric(const adodb::Variant& Qtype);
    static bool ADOCurrency(const adodb::Variant& Qtype);
    static bool ADOBoolean(const adodb::Variant& Qtype);
    static adodb::Variant SQLValue(const adodb::Variant& Valor, const QString& Tipo = QStringLiteral("'"));
    static QString stSTF(QString& rsName, short rnPart);
    static QString AddBrackets(const QString& rObjName);
    static QString StripConnect(const QString& rsTblName);
    static QString StripBrackets(const QString& rsObjName);
    static QString StripOwner(QString& rsTblName);
    static QString StripFileName(const QString& rsFileName);
    bool ExisteTablaDB(const QString& Tabla);
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                  const adodb::Variant& ValorDefault = {});
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar = true, const QString& Tipo = {},
                    bool PermiteNulos = false, const adodb::Variant& ValorDefault = {});

    // Errors.
    /// While one lives (the program's start-up), a refused permission is not
    /// shown where it happens: FaltaPermiso is thrown to whoever started, since
    /// every later step would fail the same way, each with its own box.
    class Arranque {
    public:
        explicit Arranque(DB_Dll& db) : db_(db), antes_(db.arrancando_) { db_.arrancando_ = true; }
        ~Arranque() { db_.arrancando_ = antes_; }
        Arranque(const Arranque&) = delete;
        Arranque& operator=(const Arranque&) = delete;

    private:
        DB_Dll& db_;
        bool antes_;
    };
    /// Throws FaltaPermiso when `e` is a refused permission met during start-up.
    void DetieneSiFaltaPermiso(const adodb::Error& e) const;
    /// The operator is told, once, which right on which table the login lacks;
    /// the connection is closed and the connection dialog offered, as after a
    /// failed connection. True when another connection was opened.
    bool PideOtraConexion(const FaltaPermiso& f);
    /// Shows the error to the operator, logs the answer and returns it (0 for error number 0).
    int TratamientoErrores(const adodb::Error& CodErr, const adodb::Variant& Botones = {}, const adodb::Variant& Rutina = {});
    /// The error log TratamientoErrores appends to: gLogErr, or "VLERR.LOG" where the program keeps its written files.
    QString RutaLogErrores() const;
    adodb::Variant ArchivoErrores() const { return adodb::Variant(gLogErr); }
    void setArchivoErrores(const adodb::Variant& v) { gLogErr = v.toString(); }

private:
    bool arrancando_ = false;
    QString ConstruyeCadena();
    void VerificaTablasRequeridas();
    void AvisaCarpetaDeRed();
    void AvisaSoloLectura();
    QStringList avisadasEnRed_;  // files the operator already heard about
    QStringList avisadasSoloLectura_;
    bool MuestraDialogoAcceso();
    void EjecutaLoteOracle(QString& lote, long& registros);
    static QString OmiteSentencia(const QString& sentencia);
    QString ReescribeLote(QString lote) const;
    long EjecutaReescrita(const QString& lote, adodb::Recordset* Lrcs, long registros);
    void EjecutaConsulta(QString& SentenciaSQL, long* RecordsAffected, adodb::Recordset* Lrcs, bool informa);
    bool ExisteEn(const QString& sql, const QString& privado, adodb::Recordset* Lrcs, bool SoloLectura);
};

/// The program's one data-access instance, created on first use.
DB_Dll& DB();
