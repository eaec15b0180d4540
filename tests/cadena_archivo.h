#pragma once
// The connection string of a database file the tests open on the embedded
// engine, as the session names one: no server, no login.
#include <QString>

inline QString CadenaDeArchivo(const QString& ruta)
{
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(ruta);
}
