#include "archivos.h"

#include "runtime/rtarchivos.h"

namespace ArchivosConsulta {

QString RutaSinCaso(const QString& carpeta, const QString& nombre)
{
    return RtArchivos::RutaSinCaso(carpeta, nombre);
}

}  // namespace ArchivosConsulta
