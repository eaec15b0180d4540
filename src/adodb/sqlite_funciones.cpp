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

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace adodb {

namespace {

// Text compared as SQL Server's default collation does: case and trailing blanks ignored.
int compareCI(void*, int la, const void* a, int lb, const void* b)
{
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

QString argText(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
}

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    QString s = argText(argv[0]);
    int n = static_cast<int>(s.size());
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
    sqlite3_result_int(ctx, n);
}

void fnCharindex(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QString needle = argText(argv[0]), hay = argText(argv[1]);
    int start = argc > 2 ? sqlite3_value_int(argv[2]) : 1;
    if (start < 1) start = 1;
    const qsizetype p = hay.indexOf(needle, start - 1, Qt::CaseInsensitive);
    sqlite3_result_int(ctx, needle.isEmpty() ? 0 : static_cast<int>(p + 1));
}

void fnGetdate(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void fnUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, argText(argv[0]).toUpper());
}

void fnLower(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, argText(argv[0]).toLower());
}

// LIKE folding letter case beyond ASCII, as the CI collation compares:
// "ñandú" finds "Ñandú", "ÁNGULO" finds "ángulo" (SQLite's own LIKE folds ASCII only).
struct LikePattern {
    enum Kind : char { Literal, Any, One };
    std::vector<std::pair<Kind, QChar>> tokens;
};

LikePattern* makeLikePattern(const QString& pattern, QChar escape)
{
    auto* p = new LikePattern;
    const QString folded = pattern.toCaseFolded();
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        if (!escape.isNull() && c == escape && i + 1 < folded.size())
            p->tokens.emplace_back(LikePattern::Literal, folded.at(++i));
        else if (c == u'%')
            p->tokens.emplace_back(LikePattern::Any, QChar());
        else if (c == u'_')
            p->tokens.emplace_back(LikePattern::One, QChar());
        else
            p->tokens.emplace_back(LikePattern::Literal, c);
    }
    return p;
}

bool likeMatches(const LikePattern& p, const QString& text)
{
    // Greedy with one backtrack point: the last % seen.
    const auto& t = p.tokens;
    size_t pi = 0, star = SIZE_MAX;
    qsizetype ti = 0, mark = 0;
    while (ti < text.size()) {
        if (pi < t.size() && t[pi].first == LikePattern::Any) {
            star = pi++;
            mark = ti;
        } else if (pi < t.size() && (t[pi].first == LikePattern::One || t[pi].second == text.at(ti))) {
            ++pi;
            ++ti;
        } else if (star != SIZE_MAX) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < t.size() && t[pi].first == LikePattern::Any) ++pi;
    return pi == t.size();
}

void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    QChar escape;
    if (argc > 2) {
        const QString e = argText(argv[2]);
        if (e.size() != 1) return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
        escape = e.at(0);
    }
    // The pattern is the same for every row of a statement: folded once.
    auto* p = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!p) {
        p = makeLikePattern(argText(argv[0]), escape);
        sqlite3_set_auxdata(ctx, 0, p, [](void* q) { delete static_cast<LikePattern*>(q); });
        p = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!p) return sqlite3_result_error_nomem(ctx);
    }
    sqlite3_result_int(ctx, likeMatches(*p, argText(argv[1]).toCaseFolded()) ? 1 : 0);
}

// FUERA_DE_RANGOS(x, 'lo:hi,lo:hi,...'): 1 when x lies outside every range, 0
// inside one, NULL for NULL. The ranges come sorted and disjoint; they are
// parsed once per statement and kept with it. Texts compare as the CI
// collation does (letter case and trailing blanks ignored), so that the
// function agrees with the clauses it stands for: an account stored as
// '41020101003 ' or 'caja' falls in the same ranges as '41020101003' or 'CAJA'.
using Rangos = std::vector<std::pair<std::string, std::string>>;

int comparaCI(const char* a, size_t la, const std::string& b)
{
    return compareCI(nullptr, static_cast<int>(la), a, static_cast<int>(b.size()), b.data());
}

void fnFueraDeRangos(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    auto* rangos = static_cast<Rangos*>(sqlite3_get_auxdata(ctx, 1));
    if (!rangos) {
        rangos = new Rangos;
        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
        const std::string lista = t ? std::string(t, sqlite3_value_bytes(argv[1])) : std::string();
        size_t i = 0;
        while (i < lista.size()) {
            size_t fin = lista.find(',', i);
            if (fin == std::string::npos) fin = lista.size();
            const std::string par = lista.substr(i, fin - i);
            const size_t dos = par.find(':');
            if (dos != std::string::npos) rangos->emplace_back(par.substr(0, dos), par.substr(dos + 1));
            i = fin + 1;
        }
        sqlite3_set_auxdata(ctx, 1, rangos, [](void* p) { delete static_cast<Rangos*>(p); });
        rangos = static_cast<Rangos*>(sqlite3_get_auxdata(ctx, 1));
        if (!rangos) return sqlite3_result_error_nomem(ctx);
    }
    const auto* x = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const size_t n = static_cast<size_t>(sqlite3_value_bytes(argv[0]));
    // The last range starting at or below x is the only one that can hold it.
    auto it = std::upper_bound(rangos->begin(), rangos->end(), 0,
                               [&](int, const auto& r) { return comparaCI(x, n, r.first) < 0; });
    if (it == rangos->begin()) return sqlite3_result_int(ctx, 1);
    --it;
    sqlite3_result_int(ctx, comparaCI(x, n, it->second) > 0 ? 1 : 0);
}

}  // namespace

int RegisterSqliteFunctions(sqlite3* db)
{
    const int rc = sqlite3_create_collation_v2(db, "CI", SQLITE_UTF8, nullptr, compareCI, nullptr);
    // Innocuous: they read only their arguments, so a shell that distrusts
    // the schema (trusted_schema off, the default of newer sqlite3 shells)
    // still lets views and indexes of the program's files use them.
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "LEN", 1, det, nullptr, fnLen, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "CHARINDEX", 2, det, nullptr, fnCharindex, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "CHARINDEX", 3, det, nullptr, fnCharindex, nullptr, nullptr, nullptr);
    // The clock changes between calls, but reading it harms nothing.
    sqlite3_create_function_v2(db, "GETDATE", 0, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr, fnGetdate, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "UPPER", 1, det, nullptr, fnUpper, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "LOWER", 1, det, nullptr, fnLower, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "LIKE", 2, det, nullptr, fnLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "LIKE", 3, det, nullptr, fnLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "FUERA_DE_RANGOS", 2, det, nullptr, fnFueraDeRangos, nullptr, nullptr, nullptr);
    return rc;
}

}  // namespace adodb
