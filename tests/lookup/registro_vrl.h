#pragma once
// A consultas.vrl record built from literal byte offsets (not from the
// reader's own constants), so a change of the record layout cannot pass unnoticed.
#include <QByteArray>

// Note 0-99, table 100-199, columns 200-699, filter 700-1199, CR LF 1200-1201.
inline QByteArray registro(const QByteArray& nota, const QByteArray& tabla, const QByteArray& campos,
                           const QByteArray& filtro = {}, char relleno = ' ')
{
    QByteArray r(1202, relleno);
    r.replace(0, nota.size(), nota);
    r.replace(100, tabla.size(), tabla);
    r.replace(200, campos.size(), campos);
    r.replace(700, filtro.size(), filtro);
    r[1200] = '\r';
    r[1201] = '\n';
    return r;
}
