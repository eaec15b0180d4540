#include "lookup/sentencias.h"

#include "../qt_print.h"

#include <gtest/gtest.h>

using Sentencias::Clausula;
using Sentencias::SentenciaArbol;
using Sentencias::SentenciaFiltrada;

TEST(Sentencias, TheClauseIsTheStatementsOwnNeverQuotedOrNested)
{
    EXPECT_EQ(Clausula(QStringLiteral("SELECT A FROM T ORDER BY A"), QStringLiteral("order by")), 16);
    EXPECT_EQ(Clausula(QStringLiteral("SELECT A FROM T WHERE B LIKE '%order by%' ORDER BY A"), QStringLiteral("order by")), 42);
    EXPECT_EQ(Clausula(QStringLiteral("SELECT A FROM T WHERE B = 'it''s order by' "), QStringLiteral("order by")), -1)
        << "a doubled quote does not end the text";
    EXPECT_EQ(Clausula(QStringLiteral("SELECT A, (SELECT TOP 1 X FROM U ORDER BY X) AS R FROM T"), QStringLiteral("order by")),
              -1);
    EXPECT_EQ(Clausula(QStringLiteral("SELECT [order by] FROM T"), QStringLiteral("order by")), -1);
    EXPECT_EQ(Clausula(QStringLiteral("SELECT Somewhere FROM T"), QStringLiteral("where")), -1) << "whole words only";
}

TEST(Sentencias, ListSearchKeepsTheTailAfterTheRealClause)
{
    // A first search whose text holds the words; the next one must still cut at the real ORDER BY.
    const QString base = QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T ORDER BY CODIGO ");
    const QString una = SentenciaFiltrada(base, QStringLiteral("DESCRIPCION"), QStringLiteral("order by"), true);
    EXPECT_EQ(una,
              QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T  where DESCRIPCION like '%order%by%' ORDER BY CODIGO "));
    const QString dos = SentenciaFiltrada(una, QStringLiteral("CODIGO"), QStringLiteral("1"), false);
    EXPECT_EQ(dos, QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T  where DESCRIPCION like '%order%by%'  and CODIGO "
                                  "like '1%' ORDER BY CODIGO "));

    const QString grupo = SentenciaFiltrada(QStringLiteral("SELECT A FROM T WHERE B = 'group by x' GROUP BY A "),
                                            QStringLiteral("A"), QStringLiteral("z"), false);
    EXPECT_EQ(grupo, QStringLiteral("SELECT A FROM T WHERE B = 'group by x'  and A like 'z%' GROUP BY A "));

    // A "where" only inside a text is no WHERE clause.
    EXPECT_EQ(SentenciaFiltrada(QStringLiteral("SELECT A, 'where' AS W FROM T ORDER BY A"), QStringLiteral("A"),
                                QStringLiteral("o'h"), false),
              QStringLiteral("SELECT A, 'where' AS W FROM T  where A like 'o''h%' ORDER BY A"));
    // The statement's own ORDER BY, not the one of a sub-query.
    EXPECT_EQ(SentenciaFiltrada(QStringLiteral("SELECT A, (SELECT TOP 1 X FROM U ORDER BY X) AS R FROM T ORDER BY A"),
                                QStringLiteral("A"), QStringLiteral("1"), false),
              QStringLiteral("SELECT A, (SELECT TOP 1 X FROM U ORDER BY X) AS R FROM T  where A like '1%' ORDER BY A"));
}

TEST(Sentencias, TreeSearchesAccumulateAheadOfTheOrder)
{
    const QString base = QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO ORDER BY Codigo");
    const QString una = SentenciaArbol(base, QStringLiteral("caja"));
    EXPECT_EQ(una, QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO  where Descripcion like '%caja%' ORDER BY Codigo"));
    EXPECT_EQ(SentenciaArbol(una, QStringLiteral("chica")),
              QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO  where Descripcion like '%caja%'  and Descripcion like "
                             "'%chica%' ORDER BY Codigo"));
    EXPECT_EQ(SentenciaArbol(QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO"), QStringLiteral("d'a")),
              QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO where Descripcion like '%d''a%' "))
        << "no ORDER BY: the filter goes at the end, its apostrophe doubled";
}

// SQL Server runs the statements as they are written, so their text is its
// meaning there: "%" and "_" stay wildcards, "[" (a character class there)
// and a backslash (PostgreSQL's default escape) are escaped, and so is the
// escape sign itself whenever the clause is added.
TEST(Sentencias, TypedWildcardsStayAndWhatOneEngineReadsAsPatternIsEscaped)
{
    struct Caso {
        const char* escrito;
        bool contiene;
        const char* condicion;
    };
    const Caso casos[] = {
        {"a!_b", false, "A like 'a!_b%' "},
        {"50%!", true, "A like '%50%!%' "},
        {"o'h_", true, "A like '%o''h_%' "},
        {"a b*", false, "A like 'a b%%' "},
        {"a b*", true, "A like '%a%b*%' "},
        {"[1]!%", false, "A like '![1]!!%%' ESCAPE '!' "},
        {"c:\\x\\", false, "A like 'c:\\x\\%' ESCAPE '!' "},
        {"!_[", true, "A like '%!!_![%' ESCAPE '!' "},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(
            SentenciaFiltrada(QStringLiteral("SELECT A FROM T"), QStringLiteral("A"), QString::fromUtf8(c.escrito), c.contiene),
            QStringLiteral("SELECT A FROM T where ") + QString::fromUtf8(c.condicion))
            << c.escrito << (c.contiene ? " (contiene)" : "");
    EXPECT_EQ(SentenciaArbol(QStringLiteral("SELECT C, Descripcion FROM T"), QStringLiteral("[x]_!")),
              QStringLiteral("SELECT C, Descripcion FROM T where Descripcion like '%![x]_!!%' ESCAPE '!' "));
    EXPECT_EQ(SentenciaArbol(QStringLiteral("SELECT C, Descripcion FROM T"), QStringLiteral("5%_!")),
              QStringLiteral("SELECT C, Descripcion FROM T where Descripcion like '%5%_!%' "));
}
