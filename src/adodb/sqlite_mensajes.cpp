#include "sqlite_mensajes.h"

#include <QRegularExpression>

namespace adodb {

namespace {

// SQLite's primary result codes (the low byte of an extended code).
enum : int {
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoErr = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kConstraint = 19,
    kNotADb = 26
};
// The extended part of SQLITE_READONLY_DBMOVED.
constexpr int kDbMovido = 4;

// What follows "prefix: " in SQLite's message, e.g. the table of "no such table: X".
QString Objeto(const QString& texto, const QString& prefijo)
{
    return texto.mid(prefijo.size()).trimmed();
}

}  // namespace

QString TextoParaOperador(const Error& e)
{
    if (e.Source.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) != 0) return e.Description;
    const QString& t = e.Description;
    const int codigo = e.NativeError & 0xff;
    switch (codigo) {
    case kBusy:
    case kLocked: return QStringLiteral("La base de datos está bloqueada por otro usuario. Reintente en unos instantes.");
    case kReadOnly:
        if (e.NativeError >> 8 == kDbMovido)
            return QStringLiteral(
                "El archivo de la base de datos fue reemplazado, movido o borrado mientras el programa lo usaba: "
                "no se guardaron los cambios. Cierre el programa y vuelva a entrar.");
        return QStringLiteral("La base de datos es de sólo lectura: no se pueden guardar cambios.");
    case kNotADb: return QStringLiteral("El archivo no es una base de datos.");
    case kFull: return QStringLiteral("El disco está lleno: no se pudieron guardar los cambios.");
    case kCorrupt: return QStringLiteral("La base de datos está dañada.");
    case kCantOpen: return QStringLiteral("No se puede abrir el archivo de la base de datos.");
    case kIoErr: return QStringLiteral("Error de lectura o escritura en el disco de la base de datos.");
    case kConstraint:
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
