// The data layer on a real server: the lost-connection protocol, the
// connection error box, and what the operator and the error log get.
#include "../aplicacion.h"
#include "../control.h"
#include "../sesion_db.h"
#include "../teclado.h"
#include "access_dialog/bases_txt.h"
#include "access_dialog/frmacceso.h"
#include "servidor_pg.h"
#include "session/cnstuff.h"

#include "adodb/odbc_engine_p.h"
#include "adodb/sqlite_mensajes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using adodb::Recordset;

namespace {

// A loopback port with nothing listening.
int PuertoCerrado()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    ::close(s);
    return ntohs(a.sin_port);
}

// Answers the lost-connection box after running `antes` (e.g. bringing the server back).
class OperadorConAccion : public rt::OperadorGuionado {
public:
    std::function<void(const QString&)> antes;
    int MsgBox(const QString& texto, int botones, const QString& titulo) override
    {
        if (antes) antes(texto);
        return OperadorGuionado::MsgBox(texto, botones, titulo);
    }
};

}  // namespace

class SesionPg : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        servidor = ServidorPg::Compartido();
        if (!servidor) GTEST_SKIP() << "PostgreSQL no disponible";
        if (!servidor->Activo()) {
            ASSERT_TRUE(servidor->Reanuda()) << qPrintable(servidor->error());
        }
        static int n = 0;
        base = QStringLiteral("sesion%1").arg(++n);
        ASSERT_TRUE(servidor->CreaBase(base)) << qPrintable(servidor->error());
        ASSERT_TRUE(
            servidor->Psql(base, QStringLiteral("CREATE TABLE ta_titcopiadores (codigo varchar(4) COLLATE ci PRIMARY KEY, "
                                                "descripcion varchar(50) COLLATE ci); "
                                                "INSERT INTO ta_titcopiadores VALUES ('   1', 'Ventas'), ('   2', 'Compras')")));
        DB_Dll& db = DB();
        db.gServidor = QStringLiteral("pg:127.0.0.1,%1").arg(servidor->Puerto());
        db.gDBName = base;
        db.gUsuario = QString::fromLatin1(ServidorPg::kUsuario);
        db.gUserPassWord = QString::fromLatin1(ServidorPg::kClave);
        db.gLogErr = dir.filePath(QStringLiteral("VLERR.LOG"));
    }
    void TearDown() override
    {
        rt::fijaOperador(nullptr);
        SesionDb::TearDown();
        if (servidor && !servidor->Activo()) servidor->Reanuda();
    }
    long filas(const QString& sql)
    {
        Recordset rs;
        DB().AbrirRecordset(sql, rs);
        return rs.State() ? rs.RecordCount() : -1;
    }

    ServidorPg* servidor = nullptr;
    QString base;
};

TEST_F(SesionPg, AServerPrefixConnectsThroughTheSuitesOwnTemplate)
{
    conecta();
    EXPECT_TRUE(DB().gConnString.startsWith(QStringLiteral("PROVIDER=SQLOLEDB;Server=pg:127.0.0.1,")));
    EXPECT_EQ(DB().gCnn.DbmsName(), QStringLiteral("PostgreSQL"));
    EXPECT_EQ(filas(QStringLiteral("SELECT TOP 1 * FROM TA_TITCOPIADORES with(nolock) WHERE CODIGO = '   1 '")), 1);
    EXPECT_TRUE(guion.op.preguntas.empty());
}

TEST_F(SesionPg, TheSuitesCommandLineReachesPostgresWithTheIniExtras)
{
    QFile ini(dir.filePath(QStringLiteral("CN000p.INI")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Conexion]\r\nExtendido=SSLmode=disable;\r\n");
    ini.close();
    DB().gOpenFlag = false;
    const QString linea = QStringLiteral("\"@Server=%1;\" \"@DbName=%2;\" \"@Usuario=%3;\" \"@Password=%4;\"")
                              .arg(DB().gServidor, base, DB().gUsuario, DB().gUserPassWord);
    DB().gServidor.clear();
    EXPECT_TRUE(CNStuffContable::InicioSistema(linea));
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_TRUE(DB().gConnString.endsWith(QStringLiteral(";SSLmode=disable;"))) << qPrintable(DB().gConnString);
    EXPECT_EQ(filas(QStringLiteral("SELECT * FROM TA_TITCOPIADORES")), 2);
    DB().gExtended.clear();
}

TEST_F(SesionPg, ATerminatedBackendIsRepairedSilently)
{
    conecta();
    ASSERT_EQ(filas(QStringLiteral("SELECT * FROM ta_titcopiadores")), 2);
    ASSERT_TRUE(servidor->TerminaSesiones(base));
    EXPECT_EQ(filas(QStringLiteral("SELECT * FROM ta_titcopiadores")), 2);
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_TRUE(guion.op.preguntas.empty()) << qPrintable(guion.op.mensajes().join(u'|'));
    EXPECT_FALSE(QFile::exists(DB().gLogErr));
}

TEST_F(SesionPg, AStoppedServerAsksAndYesReconnectsOnceItIsBack)
{
    OperadorConAccion op;
    rt::fijaOperador(&op);
    int cajas = 0;
    op.antes = [&](const QString& texto) {
        // The first time the operator says Yes too early; the second time the server is back.
        if (texto.contains(QStringLiteral("Se perdio la conexion")) && ++cajas == 2) servidor->Reanuda();
    };
    op.respuestas = {rt::vbYes, rt::vbYes};
    conecta();
    servidor->Detiene();
    EXPECT_EQ(filas(QStringLiteral("SELECT * FROM ta_titcopiadores")), 2);
    ASSERT_EQ(op.preguntas.size(), 2u);
    const QString crlf = QStringLiteral("\r\n");
    EXPECT_EQ(op.preguntas[0].texto, crlf + crlf + crlf + QStringLiteral("Se perdio la conexion con la base de datos ") + base +
                                         crlf + QStringLiteral(" Servidor ") + DB().gServidor + crlf + crlf +
                                         QStringLiteral("Elija SI para reintentar conectarse") + crlf +
                                         QStringLiteral("Elija NO para cerrar la aplicacion") + crlf + crlf + crlf);
    EXPECT_EQ(op.preguntas[0].titulo, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_EQ(op.preguntas[0].botones, rt::vbYesNo + rt::vbCritical);
    EXPECT_TRUE(DB().gOpenFlag);
}

TEST_F(SesionPg, AStoppedServerAndNoEndsTheProgram)
{
    conecta();
    servidor->Detiene();
    guion.op.respuestas = {rt::vbNo};
    try {
        filas(QStringLiteral("SELECT * FROM ta_titcopiadores"));
        FAIL() << "the program went on";
    } catch (const ProgramaTerminado& fin) {
        EXPECT_EQ(fin.codigo, 0);
    }
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_TRUE(guion.op.preguntas[0].texto.contains(QStringLiteral("Se perdio la conexion con la base de datos ") + base));
}

TEST_F(SesionPg, AWrongPasswordShowsTheDriversStateAndNativeCode)
{
    DB().gUserPassWord = QStringLiteral("equivocada");
    guion.op.respuestas = {rt::vbNo};
    DB().OpenServerADODB();
    EXPECT_FALSE(DB().gOpenFlag);
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    const auto& caja = guion.op.preguntas[0];
    EXPECT_EQ(caja.titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(caja.botones, rt::vbYesNo + rt::vbCritical);
    // psqlODBC reports the server's 28P01 as its own 08001, with the server's text.
    EXPECT_TRUE(caja.texto.startsWith(QStringLiteral(" Estado de Sql: 08001\r"))) << qPrintable(caja.texto);
    EXPECT_TRUE(caja.texto.contains(QStringLiteral("password authentication failed"))) << qPrintable(caja.texto);
    EXPECT_TRUE(caja.texto.contains(QRegularExpression(QStringLiteral("\rCodigo Nativo: \\d+\r")))) << qPrintable(caja.texto);
    EXPECT_EQ(DB().gCnn.State(), adodb::adStateClosed);
}

TEST_F(SesionPg, AMultiLineDriverMessageIsOneLogLine)
{
    conecta();
    guion.op.respuestas = {rt::vbIgnore};
    EXPECT_EQ(filas(QStringLiteral("SELECT * FROM no_existe")), -1);
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    const QString caja = guion.op.preguntas[0].texto;
    ASSERT_TRUE(caja.contains(u'\n')) << "psqlODBC's message has a line break: " << qPrintable(caja);
    const QStringList lineas = lineasLog(DB().gLogErr);
    ASSERT_EQ(lineas.size(), 1);
    EXPECT_FALSE(lineas[0].contains(u'\n') || lineas[0].contains(u'\r'));
    EXPECT_TRUE(lineas[0].contains(QStringLiteral("no_existe"))) << qPrintable(lineas[0]);
    EXPECT_TRUE(lineas[0].endsWith(QStringLiteral(" Respondió : Ignorar")));
}

TEST_F(SesionPg, TextWithNulIsRefusedWithAReasonAndNothingIsWritten)
{
    conecta();
    Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM ta_titcopiadores"), rs, nullptr, adodb::adOpenKeyset,
                        adodb::adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("codigo")).setValue(QStringLiteral("   9"));
    rs.Fields(QStringLiteral("descripcion")).setValue(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    try {
        rs.Update();
        FAIL() << "text cut at the NUL was stored";
    } catch (const adodb::AdoException& e) {
        EXPECT_TRUE(e.error().Description.contains(QStringLiteral("carácter nulo")));
    }
    EXPECT_EQ(filas(QStringLiteral("SELECT * FROM ta_titcopiadores WHERE codigo = '   9'")), 0);
}

// ---------------------------------------------------------------------------
// SQL Server through FreeTDS, where nothing listens.

TEST_F(SesionDb, FreeTdsOnAClosedPortAnswersAtOnceWithItsOwnReason)
{
    DB().gServidor = QStringLiteral("127.0.0.1,%1").arg(PuertoCerrado());
    DB().gDBName = QStringLiteral("CONTABLE");
    DB().gUsuario = QStringLiteral("sa");
    DB().gUserPassWord = QStringLiteral("x");
    guion.op.respuestas = {rt::vbNo};
    QElapsedTimer reloj;
    reloj.start();
    DB().OpenServerADODB();
    const qint64 ms = reloj.elapsed();
    if (guion.op.preguntas.size() == 1 && guion.op.preguntas[0].texto.contains(QStringLiteral("IM002")))
        GTEST_SKIP() << "FreeTDS no instalado";
    EXPECT_LT(ms, 1000);
    EXPECT_FALSE(DB().gOpenFlag);
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    const QString texto = guion.op.preguntas[0].texto;
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    // The first record is the driver's reason, not the generic "Unable to connect to data source".
    const QString descripcion = texto.section(QStringLiteral("Descripcion: "), 1).section(u'\r', 0, 0);
    EXPECT_FALSE(descripcion.contains(QStringLiteral("Unable to connect to data source"))) << qPrintable(texto);
    EXPECT_FALSE(descripcion.isEmpty());
}

TEST_F(SesionDb, FreeTdsOnAnUnknownHostNamesTheHostFirst)
{
    DB().gServidor = QStringLiteral("servidor-inexistente.invalid");
    DB().gDBName = QStringLiteral("CONTABLE");
    guion.op.respuestas = {rt::vbNo};
    DB().OpenServerADODB();
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    const QString texto = guion.op.preguntas[0].texto;
    if (texto.contains(QStringLiteral("IM002"))) GTEST_SKIP() << "FreeTDS no instalado";
    // FreeTDS gives the reason only as an informational record after its generic errors.
    EXPECT_TRUE(texto.contains(QStringLiteral("\rDescripcion: Unknown host machine name. Unable to connect")))
        << qPrintable(texto);
    EXPECT_TRUE(texto.startsWith(QStringLiteral(" Estado de Sql: 08"))) << qPrintable(texto);
    EXPECT_GE(DB().gCnn.Errors().Count(), 2);
}

// ---------------------------------------------------------------------------
// The embedded engine's messages, as the operator and the log get them.

TEST_F(SesionDb, EmbeddedEngineMessagesAreSpanishInTheBoxAndOriginalInTheLog)
{
    prepara(QStringLiteral("CREATE TABLE T (ID int PRIMARY KEY, N varchar(10) NOT NULL)"));
    conecta();
    DB().gLogErr = dir.filePath(QStringLiteral("VLERR.LOG"));
    guion.op.respuestas = {rt::vbIgnore, rt::vbIgnore, rt::vbIgnore};
    Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM NO_HAY"), rs);
    DB().AbrirRecordset(QStringLiteral("SELECT COLUMNA_RARA FROM T"), rs);
    DB().EjecutaConsultaSQL(QStringLiteral("INSERT INTO T VALUES (1, 'a')"));
    DB().gCnn.Errors().Clear();
    try {
        DB().gCnn.Execute(QStringLiteral("INSERT INTO T VALUES (1, 'b')"));
    } catch (const adodb::AdoException& e) {
        DB().TratamientoErrores(e.error(), {}, QStringLiteral("Prueba"));
    }
    const QStringList cajas = guion.op.mensajes();
    ASSERT_EQ(cajas.size(), 3);
    EXPECT_TRUE(cajas[0].endsWith(QStringLiteral(") No existe la tabla NO_HAY."))) << qPrintable(cajas[0]);
    EXPECT_TRUE(cajas[1].endsWith(QStringLiteral(") No existe la columna COLUMNA_RARA."))) << qPrintable(cajas[1]);
    EXPECT_TRUE(cajas[2].endsWith(QStringLiteral(") Ya existe un registro con la misma clave (T.ID)."))) << qPrintable(cajas[2]);
    const QStringList log = lineasLog(DB().gLogErr);
    ASSERT_EQ(log.size(), 3);
    EXPECT_TRUE(log[0].contains(QStringLiteral("No existe la tabla NO_HAY. [SQLite: no such table: NO_HAY]")))
        << qPrintable(log[0]);
    EXPECT_TRUE(log[2].contains(QStringLiteral("[SQLite: UNIQUE constraint failed: T.ID]"))) << qPrintable(log[2]);
}

TEST_F(SesionDb, AFileThatIsNotADatabaseIsToldInSpanishInTheConnectionBox)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    guion.op.respuestas = {rt::vbNo};
    DB().OpenServerADODB();
    EXPECT_FALSE(DB().gOpenFlag);
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_TRUE(guion.op.preguntas[0].texto.contains(QStringLiteral("\rDescripcion: El archivo no es una base de datos.\r")))
        << qPrintable(guion.op.preguntas[0].texto);
}

TEST(TextForOperator, EveryConditionAnOperatorMeets)
{
    auto texto = [](int codigo, const char* mensaje) {
        return adodb::TextForOperator(adodb::Error{adodb::kErrUnspecified, QString::fromUtf8(mensaje), QStringLiteral("SQLite"),
                                                     QStringLiteral("HY000"), codigo});
    };
    EXPECT_EQ(texto(5, "database is locked"),
              QStringLiteral("La base de datos está bloqueada por otro usuario. Reintente en unos instantes."));
    EXPECT_EQ(texto(6 | (1 << 8), "database table is locked"), texto(5, "x"));
    EXPECT_EQ(texto(8, "attempt to write a readonly database"),
              QStringLiteral("La base de datos es de sólo lectura: no se pueden guardar cambios."));
    EXPECT_EQ(texto(26, "file is not a database"), QStringLiteral("El archivo no es una base de datos."));
    EXPECT_EQ(texto(13, "database or disk is full"), QStringLiteral("El disco está lleno: no se pudieron guardar los cambios."));
    EXPECT_EQ(texto(19 | (5 << 8), "NOT NULL constraint failed: T.N"), QStringLiteral("Falta un dato obligatorio (T.N)."));
    // Not every message has a translation, and other engines keep their own.
    EXPECT_EQ(texto(1, "near \"SELEC\": syntax error"), QStringLiteral("near \"SELEC\": syntax error"));
    EXPECT_EQ(
        adodb::TextForOperator(adodb::Error{1, QStringLiteral("database is locked"), QStringLiteral("PostgreSQL"), {}, 5}),
        QStringLiteral("database is locked"));
}

TEST_F(SesionDb, ALockedAndAReadOnlyDatabaseAreToldInSpanish)
{
    prepara(QStringLiteral("CREATE TABLE T (ID int PRIMARY KEY)"));
    conecta();
    // Another program holds the write lock.
    adodb::Connection otro;
    otro.ConnectionTimeout = 1;
    otro.Open(CadenaDeArchivo(path));
    otro.BeginTrans();
    otro.Execute(QStringLiteral("INSERT INTO T VALUES (1)"));
    DB().gCnn.Close();
    DB().gCnn.ConnectionTimeout = 1;
    DB().gCnn.Open(DB().gConnString);
    try {
        DB().gCnn.Execute(QStringLiteral("INSERT INTO T VALUES (2)"));
        FAIL();
    } catch (const adodb::AdoException& e) {
        EXPECT_EQ(adodb::TextForOperator(e.error()),
                  QStringLiteral("La base de datos está bloqueada por otro usuario. Reintente en unos instantes."));
    }
    otro.RollbackTrans();
    otro.Close();
    DB().gCnn.Close();
    DB().gCnn.ConnectionTimeout = 15;
}

// The access dialog registering a PostgreSQL connection on a port of its own,
// and the operator picking it back to connect.
TEST_F(SesionPg, ARegisteredPostgresConnectionKeepsItsPortAndConnects)
{
    aplicacion();
    frmAcceso::Instala();
    const QString puerto = QString::number(servidor->Puerto());
    const auto caja = [](const QWidget* f, const char* nombre) { return ControlDe<QLineEdit>(f, QString::fromLatin1(nombre)); };
    const auto escribe = [](QLineEdit* c, const QString& texto) {
        teclado::Clic(c);
        teclado::Pulsa(Qt::Key_A, Qt::ControlModifier);
        teclado::Teclea(texto);
    };
    guion.op.alModal = [&](QObject* o) {
        auto* f = qobject_cast<frmAcceso*>(o);
        EXPECT_TRUE(teclado::Muestra(*f));
        escribe(caja(f, "TxtServidor"), QStringLiteral("pg:127.0.0.1"));
        escribe(caja(f, "TxtDbName"), base);
        escribe(caja(f, "TxtUserId"), QString::fromLatin1(ServidorPg::kUsuario));
        escribe(caja(f, "TxtUserPassword"), QString::fromLatin1(ServidorPg::kClave));
        escribe(caja(f, "TxtPuerto"), puerto);
        guion.op.preguntas.clear();  // the error box of the start
        teclado::Clic(ControlDe<QPushButton>(f, QStringLiteral("CmdRegistrar")));
        EXPECT_TRUE(guion.op.mensajes().isEmpty()) << qPrintable(guion.op.mensajes().join(u'|'));

        // Another connection typed over it, then the registered one picked back.
        escribe(caja(f, "TxtServidor"), QStringLiteral("srv09"));
        escribe(caja(f, "TxtPuerto"), QStringLiteral("1433"));
        auto* lista = ControlDe<QListWidget>(f, QStringLiteral("lstBases"));
        EXPECT_EQ(lista->count(), 1);
        teclado::Clic(lista->viewport(), Qt::LeftButton, lista->visualItemRect(lista->item(0)).center());
        EXPECT_EQ(caja(f, "TxtServidor")->text(), QStringLiteral("pg:127.0.0.1"));
        EXPECT_EQ(caja(f, "TxtPuerto")->text(), puerto);
        EXPECT_EQ(caja(f, "TxtDbName")->text(), base);
        escribe(caja(f, "TxtUserPassword"), QString::fromLatin1(ServidorPg::kClave));
        teclado::Pulsa(Qt::Key_Return);
        EXPECT_TRUE(f->Aceptar()) << qPrintable(guion.op.mensajes().join(u'|'));
        return f->Aceptar() ? 1 : 0;
    };
    DB().gServidor.clear();
    DB().gDBName.clear();
    DB().gUsuario.clear();
    DB().gUserPassWord.clear();
    guion.op.respuestas = {rt::vbYes};  // the error box of the empty start brings the dialog
    DB().OpenServerADODB();
    ASSERT_TRUE(DB().gOpenFlag) << qPrintable(guion.op.mensajes().join(u'|'));
    EXPECT_EQ(DB().gServidor, QStringLiteral("pg:127.0.0.1,") + puerto);
    EXPECT_EQ(DB().gUsuario, QString::fromLatin1(ServidorPg::kUsuario));
    EXPECT_EQ(filas(QStringLiteral("SELECT * FROM ta_titcopiadores")), 2);

    const QList<BasesTxt::Conexion> registradas = BasesTxt::Lee(dir.filePath(QStringLiteral("BASES.TXT")));
    ASSERT_EQ(registradas.size(), 1);
    EXPECT_EQ(registradas[0].servidor, QStringLiteral("pg:127.0.0.1:") + puerto);
    EXPECT_EQ(registradas[0].nombre, base.toUpper() + QStringLiteral(" / PG:127.0.0.1"));
}
