#pragma once
// How a table or view name becomes the statement of its lookup: the name
// rules, the definitions file "consultas.vrl", and a definition derived from
// the table's own columns.
#include "mascara_consulta.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace Def_QConsulta {

/// The lookup of a table by name. On return `CampoClave` holds the key the
/// operator chose ("" when none); without a lookup (no definitions file and
/// `Mostrar` false) the two columns the name rules give.
void ConsultarTabla(QString& Tabla, QString& CampoDescripcion, QString& CampoClave, bool Mostrar, const QString& Filtro);

/// The main window's hook: the key chosen in a lookup of `tabla`, "" when none.
QString ConsultaClave(const QString& tabla);

/// The description and key columns the name rules give; "V_TA_Cpte" and
/// "TA_COMPROBANTES" also turn `Tabla` into "VT_TA_Cpte". False (columns
/// untouched) when no rule takes the name.
bool AplicaReglas(QString& Tabla, QString& CampoDescripcion, QString& CampoClave);

/// Whether lookups take their definitions from "consultas.vrl" of the program folder.
bool UsaArchivoDefiniciones();

/// The row limit of every built statement ("TopConsArt"; 1000 when unset).
long long TopConsArt();

/// The statement of a definition record. Fills an empty `CampoBusqueda`
/// from the first column; a record with a single column then cannot search,
/// which is told to the operator, and nullopt is returned.
std::optional<QString> SentenciaDeDefinicion(const MascaraConsulta::Registro& r, QString& CampoBusqueda, const QString& Where,
                                             long long n);

/// The statement derived from the table's columns (reversed, description-like
/// column as search column).
QString SentenciaDerivada(const QString& tabla, QString& CampoBusqueda, const QString& Where, long long n);

/// The plain column names of a definition record that the table does not
/// have (letter case ignored; expressions are not checked). Empty when they
/// are all there, or when the table cannot be read to tell.
QStringList ColumnasQueFaltan(const MascaraConsulta::Registro& r);

}  // namespace Def_QConsulta
