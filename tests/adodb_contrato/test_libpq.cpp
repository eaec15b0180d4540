// PostgreSQL through libpq: what the engine translates on its own, and what
// it sends the server (counted in the server's log) where the contract
// cannot see it.
#include "adodb/pq_engine.h"
#include "adodb/pq_engine_p.h"
#include "motores.h"

#include <QRegularExpression>
#include <chrono>
#include <functional>
#include <thread>

using namespace adodb;

namespace {

// The server writes its log a moment after it answers.
void EsperaRegistro()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

QString Valor(const pq::Params& p, const char* clave)
{
    for (const auto& [k, v] : p)
        if (k == clave) return QString::fromUtf8(v);
    return QStringLiteral("<ninguno>");
}

}  // namespace

TEST(LibpqRuta, OnlyAStringNamingPostgresItselfTakesLibpq)
{
    const struct {
        const char* cadena;
        bool libpq;
    } casos[] = {
        {"PROVIDER=SQLOLEDB;Server=pg:dbhost,5432;Database =conta;UId=a;Pwd=b;", true},
        {"Provider=PostgreSQL;Server=dbhost;Database=conta;", true},
        {"PROVIDER=SQLOLEDB;Server=pg:dbhost;Database =conta;Driver={PostgreSQL Unicode};", false},
        {"DSN=conta;Server=pg:dbhost;", false},
        {"PROVIDER=SQLOLEDB;Server=SRV01;Database =conta;", false},
    };
    for (const auto& c : casos)
        EXPECT_EQ(NamesPostgresDirectly(ConnectionInfo::parse(QString::fromLatin1(c.cadena))), c.libpq) << c.cadena;
}

TEST(LibpqRuta, ServerFormsAndTheAdministratorsExtrasBecomeLibpqKeywords)
{
    const std::vector<QByteArray> conocidas{"host", "port", "dbname", "user", "password", "sslmode", "options"};
    const struct {
        const char* cadena;
        const char* host;
        const char* puerto;
    } casos[] = {
        {"Server=pg:dbhost,5432;", "dbhost", "5432"},
        {"Server=pg: ::1 ;", "::1", "<ninguno>"},
        {"Server=pg:(local);", "localhost", "<ninguno>"},
        {"Server=pg:;", "localhost", "<ninguno>"},
    };
    for (const auto& c : casos) {
        const pq::Params p = pq::connectionParams(ConnectionInfo::parse(QString::fromLatin1(c.cadena)), 15, 30, conocidas);
        EXPECT_EQ(Valor(p, "host"), QString::fromLatin1(c.host)) << c.cadena;
        EXPECT_EQ(Valor(p, "port"), QString::fromLatin1(c.puerto)) << c.cadena;
    }
    const pq::Params p = pq::connectionParams(
        ConnectionInfo::parse(QStringLiteral("Server=pg:h;Database =conta;UId=ana;Pwd=\"a;b\";SSLmode={disable};Encrypt=yes;")),
        1, 360, conocidas);
    EXPECT_EQ(Valor(p, "dbname"), QStringLiteral("conta"));
    EXPECT_EQ(Valor(p, "user"), QStringLiteral("ana"));
    EXPECT_EQ(Valor(p, "password"), QStringLiteral("a;b"));
    EXPECT_EQ(Valor(p, "sslmode"), QStringLiteral("disable"));
    EXPECT_EQ(Valor(p, "encrypt"), QStringLiteral("<ninguno>")) << "libpq refuses keywords it does not know";
    EXPECT_EQ(Valor(p, "connect_timeout"), QStringLiteral("2"));
    EXPECT_TRUE(Valor(p, "options").contains(QStringLiteral("statement_timeout=360000"))) << qPrintable(Valor(p, "options"));
}

TEST(LibpqValores, TheServersTextBecomesTheVariantAdoExpects)
{
    const QDate cero(1899, 12, 30);
    const struct {
        pq::Decode como;
        const char* texto;
        Variant esperado;
    } casos[] = {
        {pq::Decode::Integer, "-9007199254740993", Variant(-9007199254740993LL)},
        {pq::Decode::Double, "12.5", Variant(12.5)},
        {pq::Decode::Double, "0.1", Variant(0.1)},
        {pq::Decode::Money, "-$1,234.50", Variant(-1234.5)},
        {pq::Decode::Boolean, "t", Variant(true)},
        {pq::Decode::Boolean, "f", Variant(false)},
        {pq::Decode::Date, "2026-01-31", Variant(QDateTime(QDate(2026, 1, 31), QTime(0, 0)))},
        {pq::Decode::Time, "10:20:30.25+03", Variant(QDateTime(cero, QTime(10, 20, 30, 250)))},
        {pq::Decode::Timestamp, "2026-01-31 10:20:30.123456", Variant(QDateTime(QDate(2026, 1, 31), QTime(10, 20, 30, 123)))},
        {pq::Decode::Timestamp, "2026-01-31 10:20:30-03", Variant(QDateTime(QDate(2026, 1, 31), QTime(10, 20, 30)))},
        {pq::Decode::Timestamp, "infinity", Variant(QStringLiteral("infinity"))},
        {pq::Decode::Text, "Ñandú €", Variant(QStringLiteral("Ñandú €"))},
    };
    for (const auto& c : casos) {
        const Variant v = pq::decode(c.como, c.texto, static_cast<int>(qstrlen(c.texto)));
        EXPECT_EQ(v.type(), c.esperado.type()) << c.texto;
        EXPECT_TRUE(v == c.esperado) << c.texto << " -> " << v.toString().toStdString();
    }
    EXPECT_EQ(pq::adoType(1043), adVarWChar);
    EXPECT_EQ(pq::definedSize(1043, 4 + 15), 15);
    EXPECT_EQ(pq::definedSize(1043, -1), 0) << "varchar without a length has none";
    EXPECT_EQ(pq::definedSize(1700, ((19 << 16) | 4) + 4), 19);
}

TEST(LibpqValores, ParametersGoAsTextTheServerReadsBack)
{
    const struct {
        Variant valor;
        const char* texto;  // nullptr: NULL
    } casos[] = {
        {Variant(0.1), "0.1"},
        {Variant(-7LL), "-7"},
        {Variant(true), "1"},
        {Variant(QDateTime(QDate(2026, 12, 9), QTime(8, 0, 0, 5))), "2026-12-09 08:00:00.005"},
        {Variant(QStringLiteral("año")), "año"},
        {Variant::Null(), nullptr},
        {Variant(), nullptr},
        {Variant(QDateTime()), nullptr},
    };
    for (const auto& c : casos) {
        QByteArray texto;
        const bool presente = pq::encode(c.valor, texto);
        EXPECT_EQ(presente, c.texto != nullptr) << c.valor.toString().toStdString();
        if (c.texto) {
            EXPECT_EQ(texto, QByteArray(c.texto));
        }
    }
}

TEST(LibpqSentencias, PlaceholdersAreNumberedOutsideLiteralsAndBatchesAreToldApart)
{
    const struct {
        const char* sql;
        const char* texto;
        int parametros;
        bool lote;
        bool definicion;
    } casos[] = {
        {"SELECT '?', \"a?\" FROM T WHERE A = ? AND B=?", "SELECT '?', \"a?\" FROM T WHERE A = $1 AND B=$2", 2, false, false},
        {"UPDATE T SET A = ?;", "UPDATE T SET A = $1;", 1, false, false},
        {"SELECT 1; SELECT 2", "SELECT 1; SELECT 2", 0, true, false},
        {"SELECT 'a;b' -- ; c\n", "SELECT 'a;b'  \n", 0, false, false},
        {"ALTER TABLE T ADD X int", "ALTER TABLE T ADD X int", 0, false, true},
        {"SELECT created FROM T", "SELECT created FROM T", 0, false, false},
    };
    for (const auto& c : casos) {
        const pq::Statement st = pq::prepare(QString::fromUtf8(c.sql));
        EXPECT_EQ(st.text, QString::fromUtf8(c.texto)) << c.sql;
        EXPECT_EQ(st.placeholders, c.parametros) << c.sql;
        EXPECT_EQ(st.batch, c.lote) << c.sql;
        EXPECT_EQ(st.definition, c.definicion) << c.sql;
    }
}

// ---------------------------------------------------------------------------
// Against the test server: what reaches it, and how its failures come back.

class LibpqServidor : public ::testing::TestWithParam<Motor> {
protected:
    void SetUp() override
    {
        QString motivo;
        if (!base.Prepara(GetParam(), &motivo)) GTEST_SKIP() << qPrintable(motivo);
        ServidorPg* s = base.servidor();
        ASSERT_TRUE(s->Psql(base.base(), QStringLiteral("CREATE TABLE t (id serial PRIMARY KEY, x varchar(10) COLLATE ci); "
                                                        "INSERT INTO t (x) VALUES ('uno'), ('dos'); "
                                                        "ALTER DATABASE \"%1\" SET log_statement = 'all'")
                                             .arg(base.base())))
            << qPrintable(s->error());
        cn.Open(base.Cadena());
        ASSERT_EQ(cn.DbmsName(), QStringLiteral("PostgreSQL"));
    }
    /// What the server ran of this database since the last call, in order.
    QStringList Recibidas()
    {
        QFile f(base.servidor()->ArchivoRegistro());
        if (!f.open(QIODevice::ReadOnly)) return {};
        f.seek(leido_);
        const QByteArray nuevo = f.readAll();
        leido_ += nuevo.size();
        static const QRegularExpression linea(QStringLiteral("LOG:  (?:statement|execute [^:]*): (.*)$"));
        QStringList r;
        for (const QString& l : QString::fromUtf8(nuevo).split(u'\n'))
            if (const auto m = linea.match(l); m.hasMatch()) r << m.captured(1).simplified();
        return r;
    }
    void Olvida() { Recibidas(); }

    BaseDePrueba base;
    Connection cn;
    qint64 leido_ = 0;
};

TEST_P(LibpqServidor, AWriteTransactionCostsItsOwnStatementsOnly)
{
    // What the open sent is read first.
    cn.Execute(QStringLiteral("SELECT 1"));
    EsperaRegistro();
    Olvida();
    cn.BeginTrans();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM t WHERE x = 'UNO'"), &cn, adOpenKeyset, adLockOptimistic);
    rs.Fields(QStringLiteral("x")).setValue(QStringLiteral("uno!"));
    rs.Update();
    rs.AddNew();
    rs.Fields(QStringLiteral("x")).setValue(QStringLiteral("tres"));
    rs.Update();
    EXPECT_EQ(rs.Fields(QStringLiteral("id")).Value().toInt64(), 3) << "the generated key comes back";
    cn.CommitTrans();
    // A transaction in which nothing ran costs nothing.
    cn.BeginTrans();
    cn.RollbackTrans();
    EsperaRegistro();
    const QStringList enviadas = Recibidas();
    // BEGIN goes in one message with the first statement; the table's definition is read once.
    const QStringList esperadas = {"BEGIN;SELECT", "SELECT c.oid", "UPDATE", "INSERT", "SELECT lastval()", "COMMIT"};
    ASSERT_EQ(enviadas.size(), esperadas.size()) << qPrintable(enviadas.join(u'\n'));
    for (qsizetype i = 0; i < esperadas.size(); ++i) EXPECT_TRUE(enviadas[i].startsWith(esperadas[i])) << qPrintable(enviadas[i]);

    // Read again for writing: the table is known by now.
    Recordset otra;
    otra.Open(QStringLiteral("SELECT * FROM t"), &cn, adOpenKeyset, adLockOptimistic);
    EsperaRegistro();
    EXPECT_EQ(Recibidas().size(), 1);
}

TEST_P(LibpqServidor, AFailedStatementLosesTheTransactionAndCommitSaysSo)
{
    cn.BeginTrans();
    cn.Execute(QStringLiteral("UPDATE t SET x = 'cambiado'"));
    EXPECT_EQ(ErrorDe([&] { cn.Execute(QStringLiteral("SELECT * FROM no_existe")); }).Number, kErrNoTable);
    const Error e = ErrorDe([&] { cn.CommitTrans(); });
    EXPECT_TRUE(IsTransactionLost(e)) << e.Number << " " << e.Description.toStdString();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM t WHERE x = 'cambiado'"), &cn);
    EXPECT_EQ(rs.Fields(0).Value().toInt64(), 0);
}

TEST_P(LibpqServidor, ALostLinkIsToldAsOneAndTheTimeOutRidesOnTheLogin)
{
    // Ended from the server's side: the next statement learns the link is gone.
    ASSERT_TRUE(base.servidor()->TerminaSesiones(base.base()));
    const Error perdido = ErrorDe([&] { cn.Execute(QStringLiteral("SELECT 1")); });
    EXPECT_TRUE(IsLinkLost(perdido)) << perdido.SQLState.toStdString() << " " << perdido.Description.toStdString();
    EXPECT_EQ(perdido.Number, kErrUnspecified);
    cn.Close();

    // The time-out is the login's: no SET goes to the server for it.
    cn.CommandTimeout = 1;
    cn.Open(base.Cadena());
    EsperaRegistro();
    Olvida();
    const Error tarde = ErrorDe([&] { cn.Execute(QStringLiteral("SELECT pg_sleep(5)")); });
    EXPECT_EQ(tarde.SQLState, QStringLiteral("57014"));
    EXPECT_EQ(tarde.Number, kErrCanceled);
    EXPECT_FALSE(tarde.Description.isEmpty());
    EsperaRegistro();
    EXPECT_EQ(Recibidas(), QStringList{QStringLiteral("SELECT pg_sleep(5)")});
    // Changed on a live connection, it is sent with the next statement.
    cn.CommandTimeout = 30;
    Recordset rs;
    rs.Open(QStringLiteral("SELECT pg_sleep(1.5), 7"), &cn);
    EXPECT_EQ(rs.Fields(1).Value().toInt64(), 7);
}

TEST_P(LibpqServidor, TextWithNulIsRefusedBeforeItLeaves)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM t"), &cn, adOpenKeyset, adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("x")).setValue(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    const Error e = ErrorDe([&] { rs.Update(); });
    EXPECT_EQ(e.SQLState, QStringLiteral("22021"));
    EXPECT_TRUE(e.Description.contains(QStringLiteral("carácter nulo")));
}

INSTANTIATE_TEST_SUITE_P(Libpq, LibpqServidor, ::testing::Values(Motor::PostgreSqlLibpq), NombreMotor);
