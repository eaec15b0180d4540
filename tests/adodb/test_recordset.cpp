#include "fixture.h"

using namespace adodb;

class RecordsetTest : public SqliteFile {
protected:
    void SetUp() override
    {
        SqliteFile::SetUp();
        exec(QStringLiteral(
            "CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(50) COLLATE CI, "
            "DESDE varchar(15), HASTA varchar(15), TC varchar(255), IMPORTE money, CANT int, "
            "fechahora_grabacion datetime, fechahora_modificacion datetime);"
            "INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, CANT, fechahora_grabacion) "
            "VALUES ('   1','Ventas','4101','4199',3,'2026-01-31 10:20:30'), ('   2','Compras','5101','5199',NULL,NULL);"
            "CREATE TABLE LOG (ID integer PRIMARY KEY AUTOINCREMENT, Texto varchar(20));"
            "CREATE TABLE SINCLAVE (A varchar(5), B int)"));
    }
    long count(const QString& where)
    {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE ") + where, &cn);
        return static_cast<long>(rs.Fields(0).Value().toInt64());
    }
};

TEST_F(RecordsetTest, NavigationAndFieldsOverAClientCursor)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES ORDER BY CODIGO"), &cn);
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_FALSE(rs.BOF());
    EXPECT_EQ(rs.Fields(QStringLiteral("descripcion")).Value().toString(), QStringLiteral("Ventas"));
    rs.MoveNext();
    EXPECT_TRUE(rs.Fields(QStringLiteral("CANT")).Value().isNull());
    rs.MoveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.Fields(0).Value(), AdoException);  // no current row
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields(0).Value().toString(), QStringLiteral("   1"));
    try {
        rs.Fields(QStringLiteral("NO_EXISTE"));
        FAIL();
    } catch (const AdoException& e) {
        EXPECT_EQ(e.error().Number, kErrItemNotFound);
    }
    const auto rows = rs.GetRows();
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[1][1].toString(), QStringLiteral("Compras"));

    Recordset empty;
    empty.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES WHERE 1=0"), &cn);
    EXPECT_TRUE(empty.BOF());
    EXPECT_TRUE(empty.eof());
}

TEST_F(RecordsetTest, TypeCodesFollowTheDeclaredTypes)
{
    Recordset rs;
    rs.Open(QStringLiteral(
                "SELECT CODIGO, IMPORTE, CANT, fechahora_grabacion, MAX(CODIGO) AS MAYOR, COUNT(*) AS N FROM TA_TITCOPIADORES"),
            &cn);
    EXPECT_EQ(rs.Fields(0).Type(), adVarChar);
    EXPECT_EQ(rs.Fields(0).DefinedSize(), 4);
    EXPECT_EQ(rs.Fields(1).Type(), adCurrency);
    EXPECT_EQ(rs.Fields(2).Type(), adInteger);
    EXPECT_EQ(rs.Fields(3).Type(), adDBTimeStamp);
    EXPECT_EQ(rs.Fields(4).Type(), adVarWChar);
    EXPECT_EQ(rs.Fields(5).Type(), adInteger);

    Recordset d;
    d.Open(QStringLiteral("SELECT fechahora_grabacion FROM TA_TITCOPIADORES WHERE CODIGO = '   1'"), &cn);
    const Variant v = d.Fields(0).Value();
    ASSERT_TRUE(v.isDate());
    EXPECT_EQ(v.toDateTime(), QDateTime(QDate(2026, 1, 31), QTime(10, 20, 30)));
}

TEST_F(RecordsetTest, AddNewAndEditWriteBackOnlyTheirRow)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES"), &cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    EXPECT_EQ(rs.EditMode(), adEditAdd);
    rs.Fields(QStringLiteral("CODIGO")).setValue(QStringLiteral("   3"));
    rs.Fields(QStringLiteral("DESCRIPCION")).setValue(QStringLiteral("Libro de O'Brien"));
    rs.Fields(QStringLiteral("fechahora_grabacion")).setValue(QDateTime(QDate(2026, 12, 9), QTime(8, 0)));
    rs.Fields(QStringLiteral("IMPORTE")).setValue(QStringLiteral("12,5"));
    rs.Update();
    EXPECT_EQ(rs.EditMode(), adEditNone);
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(count(QStringLiteral(
                  "DESCRIPCION = 'Libro de O''Brien' AND IMPORTE = 12.5 AND fechahora_grabacion = '2026-12-09 08:00:00'")),
              1);

    rs.MoveFirst();
    const QString code = rs.Fields(0).Value().toString();
    rs.Fields(QStringLiteral("DESCRIPCION")).setValue(QStringLiteral("Cambiado"));
    rs.Update();
    EXPECT_EQ(count(QStringLiteral("DESCRIPCION = 'Cambiado'")), 1);
    EXPECT_EQ(count(QStringLiteral("CODIGO = '") + code + QStringLiteral("' AND DESCRIPCION = 'Cambiado'")), 1);
}

TEST_F(RecordsetTest, AutoIncrementKeyIsReadBackAndTablesWithoutKeyUpdateByValues)
{
    Recordset log;
    log.Open(QStringLiteral("Select top 1 * from LOG"), &cn, adOpenDynamic, adLockOptimistic);
    log.AddNew();
    log.Fields(QStringLiteral("Texto")).setValue(QStringLiteral("x"));
    log.Update();
    EXPECT_EQ(log.Fields(QStringLiteral("ID")).Value().toInt64(), 1);

    exec(QStringLiteral("INSERT INTO SINCLAVE VALUES ('a',1),('b',NULL)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM SINCLAVE ORDER BY A"), &cn, adOpenDynamic, adLockOptimistic);
    rs.MoveNext();
    rs.Fields(QStringLiteral("A")).setValue(QStringLiteral("c"));
    rs.Update();
    Recordset check;
    check.Open(QStringLiteral("SELECT A FROM SINCLAVE ORDER BY A"), &cn);
    EXPECT_EQ(check.Fields(0).Value().toString(), QStringLiteral("a"));
    check.MoveNext();
    EXPECT_EQ(check.Fields(0).Value().toString(), QStringLiteral("c"));
}

TEST_F(RecordsetTest, ARowDeletedMeanwhileCannotBeLocated)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES ORDER BY CODIGO"), &cn, adOpenDynamic, adLockOptimistic);
    exec(QStringLiteral("DELETE FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '1'"));
    rs.Fields(QStringLiteral("DESCRIPCION")).setValue(QStringLiteral("x"));
    try {
        rs.Update();
        FAIL();
    } catch (const AdoException& e) {
        EXPECT_EQ(e.error().Number, kErrRowNotFound);
    }
    EXPECT_EQ(count(QStringLiteral("1=1")), 1);
}

TEST_F(RecordsetTest, ValuesTheColumnCannotTakeRaise3421AndLeaveTheRowAlone)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES"), &cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    for (const char* column : {"CANT", "IMPORTE", "fechahora_grabacion"}) {
        try {
            rs.Fields(QString::fromLatin1(column)).setValue(QStringLiteral("abc"));
            ADD_FAILURE() << column;
        } catch (const AdoException& e) {
            EXPECT_EQ(e.error().Number, kErrDataConversion) << column;
        }
    }
    EXPECT_THROW(rs.Fields(QStringLiteral("CODIGO")).setValue(QStringLiteral("12345")), AdoException) << "wider than the column";
    rs.CancelUpdate();
    EXPECT_EQ(count(QStringLiteral("1=1")), 2);
}

TEST_F(RecordsetTest, ReadOnlyRecordsetsRefuseEditsAndPendingEditsBlockClose)
{
    Recordset ro;
    ro.Open(QStringLiteral("SELECT * FROM TA_TITCOPIADORES"), &cn);
    try {
        ro.AddNew();
        FAIL();
    } catch (const AdoException& e) {
        EXPECT_EQ(e.error().Number, kErrNotSupported);
    }
    Recordset rw;
    rw.Open(QStringLiteral("TA_TITCOPIADORES"), &cn, adOpenDynamic, adLockOptimistic);
    rw.Fields(1).setValue(QStringLiteral("pendiente"));
    try {
        rw.Close();
        FAIL();
    } catch (const AdoException& e) {
        EXPECT_EQ(e.error().Number, kErrNotInContext);
    }
    rw.CancelUpdate();
    rw.Close();
    EXPECT_EQ(rw.State(), adStateClosed);
    EXPECT_EQ(count(QStringLiteral("DESCRIPCION = 'pendiente'")), 0);
}
