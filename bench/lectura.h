#pragma once
// The floor most benchmarks compare with: the rows read through AbrirRecordset alone.
#include "data/db_dll.h"

#include <QElapsedTimer>

/// Milliseconds to read `sql` through the session's AbrirRecordset; the row count in `filas`.
inline double MideLectura(const QString& sql, long& filas)
{
    QElapsedTimer t;
    t.start();
    adodb::Recordset rs;
    QString sentencia = sql;
    DB().AbrirRecordset(sentencia, rs);
    filas = rs.RecordCount();
    const double ms = t.nsecsElapsed() / 1e6;
    DB().CierraRecordset(rs);
    return ms;
}
