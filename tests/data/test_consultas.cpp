#include "../sesion_db.h"

#include "adodb/recordset.h"

#include <QFile>

using adodb::Recordset;
using adodb::Variant;

class Consultas : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        prepara(QStringLiteral(
            "CREATE TABLE MA_CUENTAS (Codigo varchar(15) COLLATE CI PRIMARY KEY, CodigoOpcional varchar(15) COLLATE CI, "
            "DESCRIPCION varchar(60) COLLATE CI, Nivel int);"
            "INSERT INTO MA_CUENTAS VALUES ('1101','CAJA','Caja',12),('1102',NULL,'Cuenta de O''Brien',3),('  1103  ',NULL,'Con "
            "blancos',4);"
            "CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(50) COLLATE CI);"));
        conecta();
    }
};

TEST_F(Consultas, LookupsBuildTheirStatementsAndTrimAsTheyShould)
{
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("  1103 ")));
    EXPECT_EQ(DB().UltimaSentencia,
              QStringLiteral("SELECT TOP 1  * FROM MA_CUENTAS with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='1103'"));
    EXPECT_FALSE(DB().ExisteEnTablaST(QStringLiteral("MA_CUENTAS"), QStringLiteral(" 1101 ")));
    EXPECT_EQ(DB().UltimaSentencia, QStringLiteral("SELECT * FROM MA_CUENTAS with(nolock)   WHERE Codigo =' 1101 '"));
    EXPECT_TRUE(DB().ExisteEnTablaST(QStringLiteral("MA_CUENTAS"), QStringLiteral("12abc"), QStringLiteral("Nivel"), nullptr, 3));
    EXPECT_EQ(DB().UltimaSentencia, QStringLiteral("SELECT * FROM MA_CUENTAS with(nolock)   WHERE Nivel = 12"));

    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_CUENTAS"), QString(), QStringLiteral("Codigo"), nullptr, 8,
                                   QStringLiteral("x WHERE Codigo = '1101'")));
    EXPECT_EQ(DB().UltimaSentencia, QStringLiteral("SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  x WHERE Codigo = '1101'"));
    // A typed apostrophe finds the value and cannot end the literal early.
    EXPECT_TRUE(
        DB().ExisteEnTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("Cuenta de O'Brien"), QStringLiteral("DESCRIPCION")));
    EXPECT_FALSE(DB().ExisteEnTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("x' OR '1'='1"), QStringLiteral("DESCRIPCION")));
    EXPECT_TRUE(guion.op.preguntas.empty());

    Recordset rs;
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("caja"), QStringLiteral("CodigoOpcional"), &rs));
    EXPECT_EQ(rs.Fields(QStringLiteral("Codigo")).Value().toString(), QStringLiteral("1101"))
        << "the recordset stays open on the row";
}

TEST_F(Consultas, DatosTablaReadsOneColumnOrNothing)
{
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("1101"), QStringLiteral("DESCRIPCION")).toString(),
              QStringLiteral("Caja"));
    EXPECT_EQ(DB().UltimaSentencia,
              QStringLiteral("SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='1101' "));
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("3x"), QStringLiteral("Codigo"),
                              QStringLiteral("Nivel"), 4, QStringLiteral("Codigo <> ''"))
                  .toString(),
              QStringLiteral("1102"));
    EXPECT_EQ(DB().UltimaSentencia,
              QStringLiteral("SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  WHERE Nivel = 3 AND Codigo <> ''"));
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("9999"), QStringLiteral("DESCRIPCION")).toString(),
              QString());
    // A missing column with errors ignored: nothing shown, empty text.
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("1101"), QStringLiteral("NO_HAY"),
                              QStringLiteral("Codigo"), 8, QString(), true, true)
                  .toString(),
              QString());
    EXPECT_TRUE(guion.op.preguntas.empty());
}

TEST_F(Consultas, MaximaGiveNumbersAndTheNextFreeCode)
{
    EXPECT_EQ(DB().BuscaMaximo(QStringLiteral("TA_TITCOPIADORES"), QStringLiteral("CODIGO"), 3).toDouble() + 1, 1.0);
    DB().EjecutaConsultaSQL(QStringLiteral("INSERT INTO TA_TITCOPIADORES VALUES ('   9','a'),('  10','b')"));
    EXPECT_EQ(DB().BuscaMaximo(QStringLiteral("TA_TITCOPIADORES"), QStringLiteral("CODIGO"), 3).toDouble(), 10.0);
    EXPECT_EQ(DB().UltimaSentencia, QStringLiteral("SELECT MAX(CODIGO) AS MAYOR FROM TA_TITCOPIADORES"));
    Variant cond(QStringLiteral("DESCRIPCION = 'a'"));
    EXPECT_EQ(DB().BuscaMinimo(QStringLiteral("TA_TITCOPIADORES"), QStringLiteral("CODIGO"), 7, &cond).toString(),
              QStringLiteral("   9"));
    EXPECT_EQ(DB().UltimaSentencia,
              QStringLiteral("SELECT MIN(CODIGO) AS MENOR FROM TA_TITCOPIADORES  with(nolock)  WHERE DESCRIPCION = 'a'"));
    EXPECT_THROW(DB().BuscaMaximo(QStringLiteral("NO_HAY"), QStringLiteral("X")), adodb::AdoException)
        << "failures reach the caller";
}

TEST_F(Consultas, FailuresFollowRetryIgnoreAbort)
{
    Recordset rs;
    guion.op.respuestas = {rt::vbRetry, rt::vbIgnore};
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM NO_EXISTE"), rs);
    EXPECT_EQ(rs.State(), adodb::adStateClosed);
    ASSERT_EQ(guion.op.preguntas.size(), 2u) << "Retry ran the statement again";
    EXPECT_EQ(lineasLog(dir.filePath(QStringLiteral("VLERR.LOG"))).size(), 2);

    // A pending edit is dropped quietly on close.
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM MA_CUENTAS"), rs, nullptr, 2, 3);
    rs.Fields(QStringLiteral("DESCRIPCION")).setValue(QStringLiteral("nunca"));
    DB().CierraRecordset(rs);
    EXPECT_EQ(rs.State(), adodb::adStateClosed);
    EXPECT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_FALSE(DB().ExisteEnTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("nunca"), QStringLiteral("DESCRIPCION")));
}

TEST_F(Consultas, StatementExecutionIsSilentButLeavesTheErrors)
{
    long n = 0;
    QString sql = QStringLiteral("UPDATE @Admin_MA_CUENTAS SET Nivel = 0");
    DB().EjecutaConsultaSQL(sql, &n);
    EXPECT_EQ(sql, QStringLiteral("UPDATE MA_CUENTAS SET Nivel = 0")) << "the caller sees the rewritten text";
    EXPECT_EQ(n, 3);
    DB().EjecutaConsultaSQL(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo) VALUES ('1101')"));
    EXPECT_EQ(DB().gCnn.Errors().Count(), 1);
    EXPECT_TRUE(guion.op.preguntas.empty());
    QString r = QStringLiteral("INSERT INTO MA_CUENTAS (Codigo) VALUES ('1101')");
    DB().EjecutaConsultaRSQL(r);
    EXPECT_TRUE(guion.op.preguntas.empty()) << "integrity errors are left to the caller";
    r = QStringLiteral("SELECT * FROM MA_CUENTAS WHERE Codigo = (SELECT 1 UNION SELECT 2)");
    DB().gCnn.Close();
    DB().EjecutaConsultaRSQL(r);
    ASSERT_EQ(guion.op.preguntas.size(), 1u) << "a closed connection is not one of the expected errors";
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral("Aviso al operador!!!"));
}

TEST_F(Consultas, ALostConnectionIsRestoredSilently)
{
    Recordset rs;
    DB().gCnn.BreakLinkForTest();
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM MA_CUENTAS"), rs);
    EXPECT_EQ(rs.State(), adodb::adStateOpen);
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_TRUE(guion.op.preguntas.empty());
}

TEST_F(Consultas, AConnectionThatCannotBeRestoredAsksAndNoEndsTheProgram)
{
    Recordset rs;
    DB().gCnn.BreakLinkForTest();
    ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".fuera")));
    guion.op.respuestas = {rt::vbYes, rt::vbNo};
    try {
        DB().AbrirRecordset(QStringLiteral("SELECT * FROM MA_CUENTAS"), rs);
        FAIL() << "the program should have ended";
    } catch (const ProgramaTerminado&) {}
    ASSERT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_EQ(guion.op.preguntas[0].texto, QStringLiteral("\r\n\r\n\r\nSe perdio la conexion con la base de datos %1\r\n "
                                                          "Servidor \r\n\r\nElija SI para reintentar conectarse\r\n"
                                                          "Elija NO para cerrar la aplicacion\r\n\r\n\r\n")
                                               .arg(path));
    EXPECT_FALSE(DB().gOpenFlag);
}
