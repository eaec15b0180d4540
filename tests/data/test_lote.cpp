// A batch for an engine that takes one statement at a time.
#include "data/db_dll.h"

#include "../qt_print.h"
#include <gtest/gtest.h>

TEST(LoteOracle, ABatchSplitsAtItsKeywordsWithSessionCommandsAndSeparatorsDropped)
{
    const QString lote = QStringLiteral(
        "SET NOCOUNT ON\r\nBEGIN TRANSACTION\r\ninsert into a values (1)\r\nGO\r\nUPDATE b SET x = 2 WHERE y = 3\r\n"
        "delete from c\r\nCOMMIT TRANS");
    EXPECT_EQ(DB_Dll::DivideLoteOracle(lote),
              QStringList({QStringLiteral("SET TRANSACTION"), QStringLiteral("insert into a values (1)"),
                           QStringLiteral("UPDATE b SET x = 2 WHERE y = 3"), QStringLiteral("delete from c"),
                           QStringLiteral("COMMIT")}));
    EXPECT_TRUE(DB_Dll::DivideLoteOracle(QStringLiteral("SELECT 1")).isEmpty());
    // A long batch splits in time proportional to its length.
    const QStringList muchas = DB_Dll::DivideLoteOracle(QStringLiteral("INSERT INTO t VALUES (1) ").repeated(20000));
    ASSERT_EQ(muchas.size(), 20000);
    EXPECT_EQ(muchas.back(), QStringLiteral("INSERT INTO t VALUES (1)"));
}
