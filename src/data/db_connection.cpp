#include "cadena_conexion.h"
#include "db_dll.h"
#include "errores.h"

#include "adodb/sqlite_mensajes.h"

#include "runtime/operador.h"
#include "runtime/protocolo.h"
#include "runtime/rtentorno.h"
#include "runtime/texto.h"

#include <QDateTime>
#include <QFileInfo>
#include <QObject>
#include <memory>

using adodb::AdoException;

DB_Dll::DB_Dll() = default;

DB_Dll& DB()
{
    static DB_Dll instancia;
    return instancia;
}

QString CadenaConexion(const DatosAcceso& datos, const QString& proveedor, const QString& extendido)
{
    // What the operator typed may hold ";" (a password, a file name): quoted,
    // it stays one value instead of ending it and adding keys of its own.
    const auto v = [](const QString& t) { return adodb::quoteConnectionValue(t); };
    if (datos.plataforma != 0)
        return QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + v(datos.baseDatos) + QStringLiteral(";User Id=") +
               v(datos.usuario) + QStringLiteral(";Password=") + v(datos.clave) + QStringLiteral(";");
    return QStringLiteral("PROVIDER=") + proveedor + QStringLiteral(";Server=") + v(datos.servidor) +
           QStringLiteral(";Database =") + v(datos.baseDatos) + QStringLiteral(";UId=") + v(datos.usuario) +
           QStringLiteral(";Pwd=") + v(datos.clave) + QStringLiteral(";") + extendido;
}

QString DB_Dll::ConstruyeCadena()
{
    // A "#" in the server's name is how the session marks an Oracle server.
    const DatosAcceso d{gDBName, gServidor, gUsuario, gUserPassWord, gServidor.contains(QLatin1Char('#')) ? 1 : 0};
    gConnString = CadenaConexion(d, pSQLOLEDB(), gExtended);
    return gConnString;
}

bool DB_Dll::MuestraDialogoAcceso()
{
    DatosAcceso d{gDBName, gServidor, gUsuario, gUserPassWord, 0};
    bool aceptar = false;
    if (DialogoAcceso) {
        aceptar = DialogoAcceso(d);
    } else {
        // No dialog installed: ask through the seam with a stand-in carrying the four values.
        QObject ventana;
        ventana.setObjectName(QStringLiteral("frmAcceso"));
        ventana.setProperty("baseDatos", d.baseDatos);
        ventana.setProperty("servidor", d.servidor);
        ventana.setProperty("usuario", d.usuario);
        ventana.setProperty("clave", d.clave);
        ventana.setProperty("plataforma", 0);
        aceptar = rt::operador().Modal(&ventana) == 1;
        d.baseDatos = ventana.property("baseDatos").toString();
        d.servidor = ventana.property("servidor").toString();
        d.usuario = ventana.property("usuario").toString();
        d.clave = ventana.property("clave").toString();
        d.plataforma = ventana.property("plataforma").toInt();
    }
    if (!aceptar) {
        gOpenFlag = false;
        return false;
    }
    gOpenFlag = true;
    gDBName = d.baseDatos;
    gServidor = d.servidor;
    gUsuario = d.usuario;
    gUserPassWord = d.clave;
    if (d.plataforma != 0) {
        gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
        if (!gServidor.contains(QLatin1Char('#'))) gServidor += QLatin1Char('#');
    } else {
        gProveedor = QStringLiteral("SQLOLEDB");
    }
    return true;
}

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, long lCursor, const QString& ConnString, bool ValidaAdmin, bool MuestraError)
{
    gOpenFlag = true;
    if (gProveedor.isEmpty()) gProveedor = QStringLiteral("SQLOLEDB");
    if (ConnString.trimmed().isEmpty())
        ConstruyeCadena();
    else
        gConnString = ConnString;
    if (PideParametrosSQL) {
        if (!MuestraDialogoAcceso()) return;
        ConstruyeCadena();
    }

    bool primerAbierto = true;  // the "already open" error is retried once after closing
    int paso = 6;
    while (paso <= 8) {
        try {
            if (paso == 6) {
                gCnn.CursorLocation = static_cast<int>(lCursor);
            } else if (paso == 7) {
                gCnn.Open(gConnString, QString(), QString());
                VerificaTablasRequeridas();
            } else {
                if (!ValidaAdmin) {
                    gEsAdmin = true;
                } else if (!gDBName.trimmed().isEmpty()) {
                    gCnn.SetDefaultDatabase(gDBName);
                    if (ExisteTablaDB(QStringLiteral("TA_USUARIOS"))) {
                        if (!MuestraError) {
                            gEsAdmin = true;
                        } else {
                            const adodb::Variant v =
                                DatosTabla(QStringLiteral("ta_usuarios"), gUsuario, QStringLiteral("Administrador"),
                                           QStringLiteral("nombre"), 8, QString(), true, false);
                            gEsAdmin = rt::Val(v.toString()) == 1;
                        }
                    }
                }
            }
            ++paso;
        } catch (const AdoException& ex) {
            const adodb::Error& e = ex.error();
            const bool abiertoOtraVez = e.Number == adodb::kErrObjectOpen && primerAbierto;
            if (!MuestraError || gCnn.Errors().Count() == 0) {
                if (abiertoOtraVez) {
                    primerAbierto = false;
                    adodb::Attempt([&] { gCnn.Close(); });
                    continue;
                }
                if (!MuestraError)
                    gOpenFlag = false;
                else
                    rt::operador().MsgBox(adodb::TextForOperator(e), rt::vbOKOnly, QString());
                return;
            }
            const adodb::Error& p = gCnn.Errors().Item(0);
            const QString cr = QStringLiteral("\r"), crlf = QStringLiteral("\r\n");
            const QString texto =
                QStringLiteral(" Estado de Sql: ") + p.SQLState + cr + QStringLiteral("Numero de Error: ") +
                QString::number(p.Number) + cr + QStringLiteral("Descripcion: ") + adodb::TextForOperator(p) + cr +
                QStringLiteral("Codigo Nativo: ") + QString::number(p.NativeError) + cr + crlf +
                QStringLiteral("Nombre de Proceso: ") + RtEntorno::NombreEjecutable() + cr + crlf + crlf +
                QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + crlf +
                QStringLiteral(
                    "2. Verifique el nombre del servidor, quizas necesite agregarle el nombre de la instancia, por ejemplo : ") +
                gServidor + QStringLiteral("\\ORBAKIT") + crlf +
                QStringLiteral("3. Verifique si el inicio de sesion para el usuario ") + gUsuario + QStringLiteral(" existe") +
                crlf + crlf + crlf + QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
            const int r =
                rt::operador().MsgBox(texto, rt::vbYesNo + rt::vbCritical, QStringLiteral(" Error de Conexion a Base de Datos"));
            // Whoever is called about a program that will not start finds the reason in the log.
            errores::AnotaError(RutaLogErrores(), QStringLiteral("OpenServerADODB"), p, r);
            if (r != rt::vbYes) {
                gOpenFlag = false;
                return;
            }
            gCnn.Errors().Clear();
            if (!MuestraDialogoAcceso()) return;
            ConstruyeCadena();
        }
    }
    AvisaCarpetaDeRed();
    AvisaSoloLectura();
}

// Saves are not refused on a network folder (one operator there is a real
// use), but an office sharing one file from several desks must learn that it
// needs a server.
void DB_Dll::AvisaCarpetaDeRed()
{
    if (!gOpenFlag || !gCnn.OnNetworkFolder()) return;
    const QString archivo = QFileInfo(gDBName).absoluteFilePath();
    if (avisadasEnRed_.contains(archivo)) return;
    avisadasEnRed_.append(archivo);
    const QString texto =
        QStringLiteral("La base de datos %1 está en una carpeta de red.\n\n"
                       "Un archivo de base de datos no debe compartirse entre varias computadoras: para trabajar "
                       "desde varias, use un servidor de base de datos (PostgreSQL o SQL Server), como explica el README.\n\n"
                       "En esta carpeta el programa graba sin registro de escritura anticipada, de a un guardado por vez.")
            .arg(archivo);
    const int r = rt::operador().MsgBox(texto, rt::vbOKOnly + rt::vbInformation, QStringLiteral("Aviso al operador..."));
    errores::AgregaLinea(RutaLogErrores(), errores::LineaLog(QDateTime::currentDateTime(), QStringLiteral("OpenServerADODB"), texto, r));
}

// Without it the operator fills a whole title and learns only at the save
// that nothing can be stored.
void DB_Dll::AvisaSoloLectura()
{
    if (!gOpenFlag || !gCnn.ReadOnly()) return;
    const QString archivo = QFileInfo(gDBName).absoluteFilePath();
    if (avisadasSoloLectura_.contains(archivo)) return;
    avisadasSoloLectura_.append(archivo);
    rt::operador().MsgBox(QStringLiteral("La base de datos %1 es de solo lectura para este usuario: puede consultarla, "
                                         "pero ningún cambio se podrá grabar.")
                              .arg(gDBName),
                          rt::vbOKOnly + rt::vbInformation, QStringLiteral("Aviso al operador..."));
}

QStringList DB_Dll::TablasFaltantes()
{
    QStringList faltan = TablasRequeridas;
    if (faltan.isEmpty()) return faltan;
    adodb::Recordset rs = gCnn.OpenSchema(adodb::adSchemaTables);
    for (; !rs.EOF_(); rs.MoveNext()) {
        const QString nombre = rs.Fields(QStringLiteral("TABLE_NAME")).Value().toString().trimmed();
        faltan.removeIf([&](const QString& t) { return rt::Iguales(t, nombre); });
        if (faltan.isEmpty()) break;
    }
    return faltan;
}

void DB_Dll::VerificaTablasRequeridas()
{
    const QStringList faltan = TablasFaltantes();
    if (faltan.isEmpty()) return;
    // The database answered but is not the suite's (another application's
    // file, an empty one, the wrong catalog): treat it as a failed connection,
    // closed before anything is written to it.
    const adodb::Error e{
        adodb::kErrNoTable,
        QStringLiteral("La base de datos %1 no es una base de datos del sistema contable: le falta%2 %3.")
            .arg(gDBName, faltan.size() > 1 ? QStringLiteral("n") : QString(), faltan.join(QStringLiteral(", "))),
        QStringLiteral("DB_Dll"), QStringLiteral("42S02"), 0};
    adodb::Attempt([&] { gCnn.Close(); });
    gCnn.Errors().Clear();
    gCnn.Errors().Add(e);
    throw AdoException(e);
}

void DB_Dll::ReintentaConectar()
{
    gOpenFlag = false;
    rt::Protocolo p([this](const adodb::Error& e) {
        if (e.Number == adodb::kErrObjectClosed) return 5;  // closing a closed connection is fine
        if (e.Number == adodb::kErrUnspecified) return 3;   // the server is still unreachable: give up quietly
        return TratamientoErrores(e, {}, QStringLiteral("AbrirRecordset"));
    });
    p.paso([&] { gCnn.CommandTimeout = 5; });
    p.paso([&] { gCnn.Close(); });
    p.paso([&] { gCnn.Open(gCnn.ConnectionString, gUsuario, gUserPassWord); });
    // An ignored failure must not pass for a restored connection.
    if (!p.abortado()) gOpenFlag = gCnn.State() == adodb::adStateOpen;
}

int DB_Dll::ReintentoConEnlace(const adodb::Error& e, const std::function<int(const adodb::Error&)>& informe, bool* silencio)
{
    const bool perdido = adodb::IsLinkLost(e);
    if (perdido && silencio && *silencio) {
        *silencio = false;
        ReintentaConectar();
        if (gOpenFlag) return rt::vbRetry;
    }
    for (;;) {
        const int r = informe(e);
        // Repeating a statement on a dead link only meets the same failure.
        if (r != rt::vbRetry || !perdido) return r;
        ReintentaConectar();
        if (gOpenFlag) return r;
    }
}

void DB_Dll::OpenLocalADODB(const QString& ConnString, const QString& CadenaID, const QString& CadenaPWD)
{
    auto pideArchivo = [this]() {
        bool cancelado = false;
        const QString f = rt::operador().AbreArchivo(QStringLiteral("Buscar Base de Datos"),
                                                     QStringLiteral("Base de Datos de Microsoft Access |*.MDB"), &cancelado);
        if (cancelado) return false;
        gDBName = f;
        return true;
    };
    QString extra;
    for (;;) {
        if (gDBName.trimmed().isEmpty() && !pideArchivo()) return;
        const QString cadena = !ConnString.isEmpty()
                                   ? ConnString + extra
                                   : QStringLiteral("PROVIDER=") + gProveedor + QStringLiteral(";") +
                                         QStringLiteral("Data Source =") + gDBName + QStringLiteral(";") + CadenaID +
                                         QStringLiteral("=") + gUsuario + QStringLiteral(";") + CadenaPWD + QStringLiteral("=") +
                                         gUserPassWord + QStringLiteral(";") + gExtended + extra;
        try {
            gCnn.Open(cadena, QString(), QString());
            gConnString = cadena;
            return;
        } catch (const AdoException& ex) {
            if (gCnn.Errors().Count() > 0) {
                const QString estado = gCnn.Errors().Item(0).SQLState;
                if (estado == QLatin1String("3024") || estado == QLatin1String("3044") || estado == QLatin1String("3051") ||
                    estado == QLatin1String("08001")) {
                    if (!pideArchivo()) return;
                    continue;
                }
                if (estado == QLatin1String("3031")) {
                    QString clave;
                    if (gIgnoraPassWord.toBool()) {
                        clave = gUserPassWord;
                    } else {
                        bool cancelado = false;
                        clave = rt::operador().InputBox(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"),
                                                        QString(), &cancelado);
                    }
                    extra += QStringLiteral("Jet OLEDB:Database Password=") + clave + QStringLiteral(";");
                    continue;
                }
            }
            rt::operador().MsgBox(QString::number(ex.error().Number) + QStringLiteral("  ") +
                                      adodb::TextForOperator(ex.error()),
                                  rt::vbCritical, QString());
            return;
        }
    }
}
