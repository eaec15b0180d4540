#include "../sesion_db.h"

class Reescritura : public ::testing::Test {
protected:
    void SetUp() override
    {
        DB().gEsAdmin = false;
        DB().gConfidencialidad = false;
        DB().gConnString.clear();
    }
    void TearDown() override { SetUp(); }
};

TEST_F(Reescritura, SynonymsApplyToUsersWhoAreNotAdministrators)
{
    const QString sql = QStringLiteral("SELECT * FROM MA_CUENTAS WHERE x IN (SELECT Codigo FROM @Admin_MA_CUENTAS)");
    DB().gEsAdmin = true;
    EXPECT_EQ(DB().SS_TSinonimos(sql), QStringLiteral("SELECT * FROM MA_CUENTAS WHERE x IN (SELECT Codigo FROM MA_CUENTAS)"));
    DB().gEsAdmin = false;
    EXPECT_EQ(
        DB().SS_TSinonimos(QStringLiteral("SELECT * FROM MA_CUENTAS WHERE Codigo IN (SELECT Codigo FROM @Admin_MA_CUENTAS)")),
        QStringLiteral("SELECT * FROM SS_MA_CUENTAS WHERE Codigo IN (SELECT Codigo FROM MA_CUENTAS)"));
    EXPECT_EQ(DB().SS_TSinonimos(QStringLiteral("select a.x,ma_cuentas.y from v_ta_cajas a,(AC_CUENTASDIARIO_CCOSTO b)")),
              QStringLiteral("select a.x,SS_MA_CUENTAS.y from SS_V_TA_CAJAS a,(SS_AC_CUENTAS_DIARIO_CCOSTO b)"));
    EXPECT_EQ(DB().SS_TSinonimos(QStringLiteral("SELECT * FROM MA_CUENTAS")), QStringLiteral("SELECT * FROM MA_CUENTAS"))
        << "a name at the very end is not matched";
    const QString asientos = QStringLiteral("SELECT * FROM MV_ASIENTOS JOIN MA_CUENTAS ON 1=1");
    EXPECT_EQ(DB().SS_TSinonimos(asientos), asientos);
    DB().gConfidencialidad = true;
    EXPECT_EQ(DB().SS_TSinonimos(asientos), QStringLiteral("SELECT * FROM SS_MV_ASIENTOS JOIN SS_MA_CUENTAS ON 1=1"));
}

TEST_F(Reescritura, OracleDialectOnlyOnOracleConnections)
{
    EXPECT_EQ(DB().ORACLE_Dicc(QStringLiteral("len")), QStringLiteral("len"));
    DB().gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=X;");
    EXPECT_EQ(DB().ORACLE_Dicc(QStringLiteral("len")), QStringLiteral("LENGTH"));
    EXPECT_EQ(DB().ORACLE_Dicc(QStringLiteral("SELECT top 5 Codigo FROM MA_CUENTAS ORDER BY Codigo")).simplified(),
              QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE ROWNUM <= 5 ORDER BY Codigo"));
    EXPECT_EQ(DB().ORACLE_Dicc(QStringLiteral("SELECT * FROM T WHERE F = '2006-01-31' AND G = 'hola'")),
              QStringLiteral("SELECT * FROM T WHERE F = TO_DATE('31/01/2006','DD/MM/YYYY') AND G = 'hola'"));
    EXPECT_EQ(DB().ORACLE_Dicc(QStringLiteral("SELECT * FROM T WHERE F = '31/01/06' OR F = '31 Jan 2006' OR C = '11010101'")),
              QStringLiteral("SELECT * FROM T WHERE F = TO_DATE('31/01/2006','DD/MM/YYYY') OR F = "
                             "TO_DATE('31/01/2006','DD/MM/YYYY') OR C = '11010101'"))
        << "account codes are not dates";
    EXPECT_EQ(DB().ORACLE_Dicc(QStringLiteral("SELECT CONVERT(NVARCHAR,Fecha,103) FROM T")),
              QStringLiteral("SELECT TO_CHAR(Fecha,'DD/MM/YYYY') FROM T"));
    EXPECT_EQ(DB().ORACLE_Dicc(QStringLiteral("SELECT ISNULL(a,'') , SUBSTRING(b,1,2) FROM [T] WHERE c='' AND LEN(d)>0")),
              QStringLiteral("SELECT NVL(a,'') , SUBSTR(b,1,2) FROM \"T\" WHERE c IS NULL  AND LENGTH(d)>0"));
}
