// The server-side counterpart of the embedded engine's translation. Text
// columns of the suite's PostgreSQL schema use a case-insensitive ICU
// collation; what it cannot give (blank-padded comparison on varchar, LIKE)
// is done here.
#include "postgres_dialect.h"

#include "variant.h"

#include <vector>

namespace adodb {

namespace {

enum class Tok { Word, Number, String, Quoted, Punct, Space };

struct Token {
    Tok kind;
    QString text;
};

using Tokens = std::vector<Token>;

Tokens lex(const QString& s) {
    Tokens out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace()) ++i;
            out.push_back({Tok::Space, s.mid(start, i - start)});
        } else if (c == u'\'') {
            for (++i; i < n; ++i) {
                if (s[i] != u'\'') continue;
                if (i + 1 < n && s[i + 1] == u'\'') {
                    ++i;
                    continue;
                }
                ++i;
                break;
            }
            out.push_back({Tok::String, s.mid(start, i - start)});
        } else if (c == u'"' || c == u'[') {
            const QChar close = c == u'[' ? u']' : u'"';
            for (++i; i < n && s[i] != close; ++i) {
            }
            if (i < n) ++i;
            out.push_back({Tok::Quoted, s.mid(start, i - start)});
        } else if (c == u'#') {
            // #date#, from the suite's Access heritage; a lone # stays as it is.
            const qsizetype close = s.indexOf(u'#', i + 1);
            const QDateTime d = close > i + 1 ? ParseDate(s.mid(i + 1, close - i - 1)) : QDateTime();
            if (d.isValid()) {
                // Not a String token: a date is neither blank-padded nor joined with ||.
                out.push_back({Tok::Quoted, u'\'' + d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\''});
                i = close + 1;
            } else {
                out.push_back({Tok::Punct, QString(c)});
                ++i;
            }
        } else if (c.isLetter() || c == u'_' || c == u'@') {
            while (i < n && (s[i].isLetterOrNumber() || s[i] == u'_' || s[i] == u'@' || s[i] == u'$' || s[i] == u'#')) ++i;
            out.push_back({Tok::Word, s.mid(start, i - start)});
        } else if (c.isDigit()) {
            while (i < n && (s[i].isDigit() || s[i] == u'.')) ++i;
            out.push_back({Tok::Number, s.mid(start, i - start)});
        } else if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n') ++i;
            out.push_back({Tok::Space, QStringLiteral(" ")});
        } else if ((c == u'<' || c == u'>' || c == u'!') && i + 1 < n && (s[i + 1] == u'=' || s[i + 1] == u'>')) {
            i += 2;
            out.push_back({Tok::Punct, s.mid(start, 2)});
        } else {
            ++i;
            out.push_back({Tok::Punct, QString(c)});
        }
    }
    return out;
}

bool is(const Token& t, const char* word) {
    return t.kind == Tok::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool punct(const Token& t, const char* p) { return t.kind == Tok::Punct && t.text == QLatin1String(p); }

size_t next(const Tokens& t, size_t i) {
    while (i < t.size() && t[i].kind == Tok::Space) ++i;
    return i;
}

// Index of the previous significant token, or npos.
size_t previous(const Tokens& t, size_t i) {
    while (i > 0) {
        --i;
        if (t[i].kind != Tok::Space) return i;
    }
    return std::string::npos;
}

// The parenthesis that closes the one at `open`, or size().
size_t closing(const Tokens& t, size_t open) {
    int depth = 0;
    for (size_t j = open; j < t.size(); ++j) {
        if (punct(t[j], "(")) ++depth;
        else if (punct(t[j], ")") && --depth == 0) return j;
    }
    return t.size();
}

QString join(const Tokens& t, size_t from, size_t to) {
    QString s;
    for (size_t i = from; i < to && i < t.size(); ++i) s += t[i].text;
    return s;
}

// Top-level arguments of the call whose parenthesis opens at `open`.
QStringList arguments(const Tokens& t, size_t open, size_t close) {
    QStringList out;
    int depth = 0;
    size_t from = open + 1;
    for (size_t j = open + 1; j < close; ++j) {
        if (punct(t[j], "(")) ++depth;
        else if (punct(t[j], ")")) --depth;
        else if (depth == 0 && punct(t[j], ",")) {
            out << join(t, from, j).trimmed();
            from = j + 1;
        }
    }
    out << join(t, from, close).trimmed();
    return out;
}

void blank(Tokens& t, size_t from, size_t to) {
    for (size_t x = from; x <= to && x < t.size(); ++x) t[x] = {Tok::Space, QString()};
}

bool simpleName(const QString& s) {
    if (s.isEmpty() || !(s[0].isLetter() || s[0] == u'_')) return false;
    for (const QChar c : s)
        if (!(c.isLetterOrNumber() || c == u'_')) return false;
    return true;
}

QString stripTrailingBlanks(const QString& literal) {
    // 'abc   ' -> 'abc': the closing quote stays.
    qsizetype end = literal.size() - 1;
    qsizetype k = end;
    while (k > 1 && literal[k - 1] == u' ') --k;
    return literal.left(k) + literal.mid(end);
}

bool comparison(const Token& t) {
    return t.kind == Tok::Punct && (t.text == u"=" || t.text == u"<>" || t.text == u"!=");
}

QString rewrite(Tokens t);

QString rewriteInside(const Tokens& t, size_t from, size_t to) {
    return rewrite(Tokens(t.begin() + static_cast<long>(from), t.begin() + static_cast<long>(qMin(to, t.size()))));
}

QString rewrite(Tokens t) {
    for (Token& k : t) {
        if (k.kind == Tok::Quoted && k.text.startsWith(u'[')) {
            // PostgreSQL folds unquoted names to lower case, as the schema was created.
            const QString name = k.text.mid(1, k.text.size() - 2);
            if (simpleName(name)) k = {Tok::Word, name};
            else k.text = u'"' + name.toLower() + u'"';
        }
    }
    for (size_t i = 0; i < t.size(); ++i) {
        Token& k = t[i];
        if (is(k, "WITH")) {
            const size_t a = next(t, i + 1);
            if (a < t.size() && punct(t[a], "(")) {
                const size_t b = next(t, a + 1);
                if (b < t.size() && (is(t[b], "NOLOCK") || is(t[b], "ROWLOCK") || is(t[b], "UPDLOCK") ||
                                     is(t[b], "READUNCOMMITTED") || is(t[b], "HOLDLOCK"))) {
                    const size_t c = closing(t, a);
                    blank(t, i, c);
                    t[i] = {Tok::Space, QStringLiteral(" ")};
                }
            }
        } else if (is(k, "dbo") && i + 1 < t.size() && punct(t[i + 1], ".")) {
            blank(t, i, i + 1);
        } else if (is(k, "ISNULL") && next(t, i + 1) < t.size() && punct(t[next(t, i + 1)], "(")) {
            k.text = QStringLiteral("COALESCE");
        } else if (is(k, "GETDATE")) {
            const size_t a = next(t, i + 1);
            if (a < t.size() && punct(t[a], "(")) {
                const size_t c = closing(t, a);
                blank(t, i + 1, c);
            }
            k.text = QStringLiteral("LOCALTIMESTAMP(3)");
        } else if ((is(k, "LEN") || is(k, "CHARINDEX")) && next(t, i + 1) < t.size() && punct(t[next(t, i + 1)], "(")) {
            const size_t open = next(t, i + 1);
            const size_t close = closing(t, open);
            QStringList args = arguments(t, open, close);
            for (QString& a : args) a = rewrite(lex(a));
            QString out;
            if (is(k, "LEN")) {
                // SQL Server's LEN does not count trailing blanks.
                out = QStringLiteral("length(rtrim(%1))").arg(args.value(0));
            } else if (args.size() >= 3) {
                const QString start = QStringLiteral("GREATEST(%1, 1)").arg(args[2]);
                // Substring searches refuse nondeterministic collations: search lower-cased text in the default one.
                const QString hay = QStringLiteral("lower(substr((%1) COLLATE \"default\", %2))").arg(args[1], start);
                out = QStringLiteral("(CASE WHEN strpos(%1, lower(%2)) > 0 THEN strpos(%1, lower(%2)) + %3 - 1 ELSE 0 END)")
                          .arg(hay, args[0], start);
            } else {
                out = QStringLiteral("strpos(lower((%2) COLLATE \"default\"), lower(%1))").arg(args.value(0), args.value(1));
            }
            blank(t, i + 1, close);
            k = {Tok::Quoted, out};
        } else if (is(k, "LIKE")) {
            // ICU's nondeterministic collations refuse LIKE; ILIKE under the
            // database's own collation ignores case the same way.
            k.text = QStringLiteral("ILIKE");
            size_t a = next(t, i + 1);
            if (a < t.size()) {
                if (punct(t[a], "(")) a = closing(t, a);
                if (a < t.size()) t[a].text += QStringLiteral(" COLLATE \"default\"");
            }
        } else if (k.kind == Tok::Punct && k.text == u"+") {
            const size_t p = previous(t, i), n = next(t, i + 1);
            const bool text = (p != std::string::npos && t[p].kind == Tok::String) || (n < t.size() && t[n].kind == Tok::String);
            if (text) k.text = QStringLiteral("||");
        }
    }

    // column = 'value' in a condition: SQL Server pads the shorter side, so
    // trailing blanks count on neither. (In SET lists '=' assigns.)
    bool condition = false;
    std::vector<bool> outer;  // the state outside each open parenthesis
    for (size_t i = 0; i < t.size(); ++i) {
        if (punct(t[i], "(")) outer.push_back(condition);
        else if (punct(t[i], ")") && !outer.empty()) {
            condition = outer.back();
            outer.pop_back();
        } else if (is(t[i], "WHERE") || is(t[i], "ON") || is(t[i], "HAVING") || is(t[i], "WHEN")) condition = true;
        else if (is(t[i], "SET") || is(t[i], "SELECT") || is(t[i], "VALUES") || is(t[i], "FROM")) condition = false;
        if (!condition || !comparison(t[i])) continue;
        const size_t p = previous(t, i), n = next(t, i + 1);
        if (p == std::string::npos || n >= t.size() || t[n].kind != Tok::String) continue;
        if (t[p].kind != Tok::Word || is(t[p], "NULL")) continue;
        // A date in quotes is compared as a date when the column is one.
        if (ParseDate(t[n].text.mid(1, t[n].text.size() - 2)).isValid()) continue;
        t[n].text = stripTrailingBlanks(t[n].text);
        // A qualified name (a.b) is taken whole.
        size_t from = p;
        while (from >= 2 && punct(t[from - 1], ".") && t[from - 2].kind == Tok::Word) from -= 2;
        const QString name = join(t, from, p + 1);
        blank(t, from, p);
        // As text, so that a number column compared with '5' still works (the cast keeps the collation).
        t[from] = {Tok::Quoted, QStringLiteral("rtrim(CAST(%1 AS text))").arg(name)};
    }

    // TOP n [PERCENT] after SELECT [DISTINCT|ALL] becomes LIMIT at the end of that select.
    QString out;
    size_t i = 0;
    while (i < t.size()) {
        if (punct(t[i], "(")) {
            const size_t j = closing(t, i);
            out += QLatin1Char('(') + rewriteInside(t, i + 1, j);
            if (j < t.size()) out += QLatin1Char(')');
            i = j + 1;
            continue;
        }
        if (is(t[i], "SELECT")) {
            const size_t a = next(t, i + 1);
            size_t top = a;
            QString distinct;
            if (a < t.size() && (is(t[a], "DISTINCT") || is(t[a], "ALL"))) {
                distinct = t[a].text + QLatin1Char(' ');
                top = next(t, a + 1);
            }
            if (top < t.size() && is(t[top], "TOP")) {
                size_t nIdx = next(t, top + 1);
                const bool paren = nIdx < t.size() && punct(t[nIdx], "(");
                if (paren) nIdx = next(t, nIdx + 1);
                if (nIdx < t.size() && t[nIdx].kind == Tok::Number) {
                    const QString count = t[nIdx].text;
                    size_t after = next(t, nIdx + 1);
                    if (paren && after < t.size() && punct(t[after], ")")) after = next(t, after + 1);
                    bool percent = false;
                    if (after < t.size() && is(t[after], "PERCENT")) {
                        percent = true;
                        ++after;
                    }
                    size_t end = after;
                    for (int depth = 0; end < t.size(); ++end) {
                        if (punct(t[end], "(")) ++depth;
                        else if (punct(t[end], ")")) --depth;
                        else if (depth == 0 && punct(t[end], ";")) break;
                    }
                    const QString body = t[i].text + QLatin1Char(' ') + distinct + rewriteInside(t, after, end);
                    if (percent)
                        // SQL Server rounds a percentage of rows up.
                        out += body + QStringLiteral(" LIMIT (SELECT CEIL(COUNT(*) * %1 / 100.0) FROM (%2) AS top_percent)")
                                          .arg(count, body);
                    else
                        out += body + QStringLiteral(" LIMIT ") + count;
                    i = end;
                    continue;
                }
            }
        }
        out += t[i].text;
        ++i;
    }
    return out;
}

}  // namespace

QString SqlServerToPostgres(const QString& sql) {
    Tokens tokens = lex(sql);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (is(tokens[i], "SET")) {
            const size_t a = next(tokens, i + 1);
            if (a < tokens.size() && is(tokens[a], "NOCOUNT")) blank(tokens, i, next(tokens, a + 1));
        } else if (is(tokens[i], "GO")) {
            const bool lineStart = i == 0 || (tokens[i - 1].kind == Tok::Space && tokens[i - 1].text.contains(u'\n'));
            const bool lineEnd = i + 1 >= tokens.size() || (tokens[i + 1].kind == Tok::Space && tokens[i + 1].text.contains(u'\n'));
            if (lineStart && lineEnd) tokens[i] = {Tok::Punct, QStringLiteral(";")};
        }
    }
    return rewrite(std::move(tokens));
}

}  // namespace adodb
