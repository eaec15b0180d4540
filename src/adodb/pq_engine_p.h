#pragma once
// Pieces of the libpq engine that need no server, kept apart so tests can
// reach them directly.
#include "engine.h"

#include <QByteArray>
#include <utility>
#include <vector>

namespace adodb::pq {

using Oid = unsigned int;

/// How a result column's text becomes a Variant.
enum class Decode { Integer, Double, Money, Boolean, Date, Time, Timestamp, Text };

Decode decodeFor(Oid type);
/// ADO type code and declared size (characters for text; 0 when unbounded)
/// of a column of this PostgreSQL type and type modifier.
int adoType(Oid type);
int definedSize(Oid type, int typmod);

/// Text as the server sent it (UTF-8), a leading U+FEFF kept.
QString text(const char* p, int n);

/// A value in libpq's text format; `text` is not NUL-terminated for us.
Variant decode(Decode how, const char* text, int length);

/// A parameter as libpq's text format takes it (the server infers its type
/// from where it stands); false for NULL.
bool encode(const Variant& v, QByteArray& out);

/// libpq's keywords and values for a parsed connection string; `known` lists
/// the keywords this libpq accepts (the extra settings are passed through
/// only when they are among them).
using Params = std::vector<std::pair<QByteArray, QByteArray>>;
Params connectionParams(const ConnectionInfo& info, int connectTimeoutSecs, int commandTimeoutSecs,
                        const std::vector<QByteArray>& known);

/// A statement already in PostgreSQL's dialect, with the "?" placeholders
/// numbered as libpq wants them ($1, $2, ...).
struct Statement {
    QString text;
    int placeholders = 0;
    /// More than one statement: only the simple protocol runs it, without parameters.
    bool batch = false;
    /// It may change a table's definition (the facts read of the catalog go stale).
    bool definition = false;
};
Statement prepare(const QString& translated);

}  // namespace adodb::pq
