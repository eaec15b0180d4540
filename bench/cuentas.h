#pragma once
// The benchmarks' database: 100,000 accounts of 5 columns in a fresh file.
#include "adodb/connection.h"
#include "adodb/recordset.h"

#include <QFile>
#include <QString>

/// The read most benchmarks time: 5 columns of the chart of accounts.
inline const char* const kLecturaCuentas = "SELECT Codigo, CodigoOpcional, DESCRIPCION, DV, titulo FROM MA_CUENTAS";

inline void CreaCuentas(const QString& path, const QString& extra = {})
{
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
    }
    adodb::Connection cn;
    cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(path));
    cn.Execute(extra +
               QStringLiteral(
                   "CREATE TABLE MA_CUENTAS (Codigo varchar(15) COLLATE CI PRIMARY KEY, CodigoOpcional varchar(15) COLLATE CI, "
                   "DESCRIPCION varchar(60) COLLATE CI, DV varchar(1), titulo bit);"
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                   "INSERT INTO MA_CUENTAS SELECT printf('%011d', 10000000000 + i), CASE WHEN i % 37 = 0 THEN 'OPC' || i END, "
                   "'Cuenta de prueba número ' || i, CAST(i % 10 AS TEXT), i % 5 = 0 FROM n"));
}
