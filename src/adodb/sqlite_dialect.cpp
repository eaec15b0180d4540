#include "sqlite_dialect.h"

#include "dialect_lexer.h"
#include "variant.h"

#include <vector>

namespace adodb {

namespace {

using namespace dialect;

// A SELECT TOP n whose LIMIT is still to be written at the end of its scope.
struct PendingTop {
    qsizetype start;  // where its SELECT begins in the output
    QString count;
    bool percent;
};

// One pass over the tokens, whatever their nesting: time and memory grow with
// the statement's length only.
QString rewrite(std::vector<Token> t)
{
    // SQL Server joins texts with "+", which SQLite would add as numbers:
    // a "+" beside a text literal joins.
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Tok::Punct || t[i].text != QLatin1String("+")) continue;
        size_t antes = i;
        while (antes > 0 && t[antes - 1].kind == Tok::Space) --antes;
        const size_t despues = next(t, i + 1);
        if ((antes > 0 && t[antes - 1].kind == Tok::String) || (despues < t.size() && t[despues].kind == Tok::String))
            t[i].text = QStringLiteral("||");
    }
    // Simple token-level rewrites.
    for (size_t i = 0; i < t.size(); ++i) {
        Token& k = t[i];
        if (k.kind == Tok::DateLit) {
            const QDateTime d = ParseDate(k.text);
            k = {Tok::String, QLatin1Char('\'') + d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('\'')};
        }
        if (k.kind == Tok::String) {
            // Text compares as SQL Server's default collation does even where one
            // side is an expression (LTRIM(RTRIM(col)) = 'x'), which SQLite would
            // otherwise compare byte by byte.
            const size_t a = next(t, i + 1);
            if (a >= t.size() || !is(t[a], "COLLATE")) k.text += QStringLiteral(" COLLATE CI");
            k.kind = Tok::Quoted;
        } else if (is(k, "WITH")) {
            // WITH (NOLOCK) and friends: table hints mean nothing to an embedded engine.
            size_t a = next(t, i + 1);
            if (a < t.size() && t[a].text == QLatin1String("(")) {
                size_t b = next(t, a + 1);
                if (b < t.size() && (is(t[b], "NOLOCK") || is(t[b], "ROWLOCK") || is(t[b], "UPDLOCK") ||
                                     is(t[b], "READUNCOMMITTED") || is(t[b], "HOLDLOCK"))) {
                    size_t c = next(t, b + 1);
                    if (c < t.size() && t[c].text == QLatin1String(")")) {
                        for (size_t x = i; x <= c; ++x) t[x] = {Tok::Space, QStringLiteral(" ")};
                        k = {Tok::Space, QStringLiteral(" ")};
                    }
                }
            }
        } else if (is(k, "dbo") && i + 1 < t.size() && t[i + 1].text == QLatin1String(".")) {
            k = {Tok::Space, QString()};
            t[i + 1] = {Tok::Space, QString()};
        } else if (is(k, "ISNULL")) {
            size_t a = next(t, i + 1);
            if (a < t.size() && t[a].text == QLatin1String("(")) k.text = QStringLiteral("IFNULL");
        } else if (is(k, "GETDATE")) {
            k.text = QStringLiteral("GETDATE");
        }
    }

    // TOP n [PERCENT] after SELECT [DISTINCT|ALL] becomes LIMIT at the end of
    // that select's scope: the closing parenthesis of its level, a ";" on its
    // level, or the end of the text. Each open parenthesis is one level.
    QString out;
    std::vector<std::vector<PendingTop>> levels(1);
    auto closeLevel = [&](std::vector<PendingTop>& tops) {
        // Innermost (latest) first: an outer TOP's scope contains the inner's LIMIT.
        for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
            if (it->percent) {
                // SQL Server rounds a percentage of rows up.
                const QString body = out.mid(it->start);
                checkLength(out.size() + body.size(), QStringLiteral("SQLite"));
                out += QStringLiteral(" LIMIT (SELECT CAST((COUNT(*) * %1 + 99.999999) / 100 AS INTEGER) FROM (%2))")
                           .arg(it->count, body);
            } else {
                out += QStringLiteral(" LIMIT ") + it->count;
            }
        }
        tops.clear();
    };
    size_t i = 0;
    while (i < t.size()) {
        const Token& k = t[i];
        if (k.kind == Tok::Punct && k.text == QLatin1String("(")) {
            if (levels.size() > kMaxDepth) tooDeep(QStringLiteral("SQLite"));
            levels.emplace_back();
            out += QLatin1Char('(');
            ++i;
            continue;
        }
        if (k.kind == Tok::Punct && k.text == QLatin1String(")") && levels.size() > 1) {
            closeLevel(levels.back());
            levels.pop_back();
            out += QLatin1Char(')');
            ++i;
            continue;
        }
        if (k.kind == Tok::Punct && k.text == QLatin1String(";")) {
            closeLevel(levels.back());
            out += QLatin1Char(';');
            ++i;
            continue;
        }
        if (is(k, "SELECT")) {
            size_t a = next(t, i + 1);
            size_t afterDistinct = a;
            QString distinct;
            if (a < t.size() && (is(t[a], "DISTINCT") || is(t[a], "ALL"))) {
                distinct = t[a].text + QLatin1Char(' ');
                afterDistinct = next(t, a + 1);
            }
            if (afterDistinct < t.size() && is(t[afterDistinct], "TOP")) {
                size_t nIdx = next(t, afterDistinct + 1);
                bool paren = false;
                if (nIdx < t.size() && t[nIdx].text == QLatin1String("(")) {
                    paren = true;
                    nIdx = next(t, nIdx + 1);
                }
                if (nIdx < t.size() && t[nIdx].kind == Tok::Number) {
                    const QString count = t[nIdx].text;
                    size_t after = next(t, nIdx + 1);
                    if (paren && after < t.size() && t[after].text == QLatin1String(")")) after = next(t, after + 1);
                    bool percent = false;
                    if (after < t.size() && is(t[after], "PERCENT")) {
                        percent = true;
                        after = after + 1;
                    }
                    levels.back().push_back({out.size(), count, percent});
                    out += k.text + QLatin1Char(' ') + distinct;
                    i = after;
                    continue;
                }
            }
        }
        out += k.text;
        ++i;
    }
    while (!levels.empty()) {
        closeLevel(levels.back());
        levels.pop_back();
    }
    return out;
}

}  // namespace

QString SqlServerToSqlite(const QString& sql)
{
    std::vector<Token> tokens = lex(sql);
    // Drop T-SQL session statements and batch separators that SQLite does not know.
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (is(tokens[i], "SET")) {
            size_t a = next(tokens, i + 1);
            if (a < tokens.size() && is(tokens[a], "NOCOUNT")) {
                size_t b = next(tokens, a + 1);
                for (size_t x = i; x <= b && x < tokens.size(); ++x) tokens[x] = {Tok::Space, QStringLiteral(" ")};
            }
        } else if (is(tokens[i], "GO")) {
            // Only a GO standing alone on its line separates batches.
            const bool lineStart = i == 0 || (tokens[i - 1].kind == Tok::Space && tokens[i - 1].text.contains(QLatin1Char('\n')));
            const bool lineEnd =
                i + 1 >= tokens.size() || (tokens[i + 1].kind == Tok::Space && tokens[i + 1].text.contains(QLatin1Char('\n')));
            if (lineStart && lineEnd) tokens[i] = {Tok::Punct, QStringLiteral(";")};
        } else if ((is(tokens[i], "BEGIN") || is(tokens[i], "COMMIT") || is(tokens[i], "ROLLBACK"))) {
            size_t a = next(tokens, i + 1);
            if (a < tokens.size() && is(tokens[a], "TRAN")) tokens[a].text = QStringLiteral("TRANSACTION");
        }
    }
    return rewrite(std::move(tokens));
}

}  // namespace adodb
