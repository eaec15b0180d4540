#pragma once
// Files the suite's Windows installations copy here keep whatever letter case
// they had there; Windows found them in any case, so the lookups do too.
#include <QString>

namespace ArchivosConsulta {

/// The path of the entry of `carpeta` named `nombre` in any letter case, or
/// `carpeta` + `nombre` when there is none. `carpeta` ends in a separator.
QString RutaSinCaso(const QString& carpeta, const QString& nombre);

}  // namespace ArchivosConsulta
