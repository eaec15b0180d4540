// The program's database files opened by the standard sqlite3 shell with the
// collation extension: same comparison rules, and changes the program reads.
#include "motores.h"

#include <QProcess>
#include <QStandardPaths>

using namespace adodb;

namespace {

struct Salida {
    int codigo = -1;
    QString texto;
};

Salida Sqlite3(const QStringList& argumentos)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("sqlite3"), argumentos);
    if (!p.waitForFinished(30000)) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAll()).trimmed()};
}

}  // namespace

class ArchivoParaHerramientas : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty()) GTEST_SKIP() << "sqlite3 no instalado";
        QString motivo;
        ASSERT_TRUE(base.Prepara(Motor::Embebido, &motivo));
        cn.Open(base.Cadena());
        cn.Execute(QStringLiteral(
            "CREATE TABLE MA_CUENTAS (Codigo varchar(15) COLLATE CI PRIMARY KEY, CodigoOpcional varchar(15) COLLATE CI, "
            "DESCRIPCION varchar(60) COLLATE CI);"
            "INSERT INTO MA_CUENTAS VALUES ('11010101001', 'CAJA', 'Caja Ñandú'), ('11010201001', 'bna01  ', 'Banco');"
            "CREATE VIEW V_LARGO AS SELECT Codigo, LEN(DESCRIPCION) AS L FROM MA_CUENTAS"));
        cn.Close();
    }
    Salida consulta(const QString& sql, bool carga = true)
    {
        // Newer shells distrust the schema by default: views may use only
        // functions registered as innocuous. Asked for here on every release.
        QStringList args{QStringLiteral("-cmd"), QStringLiteral("PRAGMA trusted_schema = OFF"), base.archivo()};
        if (carga) args << QStringLiteral(".load ") + ExtensionCi();
        return Sqlite3(args << sql);
    }

    BaseDePrueba base;
    Connection cn;
};

TEST_F(ArchivoParaHerramientas, WithoutTheExtensionTheShellNamesTheMissingCollation)
{
    const Salida s = consulta(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE CodigoOpcional = 'x'"), false);
    EXPECT_NE(s.codigo, 0);
    EXPECT_TRUE(s.texto.contains(QStringLiteral("no such collation sequence: CI"))) << qPrintable(s.texto);
}

TEST_F(ArchivoParaHerramientas, TheShellComparesAsTheProgramDoes)
{
    EXPECT_EQ(consulta(QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE CodigoOpcional = 'BNA01'")).texto,
              QStringLiteral("11010201001"));
    EXPECT_EQ(consulta(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE DESCRIPCION = 'CAJA ÑANDÚ   '")).texto,
              QStringLiteral("1"));
    EXPECT_EQ(consulta(QStringLiteral("SELECT L FROM V_LARGO ORDER BY Codigo")).texto, QStringLiteral("10\n5"));
    EXPECT_EQ(consulta(QStringLiteral("SELECT CHARINDEX('ñan', DESCRIPCION) FROM MA_CUENTAS WHERE Codigo = '11010101001'")).texto,
              QStringLiteral("6"));
}

TEST_F(ArchivoParaHerramientas, ChangesMadeInTheShellKeepTheRulesAndTheProgramReadsThem)
{
    // The key ignores case and trailing blanks for the shell too.
    const Salida duplicada = consulta(QStringLiteral("INSERT INTO MA_CUENTAS VALUES ('11010101001  ', NULL, 'otra')"));
    EXPECT_NE(duplicada.codigo, 0);
    EXPECT_TRUE(duplicada.texto.contains(QStringLiteral("UNIQUE constraint failed"))) << qPrintable(duplicada.texto);
    ASSERT_EQ(consulta(QStringLiteral("UPDATE MA_CUENTAS SET DESCRIPCION = 'Caja chica' WHERE CodigoOpcional = 'caja'")).codigo,
              0);
    // PRAGMA integrity_check re-sorts the indexes with the collation: a different rule would show here.
    EXPECT_EQ(consulta(QStringLiteral("PRAGMA integrity_check")).texto, QStringLiteral("ok"));

    cn.Open(base.Cadena());
    Recordset rs;
    rs.Open(QStringLiteral("SELECT DESCRIPCION FROM MA_CUENTAS WHERE Codigo = '11010101001'"), &cn);
    EXPECT_EQ(rs.Fields(0).Value().toString(), QStringLiteral("Caja chica"));
}

TEST_F(ArchivoParaHerramientas, TheSqliteOdbcDriverWithTheExtensionQueriesAndModifiesTheFile)
{
    Connection odbc;
    try {
        odbc.Open(QStringLiteral("Driver={SQLite3};Database=%1;LoadExt=%2;").arg(base.archivo(), ExtensionCi()));
    } catch (const AdoException& e) {
        if (e.error().SQLState == u"IM002") GTEST_SKIP() << "controlador SQLite3 no instalado";
        throw;
    }
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE CodigoOpcional = 'BNA01'"), &odbc);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields(0).Value().toString(), QStringLiteral("11010201001"));
    long n = 0;
    odbc.Execute(QStringLiteral("UPDATE MA_CUENTAS SET DESCRIPCION = 'Banco Nación' WHERE DESCRIPCION = 'BANCO'"), &n);
    EXPECT_EQ(n, 1);
    odbc.Close();

    cn.Open(base.Cadena());
    Recordset propio;
    propio.Open(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE DESCRIPCION = 'banco nación'"), &cn);
    EXPECT_EQ(propio.Fields(0).Value().toInt64(), 1);
}
