#pragma once
// Selection conditions, as report formulas write them ({TABLA.CAMPO} < '1000'
// and not {TABLA.TITULO}) or as plain statement conditions (ltrim(codigo) <
// '1000' and titulo = 0), read into a tree and written back as SQL.
//
// Writing SQL from the tree is where long selections are made cheap: a chain
// of "outside this range" clauses over one expression (one per copy-book
// title) becomes a search over the merged ranges, and any long AND/OR chain is
// nested as a balanced tree, so the engine's parser never meets a thousand
// nested terms and each row is tested against a handful of bounds.
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <vector>

namespace reportes {

/// An output that cannot be produced; the text is for the operator ("" when
/// the operator has already been told).
class ErrorReporte : public std::runtime_error {
public:
    explicit ErrorReporte(const QString& texto) : std::runtime_error(texto.toStdString()), texto_(texto) {}
    const QString& texto() const { return texto_; }

private:
    QString texto_;
};

/// A condition that cannot be read; the text says where and why.
class ErrorFormula : public ErrorReporte {
public:
    using ErrorReporte::ErrorReporte;
};

struct Nodo {
    enum Tipo { Y, O, No, Comparacion, Campo, Funcion, Texto, Numero, Logico };
    Tipo tipo = Logico;
    QString valor;  // operator, field name, function name, literal
    QString tabla;  // of a {TABLA.CAMPO} field
    std::vector<std::unique_ptr<Nodo>> hijos;
};

/// Reads a condition; throws ErrorFormula. An empty text gives nullptr.
std::unique_ptr<Nodo> LeeCondicion(const QString& texto);

/// SQL for the condition. `tabla`, when given, is the only table a
/// {TABLA.CAMPO} may name (the fields are written bare); another throws.
QString CondicionSql(const Nodo& nodo, const QString& tabla = {}, bool rangosNativos = false);

/// Formula to SQL in one step; "" for an empty formula. `rangosNativos`: for
/// the embedded engine (see CompactaSentencia).
QString FormulaASql(const QString& formula, const QString& tabla = {}, bool rangosNativos = false);

/// The statement with its trailing WHERE condition rewritten as CondicionSql
/// writes it. A statement whose condition cannot be read is returned unchanged:
/// the engine then has the last word on it. `rangosNativos`: the engine is the
/// embedded one, whose FUERA_DE_RANGOS searches the ranges in one call per row.
QString CompactaSentencia(const QString& sentencia, bool rangosNativos = false);

/// "+{T.CAMPO}" / "-{T.CAMPO}" / "CAMPO" as an ORDER BY item; "" for an empty text.
QString CampoOrden(const QString& campo, const QString& tabla = {});

/// "{T.CAMPO}" or "CAMPO" as a column of a SELECT list; throws ErrorFormula.
QString CampoSql(const QString& campo, const QString& tabla = {});

/// A text as a quoted SQL literal: apostrophes doubled.
QString LiteralSql(const QString& texto);

}  // namespace reportes
