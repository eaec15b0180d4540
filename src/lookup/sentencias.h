#pragma once
// The statements the lookup windows narrow with what the operator types:
// plain text in, plain text out, so they are tested without windows.
#include <QString>

namespace Sentencias {

/// Position (0-based) of the first `palabra` ("order by", "where"...) that
/// belongs to the statement itself: as a whole word, outside quoted texts and
/// outside parentheses; -1 when there is none. Letter case is ignored.
qsizetype Clausula(const QString& sentencia, const QString& palabra);

/// The list window's server-side search: `sentencia` narrowed to the rows
/// whose `columna` begins with `texto` (contains its words, in order, with
/// `contiene`). ORDER BY and GROUP BY stay after the new condition; the
/// typed text's apostrophes are doubled. Its "%" and "_" are wildcards, as
/// are blanks with `contiene` and "*" without; "[" and a backslash match only
/// themselves on every engine.
QString SentenciaFiltrada(const QString& sentencia, const QString& columna, const QString& texto, bool contiene);

/// The tree window's filtered search: `sentencia` narrowed to the rows whose
/// Descripcion contains `texto` ("%" and "_" are wildcards there too),
/// ahead of its ORDER BY clause.
QString SentenciaArbol(const QString& sentencia, const QString& texto);

}  // namespace Sentencias
