// Each path of the silent reconnection of AbrirRecordset, end to end.
#include "../sesion_db.h"

#include "adodb/recordset.h"

#include <QFile>

namespace {

// Answers the lost-connection box with Yes after putting the database back,
// as an operator does after the network is repaired.
class OperadorQueRepara : public rt::OperadorGuionado {
public:
    std::function<void()> repara;
    int MsgBox(const QString& texto, int botones, const QString& titulo) override
    {
        rt::OperadorGuionado::MsgBox(texto, botones, titulo);
        if (repara) repara();
        return rt::vbYes;
    }
};

}  // namespace

class Reconexion : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        prepara(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, v VARCHAR(10)); INSERT INTO t VALUES (1, 'uno')"));
        conecta();
    }
};

TEST_F(Reconexion, AClosedConnectionAfterAProviderErrorIsReopenedSilently)
{
    // A provider error leaves the collection filled; then the connection is found closed (3709).
    try {
        DB().gCnn.Execute(QStringLiteral("SELECT * FROM no_existe"));
    } catch (const adodb::AdoException&) {}
    ASSERT_GT(DB().gCnn.Errors().Count(), 0);
    DB().gCnn.Close();
    adodb::Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM t"), rs);
    EXPECT_TRUE(guion.op.preguntas.empty()) << guion.op.mensajes().join(" | ").toStdString();
    ASSERT_EQ(rs.State(), adodb::adStateOpen);
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_TRUE(DB().gOpenFlag);
}

TEST_F(Reconexion, WhenTheSilentReopenFailsTheOperatorIsAskedAndYesRetriesUntilItWorks)
{
    const QString aparte = path + QStringLiteral(".aparte");
    OperadorQueRepara op;
    op.repara = [&] { QFile::rename(aparte, path); };
    rt::fijaOperador(&op);
    DB().gCnn.BreakLinkForTest();
    ASSERT_TRUE(QFile::rename(path, aparte));  // the server is gone: reopening fails
    adodb::Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM t"), rs);
    rt::fijaOperador(&guion.op);
    ASSERT_EQ(op.preguntas.size(), 1u);
    EXPECT_TRUE(op.preguntas.front().texto.contains(QStringLiteral("Se perdio la conexion con la base de datos ")));
    EXPECT_EQ(op.preguntas.front().titulo, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_EQ(op.preguntas.front().botones, rt::vbYesNo + rt::vbCritical);
    ASSERT_EQ(rs.State(), adodb::adStateOpen);
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_TRUE(DB().gOpenFlag);
}
