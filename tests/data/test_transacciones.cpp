// A failing statement inside a transaction: an ordinary error leaves the
// transaction and the connection alone on every engine; a lost link is
// repaired, but the lost transaction is reported, never hidden.
#include "../sesion_db.h"

#include "adodb/recordset.h"

using adodb::AdoException;

namespace {

enum class Motor { Embebido, OdbcSqlite };

std::string nombre(const ::testing::TestParamInfo<Motor>& i)
{
    return i.param == Motor::Embebido ? "Embebido" : "OdbcSqlite";
}

}  // namespace

class Transacciones : public SesionDb, public ::testing::WithParamInterface<Motor> {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        prepara(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, v VARCHAR(10))"));
        const QString cadena =
            GetParam() == Motor::Embebido ? CadenaDeArchivo(path) : QStringLiteral("Driver=SQLite3;Database=%1;").arg(path);
        try {
            DB().gCnn.Open(cadena);
        } catch (const AdoException& e) {
            if (e.error().SQLState == QLatin1String("IM002")) GTEST_SKIP() << "SQLite3 ODBC driver not installed";
            throw;
        }
        DB().gOpenFlag = true;
        DB().gEsAdmin = true;
    }
    long long filas()
    {
        adodb::Recordset rs = DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM t"));
        return rs.Fields(0).Value().toInt64();
    }
};

TEST_P(Transacciones, AnOrdinaryErrorInAbrirRecordsetLeavesTheTransactionAndTheConnectionAlone)
{
    adodb::Connection& cn = DB().gCnn;
    cn.BeginTrans();
    cn.Execute(QStringLiteral("INSERT INTO t (id, v) VALUES (1, 'uno')"));
    adodb::Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM no_existe"), rs);  // the error box: Abort
    // A database that refuses writes: an error that used to pass for a lost link.
    cn.Execute(QStringLiteral("PRAGMA query_only = 1"));
    DB().AbrirRecordset(QStringLiteral("UPDATE t SET v = 'dos'"), rs);
    cn.Execute(QStringLiteral("PRAGMA query_only = 0"));
    ASSERT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_NO_THROW(cn.CommitTrans());
    EXPECT_EQ(filas(), 1);
}

TEST_P(Transacciones, ALinkLostInsideATransactionIsRepairedButTheLossIsReportedAtCommit)
{
    adodb::Connection& cn = DB().gCnn;
    cn.BeginTrans();
    cn.Execute(QStringLiteral("INSERT INTO t (id, v) VALUES (1, 'uno')"));
    cn.BreakLinkForTest();
    adodb::Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM t"), rs);
    // Reconnected without asking; the statement then meets the lost transaction.
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(cn.State(), adodb::adStateOpen);
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_TRUE(guion.op.preguntas.front().texto.contains(QStringLiteral("transacción")))
        << guion.op.preguntas.front().texto.toStdString();
    try {
        cn.CommitTrans();
        ADD_FAILURE() << "the commit of a lost transaction succeeded";
    } catch (const AdoException& e) {
        EXPECT_EQ(e.error().Number, adodb::kErrTransactionLost);
    }
    EXPECT_EQ(filas(), 0);
}

TEST_P(Transacciones, ACommitOrRollbackThatMetTheLostLinkEndsTheTransactionSoTheReopenedConnectionWorks)
{
    adodb::Connection& cn = DB().gCnn;
    for (const bool confirma : {true, false}) {
        SCOPED_TRACE(confirma ? "commit" : "rollback");
        cn.BeginTrans();
        cn.Execute(QStringLiteral("INSERT INTO t (id, v) VALUES (1, 'uno')"));
        cn.BreakLinkForTest();
        EXPECT_THROW(confirma ? cn.CommitTrans() : cn.RollbackTrans(), AdoException);
        // Its owner was told; the reopened connection must not refuse what comes next.
        DB().ReintentaConectar();
        ASSERT_TRUE(DB().gOpenFlag);
        EXPECT_NO_THROW(EXPECT_EQ(filas(), 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Motores, Transacciones, ::testing::Values(Motor::Embebido, Motor::OdbcSqlite), nombre);
