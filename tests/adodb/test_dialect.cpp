#include "adodb/sqlite_dialect.h"
#include "fixture.h"

using namespace adodb;

TEST(Dialect, RewritesTheSqlServerConstructs)
{
    EXPECT_EQ(SqlServerToSqlite(QStringLiteral("SELECT TOP 1 * FROM T with(nolock)  WHERE A ='x'")).simplified(),
              QStringLiteral("SELECT * FROM T WHERE A ='x' COLLATE CI LIMIT 1"));
    EXPECT_EQ(SqlServerToSqlite(QStringLiteral("select top 5 a from dbo.T order by a")).simplified(),
              QStringLiteral("select a from T order by a LIMIT 5"));
    EXPECT_EQ(SqlServerToSqlite(QStringLiteral("SELECT a FROM T WHERE a IN (SELECT TOP 2 a FROM U) AND b = 'TOP 3 with(nolock)'"))
                  .simplified(),
              QStringLiteral("SELECT a FROM T WHERE a IN (SELECT a FROM U LIMIT 2) AND b = 'TOP 3 with(nolock)' COLLATE CI"));
    EXPECT_EQ(SqlServerToSqlite(QStringLiteral("SELECT * FROM T WHERE F = #31/01/2006# ")).simplified(),
              QStringLiteral("SELECT * FROM T WHERE F = '2006-01-31 00:00:00' COLLATE CI"));
    EXPECT_EQ(SqlServerToSqlite(QStringLiteral("SELECT ISNULL(a,'') FROM T")),
              QStringLiteral("SELECT IFNULL(a,'' COLLATE CI) FROM T"));
}

class DialectOnFile : public SqliteFile {
protected:
    void SetUp() override
    {
        SqliteFile::SetUp();
        exec(QStringLiteral(
            "CREATE TABLE T (C varchar(10) COLLATE CI, N int); "
            "INSERT INTO T VALUES ('abc',1),('ABD',2),('ñandú',3),('x  ',4),('y',5),('z',6),('w',7),('v',8),('u',9),('t',10)"));
    }
    QVariantList column(const QString& sql)
    {
        Recordset rs;
        rs.Open(sql, &cn);
        QVariantList out;
        for (; !rs.eof(); rs.MoveNext()) out << rs.Fields(0).Value().toString();
        return out;
    }
};

TEST_F(DialectOnFile, AnswersAsSqlServerWould)
{
    EXPECT_EQ(column(QStringLiteral("SELECT TOP 3 N FROM T ORDER BY N DESC")), (QVariantList{"10", "9", "8"}));
    EXPECT_EQ(column(QStringLiteral("SELECT TOP 25 PERCENT N FROM T ORDER BY N")), (QVariantList{"1", "2", "3"}));
    EXPECT_EQ(column(QStringLiteral("SELECT N FROM T with(nolock) WHERE C = 'ABC '")), (QVariantList{"1"}));
    EXPECT_EQ(column(QStringLiteral("SELECT N FROM T WHERE C = 'ÑANDÚ'")), (QVariantList{"3"}));
    EXPECT_EQ(column(QStringLiteral("SELECT N FROM T WHERE LTRIM(RTRIM(C)) = 'abd'")), (QVariantList{"2"}));
    EXPECT_EQ(column(QStringLiteral("SELECT LEN(C) FROM T WHERE N = 4")), (QVariantList{"1"}));
    EXPECT_EQ(column(QStringLiteral("SELECT CHARINDEX('B', C) FROM T WHERE N = 1")), (QVariantList{"2"}));
    EXPECT_EQ(column(QStringLiteral("SELECT ISNULL(NULL, 'vacío')")), (QVariantList{"vacío"}));
    EXPECT_EQ(column(QStringLiteral("SELECT SUBSTRING(C,2,2) FROM dbo.T WHERE N = 2")), (QVariantList{"BD"}));
    EXPECT_EQ(column(QStringLiteral("SELECT MAX(C) FROM T WHERE C < 'B'")), (QVariantList{"ABD"}));
    const QString now = column(QStringLiteral("SELECT GETDATE()")).value(0).toString();
    EXPECT_TRUE(ParseDate(now).isValid()) << now.toStdString();
}
