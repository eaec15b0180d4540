// The PostgreSQL translation where the server cannot be asked: statements it
// must leave alone, and the forms it produces.
#include "adodb/postgres_dialect.h"

#include <gtest/gtest.h>

#include "../qt_print.h"

using adodb::SqlServerToPostgres;

TEST(DialectoPostgres, AssignmentsAndQuotedTextStayAsWritten) {
    // '=' in SET assigns: no rtrim() on its left, blanks in the value are data.
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("UPDATE T SET A = 'x  ', B = 'a+b' WHERE C = 'y  '")),
              QStringLiteral("UPDATE T SET A = 'x  ', B = 'a+b' WHERE rtrim(CAST(C AS text)) = 'y'"));
    // Words inside literals and quoted names are not rewritten.
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT 'TOP 5 with(nolock) LEN(' FROM \"dbo\"")),
              QStringLiteral("SELECT 'TOP 5 with(nolock) LEN(' FROM \"dbo\""));
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("INSERT INTO T (A) VALUES ('it''s = ok ')")),
              QStringLiteral("INSERT INTO T (A) VALUES ('it''s = ok ')"));
}

TEST(DialectoPostgres, ConditionsAfterASubqueryStillIgnoreTrailingBlanks) {
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT * FROM T WHERE X IN (SELECT Y FROM U) AND t.A <> 'b '")),
              QStringLiteral("SELECT * FROM T WHERE X IN (SELECT Y FROM U) AND rtrim(CAST(t.A AS text)) <> 'b'"));
}

TEST(DialectoPostgres, DatesAreComparedAsDates) {
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT * FROM T WHERE F = #2025-12-31# AND G = '2025-12-31'")),
              QStringLiteral("SELECT * FROM T WHERE F = '2025-12-31 00:00:00' AND G = '2025-12-31'"));
}

TEST(DialectoPostgres, TopInSubqueriesAndPercent) {
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT * FROM T WHERE A IN (SELECT TOP 3 A FROM T ORDER BY A)")),
              QStringLiteral("SELECT * FROM T WHERE A IN (SELECT A FROM T ORDER BY A LIMIT 3)"));
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT DISTINCT TOP (2) A FROM T")),
              QStringLiteral("SELECT DISTINCT A FROM T LIMIT 2"));
    EXPECT_TRUE(SqlServerToPostgres(QStringLiteral("SELECT TOP 10 PERCENT A FROM T")).contains(QStringLiteral("CEIL(COUNT(*) * 10 / 100.0)")));
}

TEST(DialectoPostgres, NamesInBracketsFollowTheServersFolding) {
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SELECT [Codigo], [Nro Cpte] FROM [dbo].[MA_CUENTAS]")),
              QStringLiteral("SELECT Codigo, \"nro cpte\" FROM MA_CUENTAS"));
}

TEST(DialectoPostgres, LikeAndFunctionsWithNestedArguments) {
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

TEST(DialectoPostgres, BatchWordsOfTSqlGo) {
    EXPECT_EQ(SqlServerToPostgres(QStringLiteral("SET NOCOUNT ON\nSELECT 1\nGO\nSELECT 2")).simplified(),
              QStringLiteral("SELECT 1 ; SELECT 2"));
}
