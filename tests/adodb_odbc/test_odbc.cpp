#include "adodb/odbc_engine_p.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlext.h>

#include "../qt_print.h"

using namespace adodb;

namespace {

Error errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const AdoException& e) {
        return e.error();
    }
    ADD_FAILURE() << "no AdoException";
    return {};
}

ConnectionInfo sqlServer(const QString& server)
{
    ConnectionInfo i;
    i.provider = QStringLiteral("SQLOLEDB");
    i.server = server;
    i.database = QStringLiteral("CONTA");
    i.user = QStringLiteral("sa");
    i.password = QStringLiteral("clave");
    return i;
}

const QStringList kFreeTds{QStringLiteral("SQLite3"), QStringLiteral("FreeTDS")};
const QStringList kBoth{QStringLiteral("FreeTDS"), QStringLiteral("ODBC Driver 18 for SQL Server"),
                        QStringLiteral("Oracle 21 ODBC driver")};

}  // namespace

// ---------------------------------------------------------------------------
// Connection strings: no server needed.

TEST(OdbcConnectionString, FreeTdsKeepsInstanceAndAsksForUtf8)
{
    EXPECT_EQ(odbcConnectionString(sqlServer(QStringLiteral("SRV\\INST")), kFreeTds),
              QStringLiteral("Driver={FreeTDS};Server=SRV\\INST;Database=CONTA;UID=sa;PWD=clave;ClientCharset=UTF-8;"));
}

TEST(OdbcConnectionString, FreeTdsTakesThePortApart)
{
    const QString s = odbcConnectionString(sqlServer(QStringLiteral("tcp:srv\\INST, 1444")), kFreeTds);
    EXPECT_TRUE(s.contains(QStringLiteral(";Server=srv;Port=1444;"))) << s.toStdString();
    EXPECT_EQ(odbcConnectionString(sqlServer(QStringLiteral("(local)")), kFreeTds).section(u';', 1, 1),
              QStringLiteral("Server=localhost"));
}

TEST(OdbcConnectionString, VendorDriverWinsAndTakesExtraSettings)
{
    ConnectionInfo i = sqlServer(QStringLiteral("srv,1433"));
    i.extra = QStringLiteral("Encrypt =no;TrustServerCertificate=yes;Persist Security Info=False");
    EXPECT_EQ(odbcConnectionString(i, kBoth),
              QStringLiteral("Driver={ODBC Driver 18 for SQL Server};Server=tcp:srv,1433;Database=CONTA;UID=sa;"
                             "PWD=clave;Encrypt=no;TrustServerCertificate=yes;"));
}

TEST(OdbcConnectionString, ExtraOverridesGeneratedKeys)
{
    ConnectionInfo i = sqlServer(QStringLiteral("srv"));
    i.extra = QStringLiteral("clientcharset=ISO-8859-1;");
    const QString s = odbcConnectionString(i, kFreeTds);
    EXPECT_TRUE(s.endsWith(QStringLiteral(";ClientCharset=ISO-8859-1;"))) << s.toStdString();
    EXPECT_EQ(s.count(QStringLiteral("harset")), 1);
}

TEST(OdbcConnectionString, ValuesWithSeparatorsAreBraced)
{
    ConnectionInfo i = sqlServer(QStringLiteral("srv"));
    i.password = QStringLiteral("a;b}c");
    EXPECT_TRUE(odbcConnectionString(i, kFreeTds).contains(QStringLiteral(";PWD={a;b}}c};")));
}

TEST(OdbcConnectionString, TheSuitesOwnTemplateSurvivesParsing)
{
    // The blank in "Database =" must not reach FreeTDS, which would ignore the key.
    const ConnectionInfo i =
        ConnectionInfo::parse(QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV\\INST;Database =DB;UId=u;Pwd=p;"));
    EXPECT_EQ(odbcConnectionString(i, kFreeTds),
              QStringLiteral("Driver={FreeTDS};Server=SRV\\INST;Database=DB;UID=u;PWD=p;ClientCharset=UTF-8;"));
}

TEST(OdbcConnectionString, OracleUsesTheDataSourceAsTnsName)
{
    const ConnectionInfo i =
        ConnectionInfo::parse(QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=u;Password=p;"));
    EXPECT_EQ(odbcConnectionString(i, kBoth), QStringLiteral("Driver={Oracle 21 ODBC driver};DBQ=ORCL;UID=u;PWD=p;"));
}

TEST(OdbcConnectionString, DsnAndDriverPassThrough)
{
    ConnectionInfo dsn;
    dsn.dsn = QStringLiteral("Contable");
    dsn.user = QStringLiteral("u");
    dsn.password = QStringLiteral("p");
    dsn.provider = QStringLiteral("SQLOLEDB");  // a DSN names its own driver
    EXPECT_EQ(odbcConnectionString(dsn, {}), QStringLiteral("DSN=Contable;UID=u;PWD=p;"));

    ConnectionInfo drv;
    drv.driver = QStringLiteral("{SQLite3}");
    drv.database = QStringLiteral("/tmp/a b.db");
    EXPECT_EQ(odbcConnectionString(drv, {}), QStringLiteral("Driver={SQLite3};Database=/tmp/a b.db;"));

    // psqlODBC named beside the suite's PostgreSQL server form.
    const ConnectionInfo pg =
        ConnectionInfo::parse(QStringLiteral("PROVIDER=SQLOLEDB;Server=pg:dbhost,5433;Database =c;Driver={PostgreSQL Unicode};"));
    EXPECT_EQ(odbcConnectionString(pg, {}), QStringLiteral("Driver={PostgreSQL Unicode};Server=dbhost;Port=5433;Database=c;"));
}

TEST(OdbcConnectionString, MissingDriverIsReportedInSpanish)
{
    for (const QString& provider :
         {QStringLiteral("SQLOLEDB"), QStringLiteral("OraOLEDB.Oracle.1"), QStringLiteral("Microsoft.Jet.OLEDB.4.0")}) {
        ConnectionInfo i = sqlServer(QStringLiteral("srv"));
        i.provider = provider;
        const Error e = errorOf([&] { odbcConnectionString(i, {QStringLiteral("SQLite3")}); });
        EXPECT_EQ(e.Number, kErrUnspecified) << provider.toStdString();
        EXPECT_EQ(e.SQLState, QStringLiteral("IM002"));
        EXPECT_TRUE(e.Description.startsWith(QStringLiteral("No se encontró un controlador ODBC para")));
    }
}

// ---------------------------------------------------------------------------
// Translations of codes callers branch on.

// Only a lost link may carry E_FAIL: the data layer reconnects on it, which
// rolls back whatever transaction is open (a failed open, IM002 among them,
// carries it too). Every state the mapping names is here, with whether the
// link is gone.
TEST(OdbcCodes, SqlStatesBecomeAdoNumbersAndOnlyALostLinkReconnects)
{
    struct Caso {
        const char* state;
        std::int32_t numero;
        bool enlacePerdido;
    };
    const Caso cases[] = {
        {"08S01", kErrUnspecified, true},     {"08001", kErrUnspecified, true},     {"08003", kErrUnspecified, true},
        {"08007", kErrUnspecified, true},     {"HYT01", kErrUnspecified, true},     {"hyt01 ", kErrUnspecified, true},
        {"57P01", kErrUnspecified, true},     {"57P02", kErrUnspecified, true},     {"57P03", kErrUnspecified, true},
        {"HYT00", kErrTimeout, false},        {"40001", kErrTimeout, false},        {"40P01", kErrTimeout, false},
        {"28000", kErrAuthFailed, false},     {"28P01", kErrAuthFailed, false},     {"23000", kErrIntegrity, false},
        {"23505", kErrIntegrity, false},      {"42S02", kErrNoTable, false},        {"S0002", kErrNoTable, false},
        {"42P01", kErrNoTable, false},        {"42S22", kErrSyntax, false},         {"42601", kErrSyntax, false},
        {"37000", kErrSyntax, false},         {"22007", kErrDataConversion, false}, {"25006", kErrPermission, false},
        {"53100", kErrDiskFull, false},       {"53200", kErrOutOfMemory, false},    {"57014", kErrCanceled, false},
        {"HY008", kErrCanceled, false},       {"HY000", kErrProviderFailed, false}, {"HY001", kErrProviderFailed, false},
        {"IM001", kErrProviderFailed, false}, {"", kErrProviderFailed, false},      {"IM002", kErrUnspecified, false},
    };
    for (const auto& [state, number, perdido] : cases) {
        const QString s = QString::fromLatin1(state);
        EXPECT_EQ(NumberForSqlState(s), number) << state;
        const Error e{NumberForSqlState(s), QStringLiteral("x"), QStringLiteral("ODBC"), s, 0};
        EXPECT_EQ(IsLinkLost(e), perdido) << state;
    }
}

TEST(OdbcCodes, SqlTypesBecomeAdoTypes)
{
    struct Caso {
        int sqlType;
        const char* typeName;
        int adoType;
    };
    const Caso cases[] = {
        // SQL Server reports money as a decimal; only the type name tells.
        {SQL_DECIMAL, "money", adCurrency},
        {SQL_DECIMAL, "smallmoney", adCurrency},
        {SQL_DECIMAL, "decimal", adNumeric},
        {SQL_NUMERIC, "", adNumeric},
        {SQL_WVARCHAR, "", adVarWChar},
        {SQL_DATETIME, "", adDBTimeStamp},
        // SQL Server's tinyint is unsigned: 200 must be a value it takes.
        {SQL_TINYINT, "tinyint", adUnsignedTinyInt},
    };
    for (const auto& [sqlType, typeName, adoType] : cases)
        EXPECT_EQ(odbcAdoType(sqlType, QString::fromLatin1(typeName)), adoType) << sqlType << " " << typeName;
}

// ---------------------------------------------------------------------------
// The engine against a SQLite file through Debian's SQLite3 ODBC driver.

class OdbcSqlite : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        info.driver = QStringLiteral("SQLite3");
        info.database = dir.filePath(QStringLiteral("prueba.db"));
        try {
            engine->open(info, {}, {}, 5);
        } catch (const AdoException& e) {
            if (e.error().SQLState == u"IM002") GTEST_SKIP() << "SQLite3 ODBC driver not installed";
            throw;
        }
        run("CREATE TABLE t_a_b (id INTEGER PRIMARY KEY, nombre VARCHAR(40) NOT NULL, importe DOUBLE, "
            "cantidad INTEGER, alta TIMESTAMP, activo BIT, nota TEXT)");
    }
    Rowset run(const char* sql, const std::vector<Variant>& params = {})
    {
        return engine->run(QString::fromUtf8(sql), params, 0);
    }
    long long count() { return run("SELECT COUNT(*) FROM t_a_b").cells.at(0).toInt64(); }
    void insert(const QString& name) { run("INSERT INTO t_a_b (nombre) VALUES (?)", {Variant(name)}); }

    QTemporaryDir dir;
    ConnectionInfo info;
    std::unique_ptr<Engine> engine = makeOdbcEngine();
};

TEST_F(OdbcSqlite, ParametersRoundTripWithTheirTypes)
{
    const QDateTime when(QDate(2006, 1, 31), QTime(13, 45, 10, 250));
    const QString name = QStringLiteral("O'Brien, ñandú €");
    const Rowset ins = run("INSERT INTO t_a_b (nombre, importe, cantidad, alta, activo, nota) VALUES (?,?,?,?,?,?)",
                           {Variant(name), Variant(1234.5), Variant(7LL), Variant(when), Variant(true), Variant::Null()});
    EXPECT_EQ(ins.affected, 1);
    EXPECT_FALSE(ins.returnsRows);

    const Rowset rs = run("SELECT id, nombre, importe, cantidad, alta, activo, nota FROM t_a_b");
    ASSERT_EQ(rs.rowCount(), 1u);
    EXPECT_TRUE(rs.returnsRows);
    EXPECT_EQ(rs.affected, -1);
    const auto& c = rs.cells;
    EXPECT_EQ(c[0].type(), VarType::Integer);
    EXPECT_EQ(c[1].type(), VarType::Text);
    EXPECT_EQ(c[1].toString(), name);
    EXPECT_EQ(c[2].type(), VarType::Double);
    EXPECT_DOUBLE_EQ(c[2].toDouble(), 1234.5);
    EXPECT_EQ(c[3].type(), VarType::Integer);
    EXPECT_EQ(c[3].toInt64(), 7);
    EXPECT_EQ(c[4].type(), VarType::Date);
    EXPECT_EQ(c[4].toDateTime(), when);
    EXPECT_EQ(c[5].type(), VarType::Boolean);
    EXPECT_TRUE(c[5].toBool());
    EXPECT_TRUE(c[6].isNull());

    EXPECT_EQ(rs.columns[1].name, QStringLiteral("nombre"));
    EXPECT_EQ(rs.columns[1].type, adVarChar);
    EXPECT_EQ(rs.columns[1].definedSize, 40);
    EXPECT_FALSE(rs.columns[1].nullable);
    EXPECT_EQ(rs.columns[2].type, adDouble);
    EXPECT_EQ(rs.columns[4].type, adDBTimeStamp);
    EXPECT_EQ(rs.columns[5].type, adBoolean);
}

TEST_F(OdbcSqlite, ColumnsKnowWhereTheyComeFrom)
{
    insert(QStringLiteral("x"));
    const Rowset rs = run("SELECT id, nombre, 1 + 1 AS dos FROM t_a_b");
    ASSERT_EQ(rs.columns.size(), 3u);
    EXPECT_EQ(rs.columns[0].baseTable, QStringLiteral("t_a_b"));
    EXPECT_EQ(rs.columns[1].baseColumn, QStringLiteral("nombre"));
    // The key is a catalog read, asked for only when a row is written back.
    EXPECT_FALSE(rs.keysKnown);
    EXPECT_EQ(engine->primaryKeys(QStringLiteral("t_a_b")), QStringList{QStringLiteral("id")});
    EXPECT_TRUE(rs.columns[2].baseTable.isEmpty());
    // Rows only read skip where their columns come from.
    EXPECT_TRUE(engine->run(QStringLiteral("SELECT id, nombre FROM t_a_b"), {}, 0, false).columns[0].baseTable.isEmpty());
    EXPECT_EQ(rs.cells[2].toInt64(), 2);
}

TEST_F(OdbcSqlite, LongTextArrivesWhole)
{
    // Longer than one read, with surrogate pairs on both sides of every piece boundary.
    QString text;
    while (text.size() < 9000) text += QStringLiteral("ab\U0001F600ñ");
    run("INSERT INTO t_a_b (nombre, nota) VALUES ('x', ?)", {Variant(text)});
    EXPECT_EQ(run("SELECT nota FROM t_a_b").cells.at(0).toString(), text);
    EXPECT_EQ(run("SELECT nota FROM t_a_b WHERE nota = ?", {Variant(text)}).rowCount(), 1u);
}

// SQLite's driver answers HY000 to every failure; its result code and
// message are what tell the classes callers branch on.
TEST_F(OdbcSqlite, TheDriversGenericStateIsMadePrecise)
{
    run("CREATE UNIQUE INDEX ix_nombre ON t_a_b (nombre)");
    insert(QStringLiteral("a"));
    struct Caso {
        const char* sql;
        const char* state;
        std::int32_t number;
    };
    const Caso cases[] = {
        {"SELEC nombre FROM t_a_b", "42000", kErrSyntax},
        {"SELECT * FROM no_existe", "42S02", kErrNoTable},
        {"SELECT no_hay FROM t_a_b", "42S22", kErrSyntax},
        {"INSERT INTO t_a_b (nombre) VALUES ('a')", "23000", kErrIntegrity},
    };
    for (const auto& [sql, state, number] : cases) {
        const Error e = errorOf([&] { run(sql); });
        EXPECT_EQ(e.SQLState, QString::fromLatin1(state)) << sql;
        EXPECT_EQ(e.Number, number) << sql;
    }
}

TEST_F(OdbcSqlite, ConnectionFacts)
{
    EXPECT_EQ(engine->dbmsName(), QStringLiteral("SQLite"));
    EXPECT_EQ(engine->quoteIdentifier(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\""));
    insert(QStringLiteral("a"));
    insert(QStringLiteral("b"));
    const Variant id = engine->lastInsertId();
    EXPECT_EQ(id.type(), VarType::Integer);
    EXPECT_EQ(id.toInt64(), 2);
}

TEST(OdbcEngineClosed, RefusesWork)
{
    auto engine = makeOdbcEngine();
    EXPECT_FALSE(engine->isOpen());
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { engine->run(QStringLiteral("SELECT 1"), {}, 0); }, [&] { engine->commit(); },
             [&] { engine->columns(QStringLiteral("t")); }, [&] { engine->currentDatabase(); }})
        EXPECT_EQ(errorOf(call).Number, kErrConnectionInvalid);
    engine->close();  // harmless when already closed
}
