// Selection formulas and conditions turned into SQL, checked as text where the
// text matters and as rows on a real database where the meaning does.
#include "reports/expresion.h"

#include "../sesion_db.h"
#include "adodb/recordset.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <set>

using namespace reportes;

TEST(Formula, TranslatesFieldsComparisonsAndLogic)
{
    EXPECT_EQ(
        FormulaASql(QStringLiteral("({ma_cuentas.codigo} < '1000' OR {ma_cuentas.codigo} > '1999') and not {ma_cuentas.titulo}"),
                    QStringLiteral("MA_CUENTAS")),
        "(codigo < '1000' OR codigo > '1999') AND NOT (titulo <> 0)");
    EXPECT_EQ(FormulaASql(QStringLiteral("{T.A} >= 5 Or ({T.B} = \"x\" AND {T.C} != true)"), QStringLiteral("t")),
              "A >= 5 OR (B = 'x' AND C <> 1)");
    EXPECT_EQ(FormulaASql(QStringLiteral("UpperCase(trim({T.A})) = 'AB'")), "UPPER(TRIM(T.A)) = 'AB'");
    EXPECT_EQ(FormulaASql(QStringLiteral("   ")), "");
}

TEST(Formula, QuotedTextsNeverLeaveTheirLiteral)
{
    // Doubled quotes are one quote inside the text, and come out doubled again.
    EXPECT_EQ(FormulaASql(QStringLiteral("{T.D} = 'O''Brien'' OR ''1''=''1'"), QStringLiteral("T")),
              "D = 'O''Brien'' OR ''1''=''1'");
    EXPECT_EQ(FormulaASql(QStringLiteral("{T.D} = \"it's; DROP TABLE T; --\""), QStringLiteral("T")),
              "D = 'it''s; DROP TABLE T; --'");
    EXPECT_EQ(FormulaASql(QStringLiteral("{T.D} = '{T.X} and ( not'"), QStringLiteral("t")), "D = '{T.X} and ( not'");
}

TEST(Formula, RejectsWhatItCannotTranslateSafely)
{
    const char* malas[] = {
        "{T.A} = 'sin cerrar",
        "{T.A; DROP TABLE T} = 1",
        "{T.A} = 1 ; DELETE FROM T",
        "({T.A} = 1",
        "{T.A} = 1)",
        "{T.A} = ",
        "and {T.A}",
        "exec({T.A}) = 1",
        "'solo un texto'",
        "{T.A} = 1 -- comentario",
    };
    for (const char* f : malas) EXPECT_THROW(FormulaASql(QString::fromLatin1(f)), ErrorFormula) << f;
    // A table other than the report's own cannot be reached through the formula.
    EXPECT_THROW(FormulaASql(QStringLiteral("{TA_USUARIOS.CLAVE} = 'x'"), QStringLiteral("MA_CUENTAS")), ErrorFormula);
}

TEST(Formula, DeepNestingIsRefusedClearlyInsteadOfOverflowingTheStack)
{
    // Each of these, thirty thousand deep, used to end the program.
    const QString campo = QStringLiteral("{T.A}");
    const QStringList profundas = {
        QStringLiteral("(").repeated(30000) + campo + QStringLiteral(" = 1") + QStringLiteral(")").repeated(30000),
        QStringLiteral("not ").repeated(15000) + campo,
        QStringLiteral("trim(").repeated(20000) + campo + QStringLiteral(")").repeated(20000) + QStringLiteral(" = 'x'"),
    };
    for (const QString& f : profundas) {
        try {
            FormulaASql(f);
            ADD_FAILURE() << "translated: " << f.left(40).toStdString();
        } catch (const ErrorFormula& e) {
            EXPECT_TRUE(e.texto().contains(QStringLiteral("niveles"))) << e.texto().toStdString();
        }
    }
    // A stored statement that deep is left for the engine to refuse.
    const QString sentencia = QStringLiteral("SELECT * FROM T WHERE ") + QStringLiteral("(").repeated(30000) +
                              QStringLiteral("A = 1") + QStringLiteral(")").repeated(30000);
    EXPECT_EQ(CompactaSentencia(sentencia), sentencia);
    // Nesting within reason still translates.
    const QString razonable = FormulaASql(QStringLiteral("(").repeated(150) + QStringLiteral("not ").repeated(40) + campo +
                                          QStringLiteral(")").repeated(150));
    EXPECT_EQ(razonable.count(QStringLiteral("NOT (")), 40);
    EXPECT_TRUE(razonable.contains(QStringLiteral("(T.A <> 0)"))) << razonable.toStdString();
}

TEST(Formula, SortFields)
{
    EXPECT_EQ(CampoOrden(QStringLiteral("+{MA_CUENTAS.CODIGO}"), QStringLiteral("ma_cuentas")), "CODIGO ASC");
    EXPECT_EQ(CampoOrden(QStringLiteral(" -{MA_CUENTAS.DESCRIPCION}"), QStringLiteral("MA_CUENTAS")), "DESCRIPCION DESC");
    EXPECT_EQ(CampoOrden(QStringLiteral("")), "");
    EXPECT_THROW(CampoOrden(QStringLiteral("+{MA_CUENTAS.CODIGO} desc, (select 1)")), ErrorFormula);
}

TEST(Formula, AStatementWithoutLongChainsIsLeftAsWritten)
{
    const QString s =
        QStringLiteral("select CODIGO from ma_cuentas where (ltrim(codigo)< '1' OR ltrim(codigo)> '2') and titulo = 0");
    EXPECT_EQ(CompactaSentencia(s), s);
    EXPECT_EQ(CompactaSentencia(QStringLiteral("select 1 where ")), "select 1 where ");
    EXPECT_EQ(CompactaSentencia(QStringLiteral("select x from t where a = 'where b'")), "select x from t where a = 'where b'");
}

// ---------------------------------------------------------------------------
// Long selections on a real database: the folded statement must return exactly
// the rows of the clause-per-title statement, on ranges that overlap, touch,
// nest, come reversed or repeat.

namespace {

struct Rango {
    QString desde, hasta;
};

class SeleccionLarga : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        // 3,000 accounts: codes of 6 digits, a few with leading blanks, every
        // seventh a heading.
        prepara(QStringLiteral(
            "CREATE TABLE MA_CUENTAS (Codigo varchar(15) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(60), DV varchar(1), titulo "
            "bit);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO MA_CUENTAS SELECT CASE WHEN i % 97 = 0 THEN '  ' ELSE '' END || printf('%06d', i * 7), 'Cuenta ' || i, "
            "CAST(i % 10 AS TEXT), i % 7 = 0 FROM n"));
        conecta();
    }

    std::vector<Rango> rangos(int n, quint32 semilla)
    {
        QRandomGenerator g(semilla);
        std::vector<Rango> r;
        for (int i = 0; i < n; ++i) {
            const int a = g.bounded(0, 21500), largo = g.bounded(0, 60);
            Rango x{QString::asprintf("%06d", a), QString::asprintf("%06d", a + largo)};
            if (i % 13 == 0) std::swap(x.desde, x.hasta);  // reversed: covers nothing
            if (i % 17 == 0 && !r.empty()) x = r.back();   // the same range twice
            r.push_back(x);
        }
        return r;
    }

    static QString condicionSql(const std::vector<Rango>& r)
    {
        QStringList partes;
        for (const auto& x : r) partes << QStringLiteral("(ltrim(codigo)< '%1' OR ltrim(codigo)> '%2')").arg(x.desde, x.hasta);
        return partes.join(QStringLiteral(" AND ")) + QStringLiteral(" and titulo = 0");
    }

    std::set<QString> codigos(const QString& sql)
    {
        adodb::Recordset rs = DB().gCnn.Execute(sql);
        std::set<QString> r;
        for (; !rs.EOF_(); rs.MoveNext()) r.insert(rs.Fields(0).Value().toString());
        return r;
    }

    // What the clauses mean, worked out here without SQL.
    std::set<QString> esperados(const std::vector<Rango>& r)
    {
        std::set<QString> fuera;
        for (const QString& c : codigos(QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE titulo = 0"))) {
            const QString x = QString(c).remove(QRegularExpression(QStringLiteral("^ +")));
            if (std::all_of(r.begin(), r.end(), [&](const Rango& k) { return x < k.desde || x > k.hasta; })) fuera.insert(c);
        }
        return fuera;
    }
};

}  // namespace

TEST_F(SeleccionLarga, FoldedConditionReturnsTheSameRowsAsOneClausePerRange)
{
    for (quint32 semilla : {1u, 7u, 42u}) {
        const auto r = rangos(300, semilla);
        const QString original = QStringLiteral("select CODIGO,DESCRIPCION,DV from ma_cuentas where ") + condicionSql(r);
        const QString compacta = CompactaSentencia(original);
        EXPECT_NE(compacta, original);
        const auto esperado = esperados(r);
        EXPECT_GT(esperado.size(), 100u);
        EXPECT_EQ(codigos(compacta), esperado) << semilla;
        EXPECT_EQ(codigos(original), esperado) << semilla;
        // The embedded engine's own range search means the same again.
        const QString nativa = CompactaSentencia(original, true);
        EXPECT_TRUE(nativa.contains(QStringLiteral("FUERA_DE_RANGOS(LTRIM(codigo), '")));
        EXPECT_EQ(codigos(nativa), esperado) << semilla;
    }
}

TEST_F(SeleccionLarga, ThousandsOfTitlesStayWithinTheParserLimits)
{
    const auto r = rangos(2500, 5);
    const QString original = QStringLiteral("select CODIGO from ma_cuentas where ") + condicionSql(r);
    // The clause-per-title statement is too deep for the embedded engine...
    EXPECT_THROW(codigos(original), adodb::AdoException);
    // ... the folded one runs and means the same.
    EXPECT_EQ(codigos(CompactaSentencia(original)), esperados(r));
    EXPECT_EQ(codigos(CompactaSentencia(original, true)), esperados(r));
}

TEST_F(SeleccionLarga, RangeSearchAtTheEdges)
{
    // Bounds equal to codes, a code equal to a start or an end, an empty
    // start, a NULL, codes shorter and longer than the bounds.
    auto fuera = [&](const QString& x) {
        return DB()
            .gCnn.Execute(QStringLiteral("SELECT FUERA_DE_RANGOS(%1, '000007:000014,000100:000100,0002:00021')").arg(x))
            .Fields(0)
            .Value()
            .toString();
    };
    EXPECT_EQ(fuera(QStringLiteral("'000006'")), "1");
    EXPECT_EQ(fuera(QStringLiteral("'000007'")), "0");
    EXPECT_EQ(fuera(QStringLiteral("'000014'")), "0");
    EXPECT_EQ(fuera(QStringLiteral("'0000140'")), "1");
    EXPECT_EQ(fuera(QStringLiteral("'000100'")), "0");
    EXPECT_EQ(fuera(QStringLiteral("'00010'")), "1");
    EXPECT_EQ(fuera(QStringLiteral("'0002'")), "0");
    EXPECT_EQ(fuera(QStringLiteral("'000200'")), "0");
    EXPECT_EQ(fuera(QStringLiteral("'00021'")), "0");
    EXPECT_EQ(fuera(QStringLiteral("'000210'")), "1");
    EXPECT_EQ(fuera(QStringLiteral("''")), "1");
    // Trailing blanks count for nothing, as in the clauses the search stands for.
    EXPECT_EQ(fuera(QStringLiteral("'000014 '")), "0");
    EXPECT_EQ(fuera(QStringLiteral("'00021   '")), "0");
    EXPECT_EQ(fuera(QStringLiteral("'000006  '")), "1");
    EXPECT_EQ(fuera(QStringLiteral("'000014 1'")), "1");
    EXPECT_EQ(fuera(QStringLiteral("NULL")), "");
    EXPECT_EQ(DB().gCnn.Execute(QStringLiteral("SELECT FUERA_DE_RANGOS('5', ':3')")).Fields(0).Value().toString(), "1");
    EXPECT_EQ(DB().gCnn.Execute(QStringLiteral("SELECT FUERA_DE_RANGOS('', ':3')")).Fields(0).Value().toString(), "0");

    // Letter case and trailing blanks count for nothing at a range's start either.
    const struct {
        const char *x, *rangos, *fuera;
    } casos[] = {
        {"B", "a:c", "0"},           {"CAJA", "caja:cajz", "0"},  {"caja", "CAJA:CAJZ", "0"},
        {"0007", "0007 :0009", "0"}, {"0006", "0007 :0009", "1"}, {"CAJB", "caja :cajz", "0"},
    };
    for (const auto& c : casos) {
        const QString sql = QStringLiteral("SELECT FUERA_DE_RANGOS('%1', '%2')").arg(c.x, c.rangos);
        EXPECT_EQ(DB().gCnn.Execute(sql).Fields(0).Value().toString(), c.fuera) << c.x << " in " << c.rangos;
    }
}

TEST_F(SeleccionLarga, FormulaWithThousandsOfClausesRunsAsAReportSelection)
{
    const auto r = rangos(2500, 9);
    QStringList partes;
    for (const auto& x : r)
        partes << QStringLiteral("({ma_cuentas.codigo} < '%1' OR {ma_cuentas.codigo} > '%2')").arg(x.desde, x.hasta);
    const QString formula = partes.join(QStringLiteral(" AND ")) + QStringLiteral(" and not {ma_cuentas.titulo}");
    const QString sql =
        QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE ") + FormulaASql(formula, QStringLiteral("MA_CUENTAS"));
    // Formula comparisons take the column as stored: codes with leading blanks
    // sort before every range, so they are always outside.
    std::set<QString> esperado;
    for (const QString& c : codigos(QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE titulo = 0")))
        if (std::all_of(r.begin(), r.end(), [&](const Rango& k) { return c < k.desde || c > k.hasta; })) esperado.insert(c);
    EXPECT_EQ(codigos(sql), esperado);
    const QString nativa = FormulaASql(formula, QStringLiteral("MA_CUENTAS"), true);
    EXPECT_TRUE(nativa.contains(QStringLiteral("+codigo < '")));
    EXPECT_EQ(codigos(QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE ") + nativa), esperado);
}

TEST_F(SeleccionLarga, RangesOfCodesWithLettersAreNotMergedButStillRun)
{
    // Letter case orders differently under each collation, so such ranges are
    // tested clause by clause; the statement must still be shallow enough.
    std::vector<Rango> r;
    for (int i = 0; i < 1500; ++i) r.push_back({QStringLiteral("A%1").arg(i), QStringLiteral("a%1").arg(i)});
    r.push_back({QStringLiteral("000700"), QStringLiteral("000714")});
    const QString original = QStringLiteral("select CODIGO from ma_cuentas where ") + condicionSql(r);
    EXPECT_EQ(codigos(CompactaSentencia(original)), esperados(r));
}
