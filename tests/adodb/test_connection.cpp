#include "fixture.h"

#include <QFileInfo>

using namespace adodb;

TEST(Connection, MissingFileIsAConnectionErrorAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no_existe.db"));
    Connection cn;
    try {
        cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(path));
        FAIL() << "opened a missing file";
    } catch (const AdoException& e) {
        EXPECT_EQ(e.error().Number, kErrUnspecified);
    }
    ASSERT_EQ(cn.Errors().Count(), 1);
    EXPECT_EQ(cn.Errors().Item(0).SQLState, QStringLiteral("08001"));
    EXPECT_EQ(cn.State(), adStateClosed);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(Connection, JetProviderAndKeysWithBlanksOpenTheSameFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.mdb"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    Connection cn;
    cn.Open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =%1;User Id=admin;Password=;").arg(path));
    EXPECT_EQ(cn.State(), adStateOpen);
    EXPECT_THROW(cn.Open(), AdoException);  // already open: 3705
    cn.Close();
    try {
        cn.Close();
        FAIL();
    } catch (const AdoException& e) {
        EXPECT_EQ(e.error().Number, kErrObjectClosed);
    }
}

TEST(Connection, ServerStringsDoNotFallBackToTheEmbeddedEngine)
{
    EXPECT_TRUE(ConnectionInfo::parse(QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV01\\ORBAKIT;Database =CONTA;"))
                    .embeddedFile()
                    .isEmpty());
    EXPECT_TRUE(ConnectionInfo::parse(QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=u;Password=p;"))
                    .embeddedFile()
                    .isEmpty());
    EXPECT_EQ(ConnectionInfo::parse(QStringLiteral("PROVIDER=SQLOLEDB;Server= ;Database =/x/y.db;")).embeddedFile(),
              QStringLiteral("/x/y.db"));
}

TEST_F(SqliteFile, EngineErrorsCarryAdoNumbersAndLandInErrors)
{
    exec(QStringLiteral("CREATE TABLE T (ID int PRIMARY KEY, N varchar(10))"));
    long affected = 0;
    cn.Execute(QStringLiteral("INSERT INTO T VALUES (1,'a'); INSERT INTO T VALUES (2,'b')"), &affected);
    EXPECT_EQ(affected, 2);

    struct Case {
        const char* sql;
        std::int32_t number;
        const char* state;
    };
    const Case cases[] = {
        {"SELEC * FROM T", kErrSyntax, "42000"},
        {"SELECT * FROM NO_HAY", kErrNoTable, "42S02"},
        {"INSERT INTO T VALUES (1,'dup')", kErrIntegrity, "23000"},
    };
    for (const Case& c : cases) {
        try {
            cn.Execute(QString::fromLatin1(c.sql));
            ADD_FAILURE() << c.sql;
        } catch (const AdoException& e) {
            EXPECT_EQ(e.error().Number, c.number) << c.sql;
        }
        ASSERT_EQ(cn.Errors().Count(), 1) << c.sql;
        EXPECT_EQ(cn.Errors().Item(0).SQLState, QString::fromLatin1(c.state)) << c.sql;
        EXPECT_NE(cn.Errors().Item(0).NativeError, 0) << c.sql;
    }
    cn.Execute(QStringLiteral("SELECT 1"));
    EXPECT_EQ(cn.Errors().Count(), 0) << "a successful statement starts with a clean collection";
}

TEST_F(SqliteFile, TwoConnectionsShareTheFileWhileOneWrites)
{
    exec(QStringLiteral("CREATE TABLE T (ID int); INSERT INTO T VALUES (1)"));
    Connection other;
    other.Open(connString());
    cn.BeginTrans();
    exec(QStringLiteral("INSERT INTO T VALUES (2)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM T"), &other);
    EXPECT_EQ(rs.Fields(0).Value().toInt64(), 1) << "the reader sees the committed state";
    cn.CommitTrans();
    rs.Close();
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM T"), &other);
    EXPECT_EQ(rs.Fields(0).Value().toInt64(), 2);
}

// The embedded engine remembers, per table, whether it is one the program
// may write back and which columns are keys. A definition changed under the
// same name, by this connection or by another while it was closed, must be
// read again.
TEST_F(SqliteFile, TheEngineForgetsDefinitionsOnCloseAndOnSchemaChanges)
{
    struct Caso {
        const char* como;
        bool cerrado;  // the change is made by another connection while the engine is closed
    };
    for (const Caso& caso : {Caso{"same connection", false}, Caso{"closed meanwhile", true}}) {
        SCOPED_TRACE(caso.como);
        auto engine = makeSqliteEngine();
        const ConnectionInfo info = ConnectionInfo::parse(connString());
        engine->open(info, {}, {}, 5);
        engine->run(QStringLiteral("DROP TABLE IF EXISTS T; DROP TABLE IF EXISTS X;"
                                   "CREATE TABLE T (ID int PRIMARY KEY, N varchar(5));"
                                   "CREATE TEMP TABLE X (ID int)"),
                    {}, 0);
        EXPECT_TRUE(engine->run(QStringLiteral("SELECT ID, N FROM T"), {}, 0).columns[0].key);
        engine->run(QStringLiteral("SELECT ID FROM X"), {}, 0);

        // T keyed on N now, and X a table of the database.
        const QString cambio = QStringLiteral(
            "DROP TABLE T; CREATE TABLE T (ID int, N varchar(5) PRIMARY KEY); CREATE TABLE main.X (ID int PRIMARY KEY)");
        if (caso.cerrado) {
            engine->close();  // the temporary X goes with it
            cn.Execute(cambio);
            engine->open(info, {}, {}, 5);
        } else {
            engine->run(QStringLiteral("DROP TABLE temp.X; ") + cambio, {}, 0);
        }
        const Rowset t = engine->run(QStringLiteral("SELECT ID, N FROM T"), {}, 0);
        EXPECT_FALSE(t.columns[0].key);
        EXPECT_TRUE(t.columns[1].key);
        EXPECT_EQ(engine->run(QStringLiteral("SELECT ID FROM X"), {}, 0).columns[0].baseTable, QStringLiteral("X"));
        engine->close();
    }
}
