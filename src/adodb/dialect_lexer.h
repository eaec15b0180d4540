#pragma once
// The tokens of a statement in SQL Server's dialect, as both translations
// (for the embedded engine and for PostgreSQL) read it: literals, quoted
// names and comments are single tokens, so nothing inside them is rewritten.
#include <QString>
#include <vector>

namespace adodb::dialect {

enum class Tok { Word, Number, String, Quoted, Punct, Space, DateLit };

struct Token {
    Tok kind;
    QString text;  // for DateLit, the text between the two "#"
};

using Tokens = std::vector<Token>;

/// Splits the statement; concatenating the texts gives it back, except that
/// a "--" comment becomes one blank and a #date# its inner text.
Tokens lex(const QString& s);

/// The token is the keyword `word`, in any case.
bool is(const Token& t, const char* word);

/// Index of the next non-space token at or after i, or size().
size_t next(const Tokens& t, size_t i);

/// Deeper than this no engine parses a statement anyway; refusing it gives
/// the operator a clear message instead of a parser stack overflow.
inline constexpr size_t kMaxDepth = 1000;

/// Throws the refusal of a statement nested deeper than kMaxDepth.
[[noreturn]] void tooDeep(const QString& source);

/// A translation repeats some parts (TOP n PERCENT counts its own rows, a
/// CHARINDEX from a position names its arguments twice); nested, they would
/// grow without bound. Past this many characters the statement is refused.
inline constexpr qsizetype kMaxLength = 4 * 1024 * 1024;

/// Throws unless a translation of `size` characters is within kMaxLength.
void checkLength(qsizetype size, const QString& source);

}  // namespace adodb::dialect
