// What differs on PostgreSQL. The translation is the server-side
// counterpart of the embedded engine's: text columns of the suite's
// PostgreSQL schema use a case-insensitive ICU collation; what it cannot give
// (blank-padded comparison on varchar, LIKE) is done here.
#include "postgres_dialect.h"

#include "dialect_lexer.h"
#include "server_kind.h"
#include "variant.h"

#include <map>
#include <vector>

namespace adodb {

namespace {

using namespace dialect;

const QString kSource = QStringLiteral("PostgreSQL");

bool punct(const Token& t, const char* p)
{
    return t.kind == Tok::Punct && t.text == QLatin1String(p);
}

// Index of the previous significant token, or npos.
size_t previous(const Tokens& t, size_t i)
{
    while (i > 0) {
        --i;
        if (t[i].kind != Tok::Space) return i;
    }
    return std::string::npos;
}

// For each "(", the index of the ")" that closes it (size() when none); for
// each ")", the "(" it closes. Found once, so no rewrite scans ahead for it.
std::vector<size_t> pairs(const Tokens& t)
{
    std::vector<size_t> pair(t.size(), t.size());
    std::vector<size_t> open;
    for (size_t j = 0; j < t.size(); ++j) {
        if (punct(t[j], "(")) {
            open.push_back(j);
            if (open.size() > kMaxDepth) tooDeep(kSource);
        } else if (punct(t[j], ")") && !open.empty()) {
            pair[open.back()] = j;
            pair[j] = open.back();
            open.pop_back();
        }
    }
    return pair;
}

QString join(const Tokens& t, size_t from, size_t to)
{
    QString s;
    for (size_t i = from; i < to && i < t.size(); ++i) s += t[i].text;
    return s;
}

void blank(Tokens& t, size_t from, size_t to)
{
    for (size_t x = from; x <= to && x < t.size(); ++x) t[x] = {Tok::Space, QString()};
}

bool simpleName(const QString& s)
{
    if (s.isEmpty() || !(s[0].isLetter() || s[0] == u'_')) return false;
    for (const QChar c : s)
        if (!(c.isLetterOrNumber() || c == u'_')) return false;
    return true;
}

QString stripTrailingBlanks(const QString& literal)
{
    // 'abc   ' -> 'abc': the closing quote stays.
    qsizetype end = literal.size() - 1;
    qsizetype k = end;
    while (k > 1 && literal[k - 1] == u' ') --k;
    return literal.left(k) + literal.mid(end);
}

bool comparison(const Token& t)
{
    return t.kind == Tok::Punct && (t.text == u"=" || t.text == u"<>" || t.text == u"!=");
}

bool ordering(const Token& t)
{
    return t.kind == Tok::Punct && (t.text == u"<" || t.text == u">" || t.text == u"<=" || t.text == u">=");
}

// Every date form the suite writes starts with a digit: most literals need
// no attempt at reading them as one.
bool mayBeDate(const QString& literal)
{
    for (qsizetype k = 1; k < literal.size(); ++k)
        if (!literal[k].isSpace()) return literal[k].isDigit() || literal[k] == u'-' || literal[k] == u'+';
    return false;
}

enum class Call { None, Len, Charindex };

// LEN(a) and CHARINDEX(a, b[, start]) written with PostgreSQL's functions,
// from their arguments already translated.
QString callText(Call call, const QStringList& args)
{
    if (call == Call::Len)
        // SQL Server's LEN does not count trailing blanks.
        return QStringLiteral("length(rtrim(%1))").arg(args.value(0));
    if (args.size() >= 3) {
        checkLength(2 * args[0].size() + 2 * args[1].size() + 3 * args[2].size(), kSource);
        const QString start = QStringLiteral("GREATEST(%1, 1)").arg(args[2]);
        // Substring searches refuse nondeterministic collations: search lower-cased text in the default one.
        const QString hay = QStringLiteral("lower(substr((%1) COLLATE \"default\", %2))").arg(args[1], start);
        return QStringLiteral("(CASE WHEN strpos(%1, lower(%2)) > 0 THEN strpos(%1, lower(%2)) + %3 - 1 ELSE 0 END)")
            .arg(hay, args[0], start);
    }
    return QStringLiteral("strpos(lower((%2) COLLATE \"default\"), lower(%1))").arg(args.value(0), args.value(1));
}

// A SELECT TOP n whose LIMIT is still to be written at the end of its scope.
struct PendingTop {
    qsizetype start;  // where its SELECT begins in the output
    QString count;
    bool percent;
};

// One open parenthesis while writing: a plain one, or the argument list of a
// call whose PostgreSQL form is written when it closes.
struct Level {
    std::vector<PendingTop> tops;
    Call call = Call::None;
    qsizetype start = 0;            // where the call's arguments begin in the output
    std::vector<qsizetype> commas;  // where each top-level comma of the call was
};

// Every step is one pass over the tokens, whatever their nesting: time and
// memory grow with the statement's length only.
QString rewrite(Tokens t)
{
    for (Token& k : t) {
        if (k.kind == Tok::DateLit) {
            // Not a String token: a date is neither blank-padded nor joined with ||.
            k = {Tok::Quoted, u'\'' + ParseDate(k.text).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\''};
        } else if (k.kind == Tok::Quoted && k.text.startsWith(u'[')) {
            // PostgreSQL folds unquoted names to lower case, as the schema was created.
            const QString name = k.text.mid(1, k.text.size() - 2);
            if (simpleName(name))
                k = {Tok::Word, name};
            else
                k.text = u'"' + name.toLower() + u'"';
        }
    }
    // The owner goes before anything looks at a token's neighbours.
    for (size_t i = 0; i + 1 < t.size(); ++i)
        if (is(t[i], "dbo") && punct(t[i + 1], ".")) blank(t, i, i + 1);
    const std::vector<size_t> pair = pairs(t);
    std::vector<Call> calls(t.size(), Call::None);  // at the "(" of LEN / CHARINDEX
    std::vector<QString> after(t.size());           // written right after the token
    for (size_t i = 0; i < t.size(); ++i) {
        Token& k = t[i];
        if (is(k, "WITH")) {
            const size_t a = next(t, i + 1);
            if (a < t.size() && punct(t[a], "(")) {
                const size_t b = next(t, a + 1);
                if (b < t.size() && (is(t[b], "NOLOCK") || is(t[b], "ROWLOCK") || is(t[b], "UPDLOCK") ||
                                     is(t[b], "READUNCOMMITTED") || is(t[b], "HOLDLOCK"))) {
                    blank(t, i, pair[a]);
                    t[i] = {Tok::Space, QStringLiteral(" ")};
                }
            }
        } else if (is(k, "ISNULL") && next(t, i + 1) < t.size() && punct(t[next(t, i + 1)], "(")) {
            k.text = QStringLiteral("COALESCE");
        } else if (is(k, "GETDATE")) {
            const size_t a = next(t, i + 1);
            if (a < t.size() && punct(t[a], "(")) blank(t, i + 1, pair[a]);
            k.text = QStringLiteral("LOCALTIMESTAMP(3)");
        } else if ((is(k, "LEN") || is(k, "CHARINDEX")) && next(t, i + 1) < t.size() && punct(t[next(t, i + 1)], "(")) {
            const size_t open = next(t, i + 1);
            calls[open] = is(k, "LEN") ? Call::Len : Call::Charindex;
            blank(t, i, open - 1);
        } else if (is(k, "LIKE")) {
            // ICU's nondeterministic collations refuse LIKE; ILIKE under the
            // database's own collation ignores case the same way.
            k.text = QStringLiteral("ILIKE");
            size_t a = next(t, i + 1);
            // The pattern is one token, a parenthesis or a call: the collation follows it whole.
            if (a < t.size() && t[a].kind == Tok::Word && next(t, a + 1) < t.size() && punct(t[next(t, a + 1)], "("))
                a = next(t, a + 1);
            if (a < t.size() && punct(t[a], "(")) a = pair[a];
            if (a < t.size()) after[a] += QStringLiteral(" COLLATE \"default\"");
        } else if (k.kind == Tok::Punct && k.text == u"+") {
            const size_t p = previous(t, i), n = next(t, i + 1);
            const bool text = (p != std::string::npos && t[p].kind == Tok::String) || (n < t.size() && t[n].kind == Tok::String);
            if (text) k.text = QStringLiteral("||");
        }
    }

    // column = 'value' in a condition: SQL Server pads the shorter side, so
    // trailing blanks count on neither, in an equality or an ordering. (In
    // SET lists '=' assigns.)
    bool condition = false;
    std::vector<bool> outer;  // the state outside each open parenthesis
    for (size_t i = 0; i < t.size(); ++i) {
        if (punct(t[i], "("))
            outer.push_back(condition);
        else if (punct(t[i], ")") && !outer.empty()) {
            condition = outer.back();
            outer.pop_back();
        } else if (is(t[i], "WHERE") || is(t[i], "ON") || is(t[i], "HAVING") || is(t[i], "WHEN"))
            condition = true;
        else if (is(t[i], "SET") || is(t[i], "SELECT") || is(t[i], "VALUES") || is(t[i], "FROM"))
            condition = false;
        const bool equality = comparison(t[i]);
        if (!condition || !(equality || ordering(t[i]))) continue;
        const size_t p = previous(t, i), n = next(t, i + 1);
        if (p == std::string::npos || n >= t.size() || t[n].kind != Tok::String) continue;
        // The compared side: a name (a qualified one, a.b, taken whole) or a
        // call such as ltrim(codigo).
        size_t from = p;
        if (t[p].kind == Tok::Word && !is(t[p], "NULL")) {
            while (from >= 2 && punct(t[from - 1], ".") && t[from - 2].kind == Tok::Word) from -= 2;
        } else if (punct(t[p], ")") && pair[p] < p && punct(t[pair[p]], "(") && calls[pair[p]] == Call::None) {
            from = pair[p];
            const size_t f = previous(t, from);
            if (f != std::string::npos && t[f].kind == Tok::Word && !is(t[f], "IN") && !is(t[f], "EXISTS")) from = f;
        } else {
            continue;
        }
        // A date in quotes is compared as a date when the column is one.
        if (mayBeDate(t[n].text) && ParseDate(t[n].text.mid(1, t[n].text.size() - 2)).isValid()) continue;
        t[n].text = stripTrailingBlanks(t[n].text);
        const QString name = join(t, from, p + 1);
        if (equality) {
            blank(t, from, p);
            // As text, so that a number column compared with '5' still works (the cast keeps the collation).
            t[from] = {Tok::Quoted, QStringLiteral("rtrim(CAST(%1 AS text))").arg(name)};
            continue;
        }
        // An ordering keeps the column's own type (a number stays a number);
        // only where the stored blanks make PostgreSQL see a longer text than
        // SQL Server does, '>' and '<=' tell it that the two are equal.
        if (t[i].text == u"<" || t[i].text == u">=") continue;
        const bool greater = t[i].text == u">";
        blank(t, from, p);
        t[from] = {Tok::Quoted, u'(' + name};
        after[n] += QStringLiteral(" %1 rtrim(CAST(%2 AS text)) %3 %4)")
                        .arg(greater ? QStringLiteral("AND") : QStringLiteral("OR"), name,
                             greater ? QStringLiteral("<>") : QStringLiteral("="), t[n].text);
    }

    // TOP n [PERCENT] after SELECT [DISTINCT|ALL] becomes LIMIT at the end of
    // that select's scope: the closing parenthesis of its level, a ";" on its
    // level (or a "," between a call's arguments), or the end of the text.
    QString out;
    std::vector<Level> levels(1);
    auto closeTops = [&](std::vector<PendingTop>& tops) {
        // Innermost (latest) first: an outer TOP's scope contains the inner's LIMIT.
        for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
            if (it->percent) {
                // SQL Server rounds a percentage of rows up.
                const QString body = out.mid(it->start);
                checkLength(out.size() + body.size(), kSource);
                out += QStringLiteral(" LIMIT (SELECT CEIL(COUNT(*) * ") + it->count + QStringLiteral(" / 100.0) FROM (") + body +
                       QStringLiteral(") AS top_percent)");
            } else {
                out += QStringLiteral(" LIMIT ") + it->count;
            }
        }
        tops.clear();
    };
    auto closeLevel = [&] {
        Level& level = levels.back();
        closeTops(level.tops);
        if (level.call != Call::None) {
            QStringList args;
            qsizetype from = level.start;
            for (const qsizetype comma : level.commas) {
                args << out.mid(from, comma - from).trimmed();
                from = comma + 1;
            }
            args << out.mid(from).trimmed();
            out.truncate(level.start);
            out += callText(level.call, args);
        }
        levels.pop_back();
    };
    size_t i = 0;
    while (i < t.size()) {
        const Token& k = t[i];
        if (punct(k, "(")) {
            levels.emplace_back();
            levels.back().call = calls[i];
            levels.back().start = out.size();
            if (calls[i] == Call::None) out += QLatin1Char('(');
        } else if (punct(k, ")") && levels.size() > 1) {
            const bool call = levels.back().call != Call::None;
            closeLevel();
            if (!call) out += QLatin1Char(')');
        } else if (punct(k, ";")) {
            closeTops(levels.back().tops);
            out += k.text;
        } else if (punct(k, ",") && levels.back().call != Call::None) {
            closeTops(levels.back().tops);
            levels.back().commas.push_back(out.size());
            out += k.text;
        } else if (is(k, "SELECT")) {
            const size_t a = next(t, i + 1);
            size_t top = a;
            QString distinct;
            if (a < t.size() && (is(t[a], "DISTINCT") || is(t[a], "ALL"))) {
                distinct = t[a].text + QLatin1Char(' ');
                top = next(t, a + 1);
            }
            size_t nIdx = top < t.size() && is(t[top], "TOP") ? next(t, top + 1) : t.size();
            const bool paren = nIdx < t.size() && punct(t[nIdx], "(");
            if (paren) nIdx = next(t, nIdx + 1);
            if (nIdx < t.size() && t[nIdx].kind == Tok::Number) {
                size_t rest = next(t, nIdx + 1);
                if (paren && rest < t.size() && punct(t[rest], ")")) rest = next(t, rest + 1);
                bool percent = false;
                if (rest < t.size() && is(t[rest], "PERCENT")) {
                    percent = true;
                    ++rest;
                }
                levels.back().tops.push_back({out.size(), t[nIdx].text, percent});
                out += k.text + QLatin1Char(' ') + distinct;
                i = rest;
                continue;
            }
            out += k.text;
        } else {
            out += k.text;
        }
        out += after[i];
        ++i;
    }
    while (levels.size() > 1) closeLevel();
    closeTops(levels.back().tops);
    return out;
}

}  // namespace

QString SqlServerToPostgres(const QString& sql)
{
    Tokens tokens = lex(sql);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (is(tokens[i], "SET")) {
            const size_t a = next(tokens, i + 1);
            if (a < tokens.size() && is(tokens[a], "NOCOUNT")) blank(tokens, i, next(tokens, a + 1));
        } else if (is(tokens[i], "GO")) {
            const bool lineStart = i == 0 || (tokens[i - 1].kind == Tok::Space && tokens[i - 1].text.contains(u'\n'));
            const bool lineEnd =
                i + 1 >= tokens.size() || (tokens[i + 1].kind == Tok::Space && tokens[i + 1].text.contains(u'\n'));
            if (lineStart && lineEnd) tokens[i] = {Tok::Punct, QStringLiteral(";")};
        }
    }
    return rewrite(std::move(tokens));
}

void RestorePostgresNames(std::vector<ColumnInfo>& columns, const QString& sql)
{
    std::map<QString, QString> spelling;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        if (sql[i] == u'\'') {  // words inside literals are data, not names
            for (++i; i < n && sql[i] != u'\''; ++i) {}
            ++i;
            continue;
        }
        if (!(sql[i].isLetter() || sql[i] == u'_')) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < n && (sql[i].isLetterOrNumber() || sql[i] == u'_')) ++i;
        const QString word = sql.mid(start, i - start);
        spelling.emplace(word.toLower(), word);
    }
    for (ColumnInfo& c : columns) {
        if (c.name != c.name.toLower()) continue;  // quoted, kept as the server has it
        if (const auto it = spelling.find(c.name); it != spelling.end()) c.name = it->second;
    }
}

namespace {

class PostgresKind final : public ServerKind {
public:
    QString translate(const QString& sql) const override { return SqlServerToPostgres(sql); }
    void restoreNames(Rowset& rows, const QString& sql) const override { RestorePostgresNames(rows.columns, sql); }
    // Unquoted names are kept in lower case, and the catalog matches them exactly.
    QString catalogName(const QString& name, bool quoted) const override { return quoted ? name : name.toLower(); }
    Variant lastInsertId(const Query& query) const override
    {
        // lastval() fails when this session has drawn no sequence value yet.
        try {
            const Rowset rs = query(QStringLiteral("SELECT lastval()"));
            return rs.rowCount() == 0 ? Variant::Null() : Variant(static_cast<long long>(rs.cells.front().toInt64()));
        } catch (const AdoException&) {
            return Variant::Null();
        }
    }
    // psqlODBC applies a statement's time-out by sending SET statement_timeout
    // whenever it differs from the last one sent, and the statements it opens
    // for itself (the catalog reads behind a column description) carry none:
    // each of them cost two more round trips. The session's own setting, sent
    // once when the time-out changes, bounds every statement the same way.
    QString sessionTimeout(int seconds) const override
    {
        return QStringLiteral("SET statement_timeout = ") + QString::number(static_cast<long long>(seconds) * 1000);
    }
};

}  // namespace

std::unique_ptr<ServerKind> makePostgresKind()
{
    return std::make_unique<PostgresKind>();
}

}  // namespace adodb
