#include "sqlite_mensajes.h"

#include <sqlite3.h>

namespace adodb {

namespace {

// What follows "prefix: " in SQLite's message, e.g. the table of "no such table: X".
QString Objeto(const QString& texto, const QString& prefijo)
{
    return texto.mid(prefijo.size()).trimmed();
}

}  // namespace

QString TextForOperator(const Error& e)
{
    if (e.Source.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) != 0) return e.Description;
    const QString& t = e.Description;
    const int codigo = e.NativeError & 0xff;  // SQLite's primary result code
    switch (codigo) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("La base de datos está bloqueada por otro usuario. Reintente en unos instantes.");
    case SQLITE_READONLY:
        if (e.NativeError == SQLITE_READONLY_DBMOVED)
            return QStringLiteral(
                "El archivo de la base de datos fue reemplazado, movido o borrado mientras el programa lo usaba: "
                "no se guardaron los cambios. Cierre el programa y vuelva a entrar.");
        return QStringLiteral("La base de datos es de sólo lectura: no se pueden guardar cambios.");
    case SQLITE_NOTADB: return QStringLiteral("El archivo no es una base de datos.");
    case SQLITE_FULL: return QStringLiteral("El disco está lleno: no se pudieron guardar los cambios.");
    case SQLITE_CORRUPT: return QStringLiteral("La base de datos está dañada.");
    case SQLITE_CANTOPEN: return QStringLiteral("No se puede abrir el archivo de la base de datos.");
    case SQLITE_IOERR: return QStringLiteral("Error de lectura o escritura en el disco de la base de datos.");
    case SQLITE_CONSTRAINT:
        if (t.startsWith(QLatin1String("UNIQUE constraint failed:")) || t.startsWith(QLatin1String("PRIMARY KEY")))
            return QStringLiteral("Ya existe un registro con la misma clave (%1).")
                .arg(Objeto(t, QStringLiteral("UNIQUE constraint failed:")));
        if (t.startsWith(QLatin1String("NOT NULL constraint failed:")))
            return QStringLiteral("Falta un dato obligatorio (%1).")
                .arg(Objeto(t, QStringLiteral("NOT NULL constraint failed:")));
        if (t.startsWith(QLatin1String("FOREIGN KEY")))
            return QStringLiteral("El registro está relacionado con otros datos que no existen o que lo usan.");
        return QStringLiteral("Los datos no cumplen una condición de la base de datos.");
    default: break;
    }
    if (t.startsWith(QLatin1String("no such table:")))
        return QStringLiteral("No existe la tabla %1.").arg(Objeto(t, QStringLiteral("no such table:")));
    if (t.startsWith(QLatin1String("no such column:")))
        return QStringLiteral("No existe la columna %1.").arg(Objeto(t, QStringLiteral("no such column:")));
    return t;
}

}  // namespace adodb
