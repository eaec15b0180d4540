#include "../hostiles.h"
#include "../sesion_db.h"

#include "adodb/recordset.h"
#include "session/cndll.h"
#include "session/cnstuff.h"

using namespace CNStuffContable;

TEST(LineaDeComandos, KeysAreFoundAnywhereAndValuesEndAtTheSemicolon)
{
    const QString l = QStringLiteral("@server =SRV01 ; @DbName=CONTA;@Usuario= juan;@Password=a=b;c;");
    EXPECT_EQ(ValorClave(l, QStringLiteral("@Server")), QStringLiteral("SRV01"));
    EXPECT_EQ(ValorClave(l, QStringLiteral("@DbName")), QStringLiteral("CONTA"));
    EXPECT_EQ(ValorClave(l, QStringLiteral("@Usuario")), QStringLiteral("juan"));
    EXPECT_EQ(ValorClave(l, QStringLiteral("@Password")), QStringLiteral("ab")) << "'=' dropped, cut at ';'";
    EXPECT_EQ(ValorClave(QStringLiteral("@Usuario=x; @Password=sincierre"), QStringLiteral("@Password")), QString());
    EXPECT_EQ(ValorClave(l, QStringLiteral("@Caja")), QString());
    EXPECT_EQ(ValorClave(QStringLiteral("@UsuarioLogeado=pepe; @Usuario=juan;"), QStringLiteral("@Usuario")),
              QStringLiteral("Logeadopepe"));

    DB().gServidor = QStringLiteral("SRV\\INST");
    DB().gDBName = QStringLiteral("CONTA");
    DB().gUsuario = QStringLiteral("juan");
    DB().gUserPassWord = QStringLiteral("clave");
    const QString m = LineaComandosModulo(QStringLiteral("1"));
    EXPECT_EQ(
        m, QStringLiteral(" ; @server=SRV\\INST; @dbname=CONTA; @usuario=juan; @Password=clave; @ParametroAdicional=1; orba@ ;"));
    EXPECT_EQ(ValorClave(m, QStringLiteral("@Server")), DB().gServidor);
    EXPECT_EQ(ValorClave(m, QStringLiteral("@DbName")), DB().gDBName);
    EXPECT_EQ(ValorClave(m, QStringLiteral("@Usuario")), DB().gUsuario);
    EXPECT_EQ(ValorClave(m, QStringLiteral("@Password")), DB().gUserPassWord);
}

class Sesion : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        prepara(QStringLiteral(
            "CREATE TABLE TA_CONFIGURACION (CLAVE varchar(50) COLLATE CI PRIMARY KEY, VALOR varchar(255), VALORAUX varchar(255));"
            "INSERT INTO TA_CONFIGURACION VALUES "
            "('DIGITOS_CAPITULO','1','aux'),('DIGITOS_SUBCAPITULO','1',NULL),('DIGITOS_RUBRO','2',NULL),"
            "('DIGITOS_SUBRUBRO','2',NULL),('DIGITOS_CUENTA','2',NULL),('DIGITOS_SUBCUENTA','3',NULL),('NOMBRE','Empresa',NULL),"
            "('ESCRIBE_SOLO_MAYUSCULAS','si',NULL),('[FECHA DESDE]','01/01/2026',NULL);"
            "CREATE TABLE MA_CUENTAS (Codigo varchar(15) COLLATE CI PRIMARY KEY, CodigoOpcional varchar(15) COLLATE CI, "
            "DESCRIPCION varchar(60));"
            "INSERT INTO MA_CUENTAS VALUES ('11010101001','CAJA','Caja'),('11010101002',NULL,'Banco');"
            "CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(50), DESDE "
            "varchar(15), HASTA varchar(15), TC varchar(255));"
            "INSERT INTO TA_TITCOPIADORES VALUES ('   1','Caja','11010101001','11010101099',''),('   "
            "2','Ventas','41010101001','41010101099','');"
            "CREATE TABLE TA_TAREAS (USUARIO varchar(30) COLLATE CI, TAREA varchar(10));"
            "CREATE TABLE TA_MENU (Clave varchar(10), Proceso varchar(255), Nombre varchar(60));"
            "INSERT INTO TA_TAREAS VALUES ('Juan','CN020'),('Juan','CN040');"
            "INSERT INTO TA_MENU VALUES ('CN020','RP_CN030.EXE;session_tests.exe','Titulos Copiadores'),('CN040','otro','Otra');"
            "CREATE TABLE Control_Acceso (ID integer PRIMARY KEY AUTOINCREMENT, Maquina varchar(50), Usuario varchar(50), "
            "Formulario varchar(50),"
            " Tarea varchar(60), Ingreso varchar(20), NombreUsuario varchar(30));"));
        conecta();
    }
};

TEST_F(Sesion, ConfigurationValuesAndTheAccountStructure)
{
    QString aux;
    EXPECT_EQ(Cfg(QStringLiteral(" NOMBRE "), &aux), QStringLiteral("Empresa"));
    EXPECT_EQ(Cfg(QStringLiteral("NO_EXISTE"), &aux), QStringLiteral(" "));
    EXPECT_TRUE(aux.isEmpty());
    EXPECT_EQ(Cfg(QStringLiteral("digitos_capitulo"), &aux), QStringLiteral("1"));
    EXPECT_EQ(aux, QStringLiteral("aux"));
    EXPECT_EQ(Cfg(QStringLiteral("[fecha desde]")), QStringLiteral("01/01/2026"));
    EXPECT_TRUE(DB().UltimaSentencia.endsWith(QStringLiteral("WHERE CLAVE = '[FECHA DESDE]'")));
    CNDLL cn;
    EXPECT_EQ(cn.Cfg(QStringLiteral("NOMBRE")), QStringLiteral("Empresa"));
    EXPECT_EQ(cn.Cfg(QStringLiteral(" NOMBRE")), QStringLiteral(" ")) << "the service library does not trim the key";

    CargaDigitos();
    CargaTotalDigitos();
    EXPECT_EQ(D_Total, 11);
    EXPECT_EQ(TD_Capitulo, 1);
    EXPECT_EQ(TD_SubCapitulo, 2);
    EXPECT_EQ(TD_Rubro, 4);
    EXPECT_EQ(TD_SubRubro, 6);
    EXPECT_EQ(TD_Cuenta, 8);
    EXPECT_EQ(TD_Total, 11);

    DB().EjecutaConsultaSQL(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '40000' WHERE CLAVE = 'DIGITOS_RUBRO'"));
    CargaDigitos();
    CargaTotalDigitos();
    EXPECT_EQ(D_Total, 0) << "digits that do not fit 16 bits give a zero structure";
    EXPECT_EQ(TD_Total, 0);
    EXPECT_EQ(guion.op.preguntas.size(), 2u);

    DB().EjecutaConsultaSQL(QStringLiteral("DELETE FROM TA_CONFIGURACION"));
    CargaDigitos();
    CargaTotalDigitos();
    EXPECT_EQ(TD_Total, 0);
}

// Each statement is a round trip on a server: keys a routine reads together
// cost one, and are read anew each time the routine runs.
TEST_F(Sesion, KeysReadTogetherCostOneStatementAndAreReadAgainEachTime)
{
    QStringList idas;
    DB().gCnn.OnRequest = [&](const QString& s) { idas << s; };
    CargaEstructura();
    EXPECT_EQ(idas.size(), 1) << qPrintable(idas.join(u" | "));
    EXPECT_EQ(D_Total, 11);
    EXPECT_EQ(TD_Total, 11);

    // Another program changes a key: the next run sees it.
    {
        adodb::Connection otro;
        otro.Open(CadenaDeArchivo(path));
        otro.Execute(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '3' WHERE CLAVE = 'DIGITOS_CAPITULO'"));
    }
    idas.clear();
    CargaDigitos();
    EXPECT_EQ(idas.size(), 1);
    EXPECT_EQ(D_Total, 13);

    {
        const ClavesLeidas claves({QStringLiteral("NOMBRE"), QStringLiteral("NO_EXISTE"), QStringLiteral(" digitos_cuenta ")});
        idas.clear();
        QString aux = QStringLiteral("x");
        EXPECT_EQ(Cfg(QStringLiteral(" nombre ")), QStringLiteral("Empresa"));
        EXPECT_EQ(Cfg(QStringLiteral("NO_EXISTE"), &aux), QStringLiteral(" ")) << "a missing key still reads as one blank";
        EXPECT_TRUE(aux.isEmpty());
        EXPECT_EQ(Cfg(QStringLiteral("DIGITOS_CUENTA")), QStringLiteral("2"));
        CNDLL cn;  // its six keys in one statement of its own
        EXPECT_EQ(cn.Cfg(QStringLiteral("NOMBRE")), QStringLiteral("Empresa"));
        EXPECT_EQ(cn.Cfg(QStringLiteral(" NOMBRE")), QStringLiteral(" ")) << "untrimmed, as the service library looks for it";
        EXPECT_EQ(idas.size(), 2) << qPrintable(idas.join(u" | "));
        EXPECT_EQ(Cfg(QStringLiteral("[fecha desde]")), QStringLiteral("01/01/2026")) << "a key not read together";
        EXPECT_EQ(idas.size(), 3);
    }
    idas.clear();
    EXPECT_EQ(Cfg(QStringLiteral("NOMBRE")), QStringLiteral("Empresa"));
    EXPECT_EQ(idas.size(), 1) << "once the routine is over, each read goes to the table";
    DB().gCnn.OnRequest = nullptr;
}

TEST_F(Sesion, OneActionChecksBothEndsOfARangeOnOneReadOfTheTitles)
{
    CNDLL cn;
    int lecturas = 0;
    DB().gCnn.OnRequest = [&](const QString& s) {
        lecturas += s.startsWith(QStringLiteral("SELECT")) && s.contains(QStringLiteral("TA_TITCOPIADORES"));
    };
    {
        const CNDLL::UnaLectura una;
        EXPECT_TRUE(cn.ValidaRango(QStringLiteral("11010101001"), QString())) << "found on the first title";
        EXPECT_TRUE(cn.ValidaRango(QStringLiteral("41010101050"), QStringLiteral("1"))) << "a later title, from the same read";
        EXPECT_FALSE(cn.ValidaRango(QStringLiteral("11010101050"), QStringLiteral(" 1 ")));
        EXPECT_EQ(lecturas, 1);
    }
    DB().EjecutaConsultaSQL(QStringLiteral("INSERT INTO TA_TITCOPIADORES VALUES ('   3','Otro','61010101001','61010101099','')"));
    EXPECT_TRUE(cn.ValidaRango(QStringLiteral("61010101005"), QString())) << "the next action reads the table again";
    EXPECT_TRUE(cn.ValidaRango(QStringLiteral("61010101005"), QString()));
    EXPECT_EQ(lecturas, 3);
    DB().gCnn.OnRequest = nullptr;
}

TEST_F(Sesion, AccountsAreFoundByCodeOrOptionalCode)
{
    QString codigo = QStringLiteral("caja");
    EXPECT_TRUE(BuscaCuenta(codigo, nullptr, true));
    EXPECT_EQ(codigo, QStringLiteral("11010101001"));
    codigo = QStringLiteral("11010101002");
    bool opcional = false;
    EXPECT_TRUE(BuscaCuenta(codigo, nullptr, true, &opcional));
    EXPECT_FALSE(opcional);
    codigo = QStringLiteral("999");
    EXPECT_FALSE(BuscaCuenta(codigo, nullptr, true));
    EXPECT_EQ(codigo, QStringLiteral("999"));
}

TEST_F(Sesion, RangeCheckSkipsTheTitleBeingEdited)
{
    CNDLL cn;
    EXPECT_TRUE(cn.ValidaRango(QStringLiteral("11010101099"), QStringLiteral("2"))) << "ends are included";
    EXPECT_TRUE(cn.ValidaRango(QStringLiteral("11010101001"), QString()));
    EXPECT_FALSE(cn.ValidaRango(QStringLiteral("11010101050"), QStringLiteral(" 1 "))) << "inside only its own range";
    EXPECT_FALSE(cn.ValidaRango(QStringLiteral("3"), QString()));
    DB().EjecutaConsultaSQL(QStringLiteral("DELETE FROM TA_TITCOPIADORES"));
    EXPECT_FALSE(cn.ValidaRango(QStringLiteral("11010101001"), QString()));
}

TEST_F(Sesion, EveryStartIsLoggedWithTheFirstMatchingTask)
{
    RtEntorno::FijaNombreMaquina(QStringLiteral("pc-01"));
    RtEntorno::FijaNombreUsuario(QStringLiteral("caja2"));
    RtEntorno::FijaNombreEjecutable(QStringLiteral("session_tests"));
    gUsuarioLogeado = QStringLiteral("Juan");
    // Day and month differ, so their order in the stored text is pinned too.
    RtEntorno::FijaAhora(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 42)));
    IniContable();
    EXPECT_TRUE(gSoloMayusculas) << "'si' counts as SI";
    EXPECT_FALSE(DB().gConfidencialidad);
    VerificaAcceso(QString(), false);
    gUsuarioLogeado = QStringLiteral("Nadie");
    VerificaAcceso(QStringLiteral(" frm "), false);
    adodb::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM Control_Acceso ORDER BY ID"), &DB().gCnn);
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs[QStringLiteral("Maquina")].toString(), QStringLiteral("PC-01"));
    EXPECT_EQ(rs[QStringLiteral("Usuario")].toString(), QStringLiteral("CAJA2"));
    EXPECT_EQ(rs[QStringLiteral("Tarea")].toString(), QStringLiteral("TITULOS COPIADORES"));
    EXPECT_EQ(rs[QStringLiteral("NombreUsuario")].toString(), QStringLiteral("Juan"));
    EXPECT_EQ(rs[QStringLiteral("Formulario")].toString(), QString());
    EXPECT_EQ(rs[QStringLiteral("Ingreso")].toString(), QStringLiteral("07/03/26 09:05"));
    rs.MoveNext();
    EXPECT_EQ(rs[QStringLiteral("Tarea")].toString(), QString()) << "no task, no message";
    EXPECT_EQ(rs[QStringLiteral("Formulario")].toString(), QStringLiteral("FRM"));
    EXPECT_TRUE(guion.op.preguntas.empty());
    RtEntorno::FijaNombreMaquina(QString());
    RtEntorno::FijaNombreUsuario(QString());
    RtEntorno::FijaNombreEjecutable(QString());
    RtEntorno::FijaAhora(QDateTime());
}

TEST_F(Sesion, StartUpReadsTheCommandLineAndConnects)
{
    DB().gCnn.Close();
    DB().gOpenFlag = false;
    ASSERT_TRUE(InicioSistema(QStringLiteral("@server=; @DbName=") + path + QStringLiteral("; @Usuario=Juan; @Password=;")));
    EXPECT_EQ(DB().gUsuario, QStringLiteral("Juan"));
    EXPECT_EQ(gUsuarioLogeado, QStringLiteral("Juan"));
    EXPECT_EQ(DB().gCnn.CommandTimeout, 360);
    EXPECT_EQ(gCadenaReporte, QStringLiteral("DSN=") + path + QStringLiteral("; UID=Juan; PWD="));

    DB().gCnn.Close();
    DB().gOpenFlag = false;
    guion.op.respuestas = {rt::vbNo};
    EXPECT_FALSE(InicioSistema(QStringLiteral("@DbName=/no/existe.db;")));
}

TEST_F(Sesion, SiblingModulesStartFromTheProgramFolderWithTheSessionLine)
{
    DB().gServidor = QString();
    DB().gUsuario = QStringLiteral("Juan");
    long long id = -1;
    guion.op.pidEjecuta = 4321;
    EjecutaModulo(QStringLiteral("SHELL:V_TA_TABLAS"), QStringLiteral("MA_CUENTAS"), id);
    EXPECT_EQ(id, 4321);
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_EQ(guion.op.preguntas[0].tipo, QStringLiteral("Ejecuta"));
    EXPECT_TRUE(guion.op.preguntas[0].texto.contains(dir.path() + QStringLiteral("/V_TA_TABLAS")));
    EXPECT_TRUE(guion.op.preguntas[0].titulo.endsWith(QStringLiteral("@ParametroAdicional=MA_CUENTAS; orba@ ;")))
        << "the session line, as one argument";

    guion.op.pidEjecuta = 0;
    EjecutaModulo(QStringLiteral("SHELL:NO_EXISTE"), QString(), id);
    EXPECT_EQ(id, 0);
    ASSERT_EQ(guion.op.preguntas.size(), 3u);
    EXPECT_EQ(guion.op.preguntas[2].texto, QStringLiteral("Opcion no Implementada!\rComuniquese con su proveedor de sistemas"));
    EXPECT_EQ(guion.op.preguntas[2].titulo, QStringLiteral("Atención"));
}

TEST_F(Sesion, AConfigurationReadThatFailsReadsEmptyNotMissing)
{
    DB().EjecutaConsultaSQL(QStringLiteral("DROP TABLE TA_CONFIGURACION"));
    guion.op.respuestas = {rt::vbAbort, rt::vbAbort};
    EXPECT_EQ(Cfg(QStringLiteral("NOMBRE")), QString()) << "a failure gives \"\", a missing key \" \"";
    ASSERT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_TRUE(guion.op.preguntas[0].titulo.contains(QStringLiteral("AbrirRecordset")));
    EXPECT_TRUE(guion.op.preguntas[1].titulo.startsWith(QStringLiteral("Cfg")));

    // Read together with another key, the same: "", and the failure shown.
    guion.op.preguntas.clear();
    guion.op.respuestas = {rt::vbAbort, rt::vbAbort, rt::vbAbort};
    const ClavesLeidas claves({QStringLiteral("NOMBRE"), QStringLiteral("DIGITOS_CUENTA")});
    EXPECT_EQ(Cfg(QStringLiteral("NOMBRE")), QString());
    ASSERT_FALSE(guion.op.preguntas.empty());
    EXPECT_TRUE(guion.op.preguntas.back().titulo.startsWith(QStringLiteral("Cfg")));
}

// The user name of the command line reaches the task query and the access
// log: whatever the grammar leaves of it is compared and stored literally.
TEST_F(Sesion, HostileUserNamesAreComparedAndLoggedLiterally)
{
    RtEntorno::FijaNombreEjecutable(QStringLiteral("session_tests"));
    RtEntorno::FijaAhora(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 42)));
    const QList<TextoHostil> hostiles = TextosHostiles();
    for (const TextoHostil& h : hostiles) {
        SCOPED_TRACE(h.nombre);
        DB().gCnn.Close();
        DB().gOpenFlag = false;
        const QString linea = QStringLiteral("@server=; @DbName=") + path + QStringLiteral("; @Usuario=") + h.texto +
                              QStringLiteral("; @Password=;");
        ASSERT_TRUE(InicioSistema(linea));
        const QString usuario = ValorClave(linea, QStringLiteral("@Usuario"));
        EXPECT_EQ(gUsuarioLogeado, usuario);
        adodb::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM Control_Acceso ORDER BY ID DESC"), &DB().gCnn);
        ASSERT_FALSE(rs.EOF_());
        // The column holds 30 characters: a longer name keeps its first 30, never nothing.
        EXPECT_EQ(rs[QStringLiteral("NombreUsuario")].toString(), usuario.left(30));
        EXPECT_EQ(rs[QStringLiteral("Tarea")].toString(), QString()) << "no task of another user";
        EXPECT_TRUE(guion.op.mensajes().isEmpty()) << guion.op.mensajes().join(u'|').toStdString();
    }
    adodb::Recordset n = DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso"));
    EXPECT_EQ(n.Fields(0).Value().toInt64(), hostiles.size());
    EXPECT_EQ(DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM TA_TAREAS")).Fields(0).Value().toInt64(), 2);
    RtEntorno::FijaNombreEjecutable(QString());
    RtEntorno::FijaAhora(QDateTime());
}
