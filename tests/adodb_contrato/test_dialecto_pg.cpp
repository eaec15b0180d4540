// The PostgreSQL translation where the server cannot be asked: statements it
// must leave alone, and the forms it produces.
#include "adodb/error.h"
#include "adodb/postgres_dialect.h"

#include <gtest/gtest.h>

#include "../qt_print.h"

using adodb::SqlServerToPostgres;

namespace {

adodb::Error refusal(const QString& sql)
{
    try {
        SqlServerToPostgres(sql);
    } catch (const adodb::AdoException& e) {
        return e.error();
    }
    ADD_FAILURE() << "translated: " << sql.left(80).toStdString();
    return {};
}

}  // namespace

TEST(DialectoPostgres, AssignmentsAndQuotedTextStayAsWritten)
{
    // '=' in SET assigns: no rtrim() on its left, blanks in the value are data.
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("UPDATE T SET A = 'x  ', B = 'a+b' WHERE C = 'y  '")),
              QStringLiteral("UPDATE T SET A = 'x  ', B = 'a+b' WHERE rtrim(CAST(C AS text)) = 'y'"));
    // Words inside literals and quoted names are not rewritten.
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT 'TOP 5 with(nolock) LEN(' FROM \"dbo\"")),
              QStringLiteral("SELECT 'TOP 5 with(nolock) LEN(' FROM \"dbo\""));
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("INSERT INTO T (A) VALUES ('it''s = ok ')")),
              QStringLiteral("INSERT INTO T (A) VALUES ('it''s = ok ')"));
}

TEST(DialectoPostgres, ConditionsAfterASubqueryStillIgnoreTrailingBlanks)
{
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT * FROM T WHERE X IN (SELECT Y FROM U) AND t.A <> 'b '")),
              QStringLiteral("SELECT * FROM T WHERE X IN (SELECT Y FROM U) AND rtrim(CAST(t.A AS text)) <> 'b'"));
}

TEST(DialectoPostgres, DatesAreComparedAsDates)
{
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT * FROM T WHERE F = #2025-12-31# AND G = '2025-12-31'")),
              QStringLiteral("SELECT * FROM T WHERE F = '2025-12-31 00:00:00' AND G = '2025-12-31'"));
}

TEST(DialectoPostgres, TopInSubqueriesAndPercent)
{
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT * FROM T WHERE A IN (SELECT TOP 3 A FROM T ORDER BY A)")),
              QStringLiteral("SELECT * FROM T WHERE A IN (SELECT A FROM T ORDER BY A LIMIT 3)"));
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT DISTINCT TOP (2) A FROM T")),
              QStringLiteral("SELECT DISTINCT A FROM T LIMIT 2"));
    EXPECT_TRUE(SqlServerToPostgres(QStringLiteral("SELECT TOP 10 PERCENT A FROM T"))
                    .contains(QStringLiteral("CEIL(COUNT(*) * 10 / 100.0)")));
}

TEST(DialectoPostgres, NamesInBracketsFollowTheServersFolding)
{
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT [Codigo], [Nro Cpte] FROM [dbo].[MA_CUENTAS]")),
              QStringLiteral("SELECT Codigo, \"nro cpte\" FROM MA_CUENTAS"));
}

TEST(DialectoPostgres, LikeAndFunctionsWithNestedArguments)
{
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT A FROM T WHERE A NOT LIKE ('x' + '%')")),
              QStringLiteral("SELECT A FROM T WHERE A NOT ILIKE ('x' || '%') COLLATE \"default\""));
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT LEN(ISNULL(A, 'b, c')) FROM T")),
              QStringLiteral("SELECT length(rtrim(COALESCE(A, 'b, c'))) FROM T"));
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT GETDATE ( ), #31/12/2025#")),
              QStringLiteral("SELECT LOCALTIMESTAMP(3), '2025-12-31 00:00:00'"));
    // A lone # is not a date.
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT A FROM T WHERE B = 1 # 2")),
              QStringLiteral("SELECT A FROM T WHERE B = 1 # 2"));
}

TEST(DialectoPostgres, BatchWordsOfTSqlGo)
{
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SET NOCOUNT ON\nSELECT 1\nGO\nSELECT 2")).simplified(),
              QStringLiteral("SELECT 1 ; SELECT 2"));
}

TEST(DialectoPostgres, DeepNestingIsRefusedLikeTheEmbeddedEngineDoes)
{
    // Ten thousand levels used to overflow the stack.
    const adodb::Error e = refusal(QStringLiteral("SELECT * FROM T WHERE ") + QStringLiteral("(").repeated(10000) +
                                   QStringLiteral("A = 1") + QStringLiteral(")").repeated(10000));
    EXPECT_EQ(e.Number, adodb::kErrSyntax);
    EXPECT_EQ(e.Description, QStringLiteral("La sentencia anida más de 1000 niveles de paréntesis."));
    // Unclosed, after LIKE: each one used to scan the rest of the text for its end.
    EXPECT_EQ(refusal(QStringLiteral("SELECT A FROM T WHERE ") + QStringLiteral("A LIKE (").repeated(20000)).Number,
              adodb::kErrSyntax);

    // Within reason nesting keeps its meaning: TOP at the end, functions inside out.
    const QString anidado =
        SqlServerToPostgres(QStringLiteral("SELECT TOP 3 * FROM T WHERE ") + QStringLiteral("(").repeated(900) +
                            QStringLiteral("A = 'a '") + QStringLiteral(")").repeated(900));
    EXPECT_TRUE(anidado.endsWith(QStringLiteral("rtrim(CAST(A AS text)) = 'a'") + QStringLiteral(")").repeated(900) +
                                 QStringLiteral(" LIMIT 3")))
        << anidado.right(60).toStdString();
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT ") + QStringLiteral("LEN(").repeated(900) + QStringLiteral("A") +
                                  QStringLiteral(")").repeated(900)),
              QStringLiteral("SELECT ") + QStringLiteral("length(rtrim(").repeated(900) + QStringLiteral("A") +
                  QStringLiteral("))").repeated(900));
}

TEST(DialectoPostgres, RepeatedPartsCannotGrowWithoutBound)
{
    // CHARINDEX from a position names its arguments twice or three times, and
    // TOP n PERCENT its select twice: nested, the text tripled or doubled per level.
    const adodb::Error e = refusal(QStringLiteral("SELECT ") + QStringLiteral("CHARINDEX('a', B, ").repeated(25) +
                                   QStringLiteral("1") + QStringLiteral(")").repeated(25));
    EXPECT_EQ(e.Number, adodb::kErrSyntax);
    EXPECT_TRUE(e.Description.contains(QStringLiteral("caracteres"))) << e.Description.toStdString();
    EXPECT_EQ(refusal(QStringLiteral("SELECT TOP 1 PERCENT A FROM (").repeated(40) + QStringLiteral("T") +
                      QStringLiteral(") X").repeated(40))
                  .Number,
              adodb::kErrSyntax);
    // Two levels are written out in full.
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT CHARINDEX('a', CHARINDEX('b', C), 2)")).count(QStringLiteral("strpos(")),
              4);
}

TEST(DialectoPostgres, LikeCollationFollowsThePatternWholeAndKeepsTopInItsStatement)
{
    // After a call, not between its name and its arguments.
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT A FROM T WHERE A LIKE ISNULL(B, 'x%')")),
              QStringLiteral("SELECT A FROM T WHERE A ILIKE COALESCE(B, 'x%') COLLATE \"default\""));
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT A FROM T WHERE A LIKE UPPER(B) + '%'")),
              QStringLiteral("SELECT A FROM T WHERE A ILIKE UPPER(B) COLLATE \"default\" || '%'"));
    // The LIMIT of the first statement used to land at the end of the second.
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT TOP 5 A FROM T WHERE A LIKE ('x%'); SELECT B FROM U")),
              QStringLiteral("SELECT A FROM T WHERE A ILIKE ('x%') COLLATE \"default\" LIMIT 5; SELECT B FROM U"));
}

TEST(DialectoPostgres, OrderingsIgnoreTrailingBlanksAndKeepTheColumnsType)
{
    const struct {
        const char* sql;
        const char* postgres;
    } casos[] = {
        // '<' and '>=' already agree once the literal's blanks go: a stored
        // blank only makes the column longer.
        {"SELECT * FROM T WHERE A < '61 ' OR A >= '7 '", "SELECT * FROM T WHERE A < '61' OR A >= '7'"},
        // A stored '61 ' is past '61' for PostgreSQL, equal for SQL Server.
        {"SELECT * FROM T WHERE ltrim(codigo)> '61 '",
         "SELECT * FROM T WHERE (ltrim(codigo)> '61' AND rtrim(CAST(ltrim(codigo) AS text)) <> '61')"},
        {"SELECT * FROM T WHERE t.A <= '61'", "SELECT * FROM T WHERE (t.A <= '61' OR rtrim(CAST(t.A AS text)) = '61')"},
        // Calls and qualified names are compared whole in equalities too.
        {"SELECT * FROM T WHERE LTRIM(C) = '3 '", "SELECT * FROM T WHERE rtrim(CAST(LTRIM(C) AS text)) = '3'"},
        // Dates, subqueries in IN, and assignments are left alone.
        {"SELECT * FROM T WHERE F > '2025-12-31'", "SELECT * FROM T WHERE F > '2025-12-31'"},
        {"SELECT * FROM T WHERE A IN ('a ') AND B > 1", "SELECT * FROM T WHERE A IN ('a ') AND B > 1"},
        {"UPDATE T SET A = 'x ' WHERE B >= 'y '", "UPDATE T SET A = 'x ' WHERE B >= 'y'"},
    };
    for (const auto& c : casos) EXPECT_EQ(SqlServerToPostgres(QString::fromUtf8(c.sql)), QString::fromUtf8(c.postgres)) << c.sql;
}
