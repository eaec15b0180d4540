// What keeps data whole under ordinary failures, lost links and a second
// program writing the same rows.
#include "fixture.h"

#include "adodb/sqlite_dialect.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace adodb;

namespace {

template <class F>
Error errorOf(F&& f)
{
    try {
        f();
    } catch (const AdoException& e) {
        return e.error();
    }
    ADD_FAILURE() << "no error raised";
    return {};
}

long long scalar(Connection& cn, const QString& sql)
{
    Recordset rs = cn.Execute(sql);
    return rs.Fields(0).Value().toInt64();
}

}  // namespace

class Integridad : public SqliteFile {
protected:
    void SetUp() override
    {
        SqliteFile::SetUp();
        exec(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, nombre VARCHAR(10) NOT NULL UNIQUE, v INT, s SMALLINT, "
                            "b BIGINT, d FLOAT, alta DATETIME, u TINYINT);"
                            "INSERT INTO t (id, nombre, v) VALUES (1, 'uno', 0);"
                            "CREATE TABLE sinclave (a VARCHAR(5), b INT);"
                            "INSERT INTO sinclave VALUES ('x', 1)"));
    }
    long long count(const char* table) { return scalar(cn, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)); }
};

TEST_F(Integridad, OrdinaryFailuresGetTheirOwnNumbersAndNoneIsTakenForALostLink)
{
    struct Caso {
        const char* sql;
        std::int32_t numero;
    };
    const Caso casos[] = {
        {"SELECT * FROM no_existe", kErrNoTable},
        {"SELEC 1", kErrSyntax},
        {"SELECT columna_ausente FROM t", kErrSyntax},
        {"INSERT INTO t (id, nombre) VALUES (2, NULL)", kErrIntegrity},
        {"INSERT INTO t (id, nombre) VALUES (2, 'uno')", kErrIntegrity},
    };
    for (const Caso& c : casos) {
        const Error e = errorOf([&] { exec(QString::fromLatin1(c.sql)); });
        EXPECT_EQ(e.Number, c.numero) << c.sql;
        EXPECT_FALSE(IsLinkLost(e)) << c.sql;
        EXPECT_EQ(cn.Errors().Count(), 1) << c.sql;
    }

    // A database that may not be written (here: the connection is made query-only).
    exec(QStringLiteral("PRAGMA query_only = 1"));
    Error e = errorOf([&] { exec(QStringLiteral("UPDATE t SET v = 5")); });
    EXPECT_EQ(e.Number, kErrPermission);
    EXPECT_FALSE(IsLinkLost(e));
    exec(QStringLiteral("PRAGMA query_only = 0"));

    // A full disk, as a file that may not grow any further.
    exec(QStringLiteral("CREATE TABLE grande (x TEXT)"));
    const long long paginas = scalar(cn, QStringLiteral("PRAGMA page_count"));
    exec(QStringLiteral("PRAGMA max_page_count = %1").arg(paginas + 1));
    e = errorOf([&] { exec(QStringLiteral("INSERT INTO grande VALUES (zeroblob(200000))")); });
    EXPECT_EQ(e.Number, kErrDiskFull);
    EXPECT_FALSE(IsLinkLost(e));

    // Another program holding the write lock: a time-out, not a lost link.
    Connection otro;
    otro.Open(connString());
    otro.BeginTrans();
    otro.Execute(QStringLiteral("UPDATE t SET v = 9"));
    Connection impaciente;
    impaciente.ConnectionTimeout = 1;
    impaciente.Open(connString());
    e = errorOf([&] { impaciente.Execute(QStringLiteral("UPDATE t SET v = 7")); });
    EXPECT_EQ(e.Number, kErrTimeout);
    EXPECT_FALSE(IsLinkLost(e));
    otro.RollbackTrans();

    // The connection has lived through all of it.
    EXPECT_EQ(cn.State(), adStateOpen);
    EXPECT_EQ(count("t"), 1);
}

TEST_F(Integridad, AnOrdinaryErrorInsideATransactionLeavesItOpen)
{
    cn.BeginTrans();
    exec(QStringLiteral("INSERT INTO t (id, nombre) VALUES (2, 'dos')"));
    errorOf([&] { exec(QStringLiteral("SELECT * FROM no_existe")); });
    cn.CommitTrans();
    EXPECT_EQ(count("t"), 2);
}

TEST_F(Integridad, ATransactionLostWithTheLinkIsReportedAtCommitAndNeverHalfKept)
{
    cn.BeginTrans();
    exec(QStringLiteral("INSERT INTO t (id, nombre) VALUES (2, 'dos')"));
    cn.BreakLinkForTest();
    const Error perdido = errorOf([&] { exec(QStringLiteral("SELECT * FROM t")); });
    EXPECT_TRUE(IsLinkLost(perdido));

    // What the data layer does on a lost link: close and open again.
    cn.Close();
    cn.Open(connString());
    // Work after the loss would be kept while the rest was rolled back: refused.
    Error e = errorOf([&] { exec(QStringLiteral("INSERT INTO t (id, nombre) VALUES (3, 'tres')")); });
    EXPECT_EQ(e.Number, kErrTransactionLost);
    e = errorOf([&] { cn.CommitTrans(); });
    EXPECT_EQ(e.Number, kErrTransactionLost);
    EXPECT_FALSE(IsLinkLost(e));
    EXPECT_EQ(count("t"), 1);

    // Once reported, the connection works as usual.
    cn.BeginTrans();
    exec(QStringLiteral("INSERT INTO t (id, nombre) VALUES (4, 'cuatro')"));
    cn.CommitTrans();
    EXPECT_EQ(count("t"), 2);
}

TEST_F(Integridad, TheTransactionGuardRollsBackUnlessCommitted)
{
    {
        Transaction tx(cn);
        exec(QStringLiteral("INSERT INTO t (id, nombre) VALUES (2, 'dos')"));
    }
    EXPECT_EQ(count("t"), 1);
    try {
        Transaction tx(cn);
        exec(QStringLiteral("INSERT INTO t (id, nombre) VALUES (2, 'dos')"));
        exec(QStringLiteral("INSERT INTO t (id, nombre) VALUES (3, 'dos')"));  // fails: the name is taken
        tx.Commit();
    } catch (const AdoException&) {}
    EXPECT_EQ(count("t"), 1);
    {
        Transaction tx(cn);
        exec(QStringLiteral("INSERT INTO t (id, nombre) VALUES (2, 'dos')"));
        tx.Commit();
    }
    EXPECT_EQ(count("t"), 2);
}

TEST_F(Integridad, UpdateAndDeleteNeverOverwriteWhatAnotherProgramChangedFirst)
{
    Connection otro;
    otro.Open(connString());
    Recordset mio, suyo;
    mio.Open(QStringLiteral("SELECT * FROM t"), &cn, adOpenDynamic, adLockOptimistic);
    suyo.Open(QStringLiteral("SELECT * FROM t"), &otro, adOpenDynamic, adLockOptimistic);

    suyo.Fields(QStringLiteral("v")).setValue(Variant(10));
    suyo.Update();
    mio.Fields(QStringLiteral("v")).setValue(Variant(1));
    EXPECT_EQ(errorOf([&] { mio.Update(); }).Number, kErrRowNotFound);
    mio.CancelUpdate();
    EXPECT_EQ(scalar(cn, QStringLiteral("SELECT v FROM t")), 10);

    // A column the other program did not touch may still be changed.
    mio.Fields(QStringLiteral("nombre")).setValue(Variant(QStringLiteral("primero")));
    mio.Update();
    EXPECT_EQ(scalar(cn, QStringLiteral("SELECT v FROM t WHERE nombre = 'primero'")), 10);

    // The other program's copy of the name is stale now: its change is refused,
    // and so is deleting a row changed since it was read.
    suyo.Fields(QStringLiteral("nombre")).setValue(Variant(QStringLiteral("segundo")));
    EXPECT_EQ(errorOf([&] { suyo.Update(); }).Number, kErrRowNotFound);
    suyo.CancelUpdate();
    EXPECT_EQ(errorOf([&] { suyo.Delete(); }).Number, kErrRowNotFound);
    EXPECT_EQ(count("t"), 1);

    // Without a key, every column as read identifies the row.
    Recordset a, b;
    a.Open(QStringLiteral("SELECT * FROM sinclave"), &cn, adOpenDynamic, adLockOptimistic);
    b.Open(QStringLiteral("SELECT * FROM sinclave"), &otro, adOpenDynamic, adLockOptimistic);
    b.Fields(QStringLiteral("b")).setValue(Variant(2));
    b.Update();
    a.Fields(QStringLiteral("a")).setValue(Variant(QStringLiteral("y")));
    EXPECT_EQ(errorOf([&] { a.Update(); }).Number, kErrRowNotFound);
    EXPECT_EQ(scalar(cn, QStringLiteral("SELECT COUNT(*) FROM sinclave WHERE a = 'x' AND b = 2")), 1);
}

// Two programs each read a counter, add one and write it back, a few hundred
// times: every increment reported as done is in the final value.
TEST_F(Integridad, TwoProcessesIncrementingOneRowLoseNoUpdate)
{
    cn.Close();
    constexpr int kRondas = 300;
    int tubo[2];
    ASSERT_EQ(pipe(tubo), 0);
    std::vector<pid_t> hijos;
    for (int h = 0; h < 2; ++h) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int cuenta[3] = {0, 0, 0};  // done, conflicts, other failures
            try {
                Connection c;
                c.Open(connString());
                for (int i = 0; i < kRondas; ++i) {
                    try {
                        Recordset rs;
                        rs.Open(QStringLiteral("SELECT id, v FROM t WHERE id = 1"), &c, adOpenDynamic, adLockOptimistic);
                        rs.Fields(QStringLiteral("v")).setValue(Variant(rs[QStringLiteral("v")].toInt64() + 1));
                        rs.Update();
                        ++cuenta[0];
                    } catch (const AdoException& e) {
                        ++cuenta[e.error().Number == kErrRowNotFound ? 1 : 2];
                    }
                }
            } catch (...) {
                cuenta[2] = -1;
            }
            const ssize_t escrito = write(tubo[1], cuenta, sizeof cuenta);
            _exit(escrito == sizeof cuenta ? 0 : 1);
        }
        hijos.push_back(pid);
    }
    close(tubo[1]);
    int hechos = 0, conflictos = 0;
    for (size_t h = 0; h < hijos.size(); ++h) {
        int cuenta[3] = {};
        ASSERT_EQ(read(tubo[0], cuenta, sizeof cuenta), static_cast<ssize_t>(sizeof cuenta));
        EXPECT_EQ(cuenta[2], 0) << "failures other than a conflict";
        hechos += cuenta[0];
        conflictos += cuenta[1];
    }
    close(tubo[0]);
    for (pid_t pid : hijos) {
        int estado = 0;
        waitpid(pid, &estado, 0);
        EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
    }
    cn.Open(connString());
    EXPECT_EQ(scalar(cn, QStringLiteral("SELECT v FROM t WHERE id = 1")), hechos);
    EXPECT_EQ(hechos + conflictos, 2 * kRondas);
}

TEST_F(Integridad, NumbersAnIntegerColumnCannotHoldAreConversionErrorsNeverWrapped)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM t"), &cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    auto rechaza = [&](const char* campo, const Variant& v) {
        EXPECT_EQ(errorOf([&] { rs.Fields(QString::fromLatin1(campo)).setValue(v); }).Number, kErrDataConversion)
            << campo << " " << v.toString().toStdString();
    };
    rechaza("v", Variant(9.3e18));
    rechaza("v", Variant(QStringLiteral("2147483648")));
    rechaza("v", Variant(-2147483649LL));
    rechaza("s", Variant(40000));
    rechaza("b", Variant(9.3e18));
    rechaza("b", Variant(QStringLiteral("1e300")));
    rechaza("v", Variant(QStringLiteral("12abc")));
    // SQL Server's tinyint holds 0..255, not a signed byte.
    rechaza("u", Variant(256));
    rechaza("u", Variant(-1));

    rs.Fields(QStringLiteral("id")).setValue(Variant(2));
    rs.Fields(QStringLiteral("nombre")).setValue(Variant(QStringLiteral("dos")));
    rs.Fields(QStringLiteral("v")).setValue(Variant(QStringLiteral("2147483647")));
    rs.Fields(QStringLiteral("s")).setValue(Variant(-32768));
    rs.Fields(QStringLiteral("b")).setValue(Variant(QStringLiteral("9223372036854775807")));
    rs.Fields(QStringLiteral("d")).setValue(Variant(9.3e18));
    rs.Fields(QStringLiteral("u")).setValue(Variant(255));
    rs.Update();
    EXPECT_EQ(scalar(cn, QStringLiteral("SELECT u FROM t WHERE id = 2")), 255);
    EXPECT_EQ(scalar(cn, QStringLiteral("SELECT v FROM t WHERE id = 2")), 2147483647);
    EXPECT_EQ(scalar(cn, QStringLiteral("SELECT b FROM t WHERE id = 2")), 9223372036854775807LL);
    EXPECT_EQ(scalar(cn, QStringLiteral("SELECT s FROM t WHERE id = 2")), -32768);
}

TEST(Traduccion, DeepNestingIsRefusedClearlyAndLongStatementsTranslateWhole)
{
    const QString profundo = QStringLiteral("SELECT * FROM t WHERE ") + QStringLiteral("(").repeated(10000) +
                             QStringLiteral("v = 1") + QStringLiteral(")").repeated(10000);
    const Error e = errorOf([&] { SqlServerToSqlite(profundo); });
    EXPECT_EQ(e.Number, kErrSyntax);
    EXPECT_TRUE(e.Description.contains(QStringLiteral("paréntesis"))) << e.Description.toStdString();

    // Nesting within reason keeps its meaning, TOP included.
    const QString anidado = QStringLiteral("SELECT TOP 3 * FROM t WHERE ") + QStringLiteral("(").repeated(500) +
                            QStringLiteral("nombre = 'a'") + QStringLiteral(")").repeated(500);
    const QString traducido = SqlServerToSqlite(anidado);
    EXPECT_TRUE(traducido.endsWith(QStringLiteral(")") + QStringLiteral(" LIMIT 3"))) << traducido.right(40).toStdString();
    EXPECT_EQ(traducido.count(QStringLiteral("COLLATE CI")), 1);

    QStringList condiciones;
    for (int i = 0; i < 5000; ++i) condiciones << QStringLiteral("(DESDE <= '%1' AND HASTA >= '%1')").arg(i);
    const QString largo = SqlServerToSqlite(QStringLiteral("SELECT TOP 1 * FROM t WITH (NOLOCK) WHERE ") +
                                            condiciones.join(QStringLiteral(" OR ")));
    EXPECT_EQ(largo.count(QStringLiteral("COLLATE CI")), 10000);
    EXPECT_TRUE(largo.endsWith(QStringLiteral(" LIMIT 1")));
    EXPECT_FALSE(largo.contains(QStringLiteral("NOLOCK")));
}

TEST(Traduccion, NestedTopPercentIsRefusedInsteadOfExhaustingMemory)
{
    // Each TOP n PERCENT repeats its own select to count the rows: forty nested
    // would write 2^40 copies of the innermost one.
    const QString anidado =
        QStringLiteral("SELECT TOP 1 PERCENT a FROM (").repeated(40) + QStringLiteral("t") + QStringLiteral(") x").repeated(40);
    const Error e = errorOf([&] { SqlServerToSqlite(anidado); });
    EXPECT_EQ(e.Number, kErrSyntax);
    EXPECT_TRUE(e.Description.contains(QStringLiteral("caracteres"))) << e.Description.toStdString();
    // A few levels are still written out in full.
    const QString dos = SqlServerToSqlite(QStringLiteral("SELECT TOP 10 PERCENT a FROM (SELECT TOP 50 PERCENT a FROM t) x"));
    EXPECT_EQ(dos.count(QStringLiteral("COUNT(*) * 50")), 2);
    EXPECT_EQ(dos.count(QStringLiteral("COUNT(*) * 10")), 1);
}

TEST(Traduccion, TopKeepsItsScopeAcrossSubqueriesUnionsAndStatements)
{
    EXPECT_EQ(SqlServerToSqlite(QStringLiteral("SELECT TOP 2 a FROM (SELECT TOP 5 a FROM t) x; SELECT TOP 1 b FROM u")),
              QStringLiteral("SELECT a FROM (SELECT a FROM t LIMIT 5) x LIMIT 2; SELECT b FROM u LIMIT 1"));
    EXPECT_EQ(SqlServerToSqlite(QStringLiteral("SELECT TOP 50 PERCENT a FROM t")),
              QStringLiteral(
                  "SELECT  a FROM t LIMIT (SELECT CAST((COUNT(*) * 50 + 99.999999) / 100 AS INTEGER) FROM (SELECT  a FROM t))"));
    // An unbalanced text is passed on as it is for the engine to refuse.
    EXPECT_EQ(SqlServerToSqlite(QStringLiteral("SELECT TOP 1 a FROM (t")), QStringLiteral("SELECT a FROM (t LIMIT 1"));
}
