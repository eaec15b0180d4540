#include "archivos.h"

#include <QDir>
#include <QFileInfo>

namespace ArchivosConsulta {

QString RutaSinCaso(const QString& carpeta, const QString& nombre)
{
    const QString exacta = carpeta + nombre;
    if (QFileInfo::exists(exacta)) return exacta;
    for (const QString& h : QDir(carpeta).entryList(QDir::Files | QDir::Hidden))
        if (QString::compare(h, nombre, Qt::CaseInsensitive) == 0) return carpeta + h;
    return exacta;
}

}  // namespace ArchivosConsulta
