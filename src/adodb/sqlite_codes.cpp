#include "sqlite_codes.h"

#include <sqlite3.h>

namespace adodb {

QString SqliteSqlState(int resultCode, const QString& message)
{
    switch (resultCode & 0xff) {
    case SQLITE_CONSTRAINT: return QStringLiteral("23000");
    case SQLITE_MISMATCH:
    case SQLITE_TOOBIG:
    case SQLITE_RANGE: return QStringLiteral("22018");
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("HYT00");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return QStringLiteral("25006");
    case SQLITE_FULL: return QStringLiteral("53100");
    case SQLITE_NOMEM: return QStringLiteral("53200");
    case SQLITE_INTERRUPT: return QStringLiteral("HY008");
    case SQLITE_ERROR:
        if (message.startsWith(QLatin1String("no such table"))) return QStringLiteral("42S02");
        if (message.startsWith(QLatin1String("no such column"))) return QStringLiteral("42S22");
        return QStringLiteral("42000");
    // No result code of a local file means a lost link (class 08): a damaged
    // or unreadable file is no reason to reconnect.
    default: return QStringLiteral("HY000");
    }
}

}  // namespace adodb
