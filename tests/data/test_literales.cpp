#include "../sesion_db.h"

using adodb::Variant;

TEST(Literales, TypeFamiliesSortAdoCodes)
{
    EXPECT_TRUE(DB_Dll::adodate(135));
    EXPECT_EQ(DB_Dll::ADOComilla(202), QStringLiteral("'"));
    EXPECT_EQ(DB_Dll::ADOComilla(7), QStringLiteral("'"));
    EXPECT_EQ(DB_Dll::ADOComilla(6), QString());
    EXPECT_FALSE(DB_Dll::ADONumeric(6));
    EXPECT_TRUE(DB_Dll::ADOCurrency(6));
    EXPECT_TRUE(DB_Dll::ADONumeric(131));
    EXPECT_FALSE(DB_Dll::ADONumeric(139));
    EXPECT_TRUE(DB_Dll::ADOBoolean(11));
    EXPECT_FALSE(DB_Dll::ADOText(128));
}

TEST(Literales, SqlValueQuotesNumbersAndNulls)
{
    EXPECT_EQ(DB_Dll::SQLValue(QStringLiteral("O'Brien")).toString(), QStringLiteral("'O''Brien'"));
    EXPECT_EQ(DB_Dll::SQLValue(Variant::Null()).toString(), QStringLiteral("NULL"));
    EXPECT_EQ(DB_Dll::SQLValue(Variant::Null(), QStringLiteral("@")).toString(), QStringLiteral("0"));
    EXPECT_EQ(DB_Dll::SQLValue(QStringLiteral("1234,5"), QStringLiteral("@")).toString(), QStringLiteral("1234.5"));
    EXPECT_EQ(DB_Dll::SQLValue(12.25, QStringLiteral("@")).toString(), QStringLiteral("12.25"));
    EXPECT_EQ(DB_Dll::SQLValue(QStringLiteral("abc"), QStringLiteral("#")).toString(), QStringLiteral("abc"));
}

TEST(Literales, NameHelpersTakeNamesApart)
{
    QString dos = QStringLiteral("dbo.TABLA");
    EXPECT_EQ(DB_Dll::stSTF(dos, 1), QStringLiteral("TABLA"));
    EXPECT_EQ(DB_Dll::stSTF(dos, 0), QStringLiteral("dbo"));
    QString tres = QStringLiteral("base.dbo.TABLA");
    EXPECT_EQ(DB_Dll::stSTF(tres, 0), QStringLiteral("dbo.TABLA"));
    EXPECT_EQ(tres, QStringLiteral("dbo.TABLA"));
    QString uno = QStringLiteral("TABLA");
    EXPECT_EQ(DB_Dll::stSTF(uno, 1), QStringLiteral("TABLA"));
    EXPECT_THROW(DB_Dll::stSTF(uno, 0), adodb::AdoException);
    EXPECT_EQ(DB_Dll::AddBrackets(QStringLiteral("Mi Tabla")), QStringLiteral("[Mi Tabla]"));
    EXPECT_EQ(DB_Dll::AddBrackets(QStringLiteral("[Mi Tabla]")), QStringLiteral("[Mi Tabla]"));
    EXPECT_EQ(DB_Dll::StripConnect(QStringLiteral("CLIENTES ->ODBC;DSN=x")), QStringLiteral("CLIENTES"));
    EXPECT_EQ(DB_Dll::StripBrackets(QStringLiteral("[Mi Tabla]")), QStringLiteral("Mi Tabla"));
    EXPECT_EQ(DB_Dll::StripFileName(QStringLiteral("C:\\ORBA\\DATOS\\conta.mdb")), QStringLiteral("C:\\ORBA\\DATOS"));
    EXPECT_EQ(DB_Dll::StripFileName(QStringLiteral("conta.mdb")), QString());
}

class Esquema : public SesionDb {};

TEST_F(Esquema, TablesAndColumnsAreFoundAndMissingColumnsAdded)
{
    prepara(QStringLiteral("CREATE TABLE TA_DATOS (Codigo varchar(4)); CREATE VIEW V_DATOS AS SELECT Codigo FROM TA_DATOS"));
    conecta();
    EXPECT_TRUE(DB().ExisteTablaDB(QStringLiteral(" ta_datos ")));
    EXPECT_TRUE(DB().ExisteTablaDB(QStringLiteral("V_DATOS")));
    EXPECT_FALSE(DB().ExisteTablaDB(QStringLiteral("NO_HAY")));
    EXPECT_TRUE(DB().ExisteCampoDB(QStringLiteral("TA_DATOS"), QStringLiteral("CODIGO")));
    EXPECT_FALSE(DB().ExisteCampoDB(QStringLiteral("TA_DATOS"), QStringLiteral("Nuevo")));

    EXPECT_TRUE(DB().VerCampoDB(QStringLiteral("TA_DATOS"), QStringLiteral("Nuevo"), true, QStringLiteral("varchar(10)"), true,
                                QStringLiteral("'x'")));
    EXPECT_EQ(DB().UltimaSentencia,
              QStringLiteral("ALTER TABLE dbo.TA_DATOS ADD Nuevo varchar(10) Null  CONSTRAINT DF_TA_DATOS_Nuevo DEFAULT ('x')"));
    EXPECT_TRUE(DB().ExisteCampoDB(QStringLiteral("TA_DATOS"), QStringLiteral("Nuevo")));
    EXPECT_TRUE(DB().VerCampoDB(QStringLiteral("NO_HAY"), QStringLiteral("X"), true, QStringLiteral("int")));
    EXPECT_FALSE(DB().ExisteTablaDB(QStringLiteral("NO_HAY")));

    DB().gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
    EXPECT_TRUE(DB().ExisteCampoDB(QStringLiteral("TA_DATOS"), QStringLiteral("cualquiera")));
}

TEST_F(Esquema, SchemaChecksNeverLetAnIgnoredFailureEscape)
{
    conecta();
    DB().gCnn.Close();
    guion.op.respuestas = {rt::vbIgnore, rt::vbIgnore, rt::vbIgnore, rt::vbIgnore};
    bool existe = true;
    EXPECT_NO_THROW(existe = DB().ExisteTablaDB(QStringLiteral("TA_DATOS")));
    EXPECT_FALSE(existe);
    EXPECT_NO_THROW(existe = DB().ExisteCampoDB(QStringLiteral("TA_DATOS"), QStringLiteral("Codigo")));
    EXPECT_FALSE(existe);
    for (const auto& q : guion.op.preguntas) EXPECT_TRUE(q.titulo.contains(QStringLiteral("VerificaCampos")));
}
