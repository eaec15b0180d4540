#include "dialect_lexer.h"

#include "error.h"
#include "variant.h"

namespace adodb::dialect {

Tokens lex(const QString& s)
{
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
        } else if (c == u'[' || c == u'"') {
            const QChar close = c == u'[' ? u']' : u'"';
            for (++i; i < n && s[i] != close; ++i) {}
            if (i < n) ++i;
            out.push_back({Tok::Quoted, s.mid(start, i - start)});
        } else if (c == u'#') {
            // #date# literal of the suite's Access heritage; a lone # stays as it is.
            const qsizetype close = s.indexOf(u'#', i + 1);
            // A date is short; a long stretch between two "#" is not one.
            if (close > i + 1 && close - i < 40 && ParseDate(s.mid(i + 1, close - i - 1)).isValid()) {
                out.push_back({Tok::DateLit, s.mid(i + 1, close - i - 1)});
                i = close + 1;
            } else {
                ++i;
                out.push_back({Tok::Punct, QString(c)});
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
            // One token, so that "<>" is never read as "<" then ">".
            i += 2;
            out.push_back({Tok::Punct, s.mid(start, 2)});
        } else {
            ++i;
            out.push_back({Tok::Punct, QString(c)});
        }
    }
    return out;
}

bool is(const Token& t, const char* word)
{
    return t.kind == Tok::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

size_t next(const Tokens& t, size_t i)
{
    while (i < t.size() && t[i].kind == Tok::Space) ++i;
    return i;
}

void tooDeep(const QString& source)
{
    throw AdoException(Error{kErrSyntax, QStringLiteral("La sentencia anida más de %1 niveles de paréntesis.").arg(kMaxDepth),
                             source, QStringLiteral("42000"), 0});
}

void checkLength(qsizetype size, const QString& source)
{
    if (size <= kMaxLength) return;
    throw AdoException(Error{kErrSyntax, QStringLiteral("La sentencia traducida pasa de %1 caracteres.").arg(kMaxLength), source,
                             QStringLiteral("42000"), 0});
}

}  // namespace adodb::dialect
