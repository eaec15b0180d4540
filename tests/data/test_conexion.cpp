#include "../sesion_db.h"
#include "data/errores.h"

#include <QDir>
#include <QRegularExpression>

using adodb::Variant;

class Conexion : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        prepara(QStringLiteral("CREATE TABLE TA_USUARIOS (nombre varchar(30) COLLATE CI, Administrador varchar(5));"
                               "INSERT INTO TA_USUARIOS VALUES ('ADMIN',' 1'),('DECIMAL','1.0'),('OTRO','2')"));
    }
};

TEST_F(Conexion, BuildsTheSqlServerStringAndReadsTheAdministratorFlag)
{
    DB().gExtended = QStringLiteral("Encrypt=no;");
    conecta(false);
    EXPECT_EQ(DB().gConnString, QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;UId=ADMIN;Pwd=;Encrypt=no;").arg(path));
    EXPECT_EQ(DB().gProveedor, QStringLiteral("SQLOLEDB"));
    EXPECT_TRUE(DB().gEsAdmin) << "' 1' is numerically 1";
    for (auto [usuario, admin] : {std::pair{"DECIMAL", true}, std::pair{"OTRO", false}}) {
        DB().gCnn.Close();
        DB().gUsuario = QString::fromLatin1(usuario);
        conecta(false);
        EXPECT_EQ(DB().gEsAdmin, admin) << usuario;
    }
    DB().gCnn.Close();
    DB().OpenServerADODB(false, 3, QString(), true, false);
    EXPECT_TRUE(DB().gEsAdmin) << "without showing errors every user of a database with TA_USUARIOS is administrator";
}

TEST_F(Conexion, AGivenStringIsUsedAsItIsUnlessTheDialogIsAsked)
{
    const QString dada = CadenaDeArchivo(path);
    DB().OpenServerADODB(false, 3, dada);
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(DB().gConnString, dada);
    DB().gCnn.Close();
    DB().OpenServerADODB(true, 3, dada);
    EXPECT_FALSE(DB().gOpenFlag) << "the dialog reads as Cancel unless accepted";
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_EQ(guion.op.preguntas[0].tipo, QStringLiteral("Modal"));
}

TEST_F(Conexion, AFailedConnectionOffersTheDialogAndRetries)
{
    DB().gDBName = dir.filePath(QStringLiteral("mal_escrita.db"));
    DB().gServidor = QStringLiteral("");
    guion.op.respuestas = {rt::vbYes};
    guion.op.alModal = [this](QObject* v) {
        EXPECT_EQ(v->objectName(), QStringLiteral("frmAcceso"));
        v->setProperty("baseDatos", path);
        return 1;
    };
    DB().OpenServerADODB();
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(DB().gCnn.State(), adodb::adStateOpen);
    ASSERT_GE(guion.op.preguntas.size(), 1u);
    const auto& caja = guion.op.preguntas[0];
    EXPECT_EQ(caja.titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(caja.botones, rt::vbYesNo + rt::vbCritical);
    EXPECT_TRUE(caja.texto.startsWith(QStringLiteral(" Estado de Sql: 08001\rNumero de Error: -2147467259\rDescripcion: ")));
    EXPECT_TRUE(caja.texto.contains(
        QStringLiteral("por ejemplo : \\ORBAKIT\r\n3. Verifique si el inicio de sesion para el usuario ADMIN existe")));
    EXPECT_TRUE(caja.texto.endsWith(QStringLiteral("\r\n\r\n\r\n - Desea Intentarlo Nuevamente??? ")));
}

TEST_F(Conexion, OracleServersUseTheOracleTemplateAndNoGivesUp)
{
    DB().gServidor = QStringLiteral("ORASRV#");
    DB().gDBName = QStringLiteral("ORCL");
    DB().gUserPassWord = QStringLiteral("x");
    guion.op.respuestas = {rt::vbNo};
    DB().OpenServerADODB();
    EXPECT_EQ(DB().gConnString, QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=ADMIN;Password=x;"));
    EXPECT_EQ(DB().gProveedor, QStringLiteral("SQLOLEDB")) << "an empty provider becomes SQLOLEDB even for Oracle";
    EXPECT_FALSE(DB().gOpenFlag);

    // Choosing Oracle in the dialog marks the server once.
    DB().DialogoAcceso = [](DatosAcceso& d) {
        d.plataforma = 1;
        return true;
    };
    guion.op.respuestas = {rt::vbYes, rt::vbNo};
    DB().OpenServerADODB();
    EXPECT_EQ(DB().gServidor, QStringLiteral("ORASRV#"));
    EXPECT_EQ(DB().gProveedor, QStringLiteral("OraOLEDB.Oracle.1"));
}

TEST_F(Conexion, ErrorReportShowsTheBoxAndLogsOneLine)
{
    conecta(false);
    adodb::Error e{-2147217900, QStringLiteral(" Sintaxis incorrecta "), QStringLiteral("SQLite"), QStringLiteral("42000"), 1};
    guion.op.respuestas = {rt::vbRetry, rt::vbOK};
    EXPECT_EQ(DB().TratamientoErrores(e, {}, QStringLiteral("AbrirRecordset")), rt::vbRetry);
    EXPECT_EQ(DB().TratamientoErrores(e, rt::vbOKOnly), rt::vbOK);
    EXPECT_EQ(DB().TratamientoErrores(adodb::Error{}), 0);
    ASSERT_EQ(guion.op.preguntas.size(), 2u) << "error number 0 shows nothing";
    EXPECT_EQ(guion.op.preguntas[0].texto, QStringLiteral("Ha ocurrido el Siguiente Error (-2147217900) Sintaxis incorrecta"));
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral("SQLite - AbrirRecordset Aviso al operador!!! - 5 "));
    EXPECT_EQ(guion.op.preguntas[0].botones, 18);

    const QStringList lineas = lineasLog(dir.filePath(QStringLiteral("VLERR.LOG")));
    ASSERT_EQ(lineas.size(), 2);
    const QRegularExpression formato(
        QStringLiteral("^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d Rutina: - AbrirRecordset Mensaje Ha ocurrido el Siguiente "
                       "Error \\(-2147217900\\) Sintaxis incorrecta Respondió : Reintentar$"));
    EXPECT_TRUE(formato.match(lineas[0]).hasMatch()) << lineas[0].toStdString();
    EXPECT_TRUE(lineas[1].contains(QStringLiteral(" Rutina:  Mensaje Ha ocurrido"))) << lineas[1].toStdString();
    EXPECT_TRUE(lineas[1].endsWith(QStringLiteral("Respondió : "))) << "OK has no answer word";

    // A bare file name goes to the current folder.
    const QString antes = QDir::currentPath();
    QDir::setCurrent(dir.filePath(QString()));
    QDir().mkdir(QStringLiteral("otra"));
    QDir::setCurrent(dir.filePath(QStringLiteral("otra")));
    DB().setArchivoErrores(QStringLiteral("propio.log"));
    guion.op.respuestas = {rt::vbIgnore};
    DB().TratamientoErrores(e);
    QDir::setCurrent(antes);
    EXPECT_EQ(lineasLog(dir.filePath(QStringLiteral("otra/propio.log"))).size(), 1);
}

TEST_F(Conexion, ARefusedPermissionStopsStartUpNamingTheRightAndTheTable)
{
    struct Caso {
        const char* estado;
        int nativo;
        const char* texto;
        const char* sentencia;  // the statement that met it
        const char* tabla;      // "" : start-up walks on (not a refused permission)
        const char* permiso;
    };
    const Caso casos[] = {
        {"42501", 7, "ERROR: permission denied for table ta_usuarios;\nError while executing the query",
         "SELECT Administrador FROM ta_usuarios", "ta_usuarios", "SELECT"},
        {"42501", 7, "ERROR: permission denied for relation ta_configuracion", "SELECT VALOR FROM TA_CONFIGURACION",
         "ta_configuracion", "SELECT"},
        {"42000", 229,
         "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]The SELECT permission was denied on the object "
         "'TA_TITCOPIADORES', database 'CONTABLE', schema 'dbo'.",
         "SELECT * FROM TA_TITCOPIADORES", "TA_TITCOPIADORES", "SELECT"},
        {"42000", 229, "Se denegó el permiso INSERT en el objeto 'Control_Acceso', base de datos 'CONTABLE', esquema 'dbo'.",
         "Select top 1 * from Control_Acceso", "Control_Acceso", "INSERT"},
        // A driver that says nothing of the object: the statement tells.
        {"42501", 1, "insufficient privilege", "DELETE FROM TA_TITCOPIADORES WHERE CODIGO = '1'", "TA_TITCOPIADORES", "DELETE"},
        // Other errors of the same classes are not about rights.
        {"42000", 102, "Incorrect syntax near 'FROM'.", "SELECT FROM", "", ""},
        {"42P01", 7, "relation \"ta_usuarios\" does not exist", "SELECT * FROM ta_usuarios", "", ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.texto);
        const adodb::Error e{adodb::NumberForSqlState(QString::fromLatin1(c.estado)), QString::fromUtf8(c.texto),
                             QStringLiteral("ODBC"), QString::fromLatin1(c.estado), c.nativo};
        DB().UltimaSentencia = QString::fromLatin1(c.sentencia);
        guion.op.preguntas.clear();
        if (!*c.tabla) {
            const DB_Dll::Arranque arranque(DB());
            EXPECT_NO_THROW(DB().TratamientoErrores(e));
            EXPECT_EQ(guion.op.preguntas.size(), 1u) << "shown where it happens, as always";
            continue;
        }
        try {
            const DB_Dll::Arranque arranque(DB());
            errores::InformaError(e, QStringLiteral("Cfg"));
            ADD_FAILURE() << "start-up walked on";
        } catch (const FaltaPermiso& f) {
            EXPECT_EQ(f.tabla, QString::fromUtf8(c.tabla));
            EXPECT_EQ(f.permiso, QString::fromLatin1(c.permiso));
        }
        EXPECT_TRUE(guion.op.preguntas.empty()) << "no box where it happens";
        // Once the program runs, the same refusal is an ordinary error box.
        EXPECT_NO_THROW(DB().TratamientoErrores(e));
        EXPECT_EQ(guion.op.preguntas.size(), 1u);
    }
}
