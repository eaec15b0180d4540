// The collation and the SQL Server functions every connection to an embedded
// database needs. Built twice: into the engine, and into the loadable
// extension that lets sqlite3, DB Browser for SQLite and the SQLite ODBC
// driver open the same files (there every call goes through sqlite3_api).
#ifdef CI_EXTENSION
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif

#include "sqlite_funciones.h"

#include <QDateTime>
#include <QString>

namespace adodb {

namespace {

// Text compared as SQL Server's default collation does: case and trailing blanks ignored.
int compareCI(void*, int la, const void* a, int lb, const void* b) {
    const auto* pa = static_cast<const unsigned char*>(a);
    const auto* pb = static_cast<const unsigned char*>(b);
    while (la > 0 && pa[la - 1] == ' ') --la;
    while (lb > 0 && pb[lb - 1] == ' ') --lb;
    const int n = la < lb ? la : lb;
    for (int i = 0; i < n; ++i) {
        unsigned char x = pa[i], y = pb[i];
        if (x >= 0x80 || y >= 0x80) {
            // Non-ASCII: fold case through Unicode.
            const QString qa = QString::fromUtf8(reinterpret_cast<const char*>(pa + i), la - i);
            const QString qb = QString::fromUtf8(reinterpret_cast<const char*>(pb + i), lb - i);
            return qa.compare(qb, Qt::CaseInsensitive);
        }
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return x < y ? -1 : 1;
    }
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

QString argText(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

void resultText(sqlite3_context* ctx, const QString& s) {
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
}

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    QString s = argText(argv[0]);
    int n = static_cast<int>(s.size());
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
    sqlite3_result_int(ctx, n);
}

void fnCharindex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QString needle = argText(argv[0]), hay = argText(argv[1]);
    int start = argc > 2 ? sqlite3_value_int(argv[2]) : 1;
    if (start < 1) start = 1;
    const qsizetype p = hay.indexOf(needle, start - 1, Qt::CaseInsensitive);
    sqlite3_result_int(ctx, needle.isEmpty() ? 0 : static_cast<int>(p + 1));
}

void fnGetdate(sqlite3_context* ctx, int, sqlite3_value**) {
    resultText(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void fnUpper(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, argText(argv[0]).toUpper());
}

void fnLower(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, argText(argv[0]).toLower());
}

}  // namespace

int RegistraFuncionesSqlite(sqlite3* db) {
    const int rc = sqlite3_create_collation_v2(db, "CI", SQLITE_UTF8, nullptr, compareCI, nullptr);
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "LEN", 1, det, nullptr, fnLen, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "CHARINDEX", 2, det, nullptr, fnCharindex, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "CHARINDEX", 3, det, nullptr, fnCharindex, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "GETDATE", 0, SQLITE_UTF8, nullptr, fnGetdate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "UPPER", 1, det, nullptr, fnUpper, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "LOWER", 1, det, nullptr, fnLower, nullptr, nullptr, nullptr);
    return rc;
}

}  // namespace adodb
