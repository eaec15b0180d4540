#include "rtdemo.h"

#include "rtentorno.h"
#include "rttexto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace RtDemo {

namespace {
const QString kSubcarpeta = QStringLiteral("titulos-copiadores");
const QString kArchivo = QStringLiteral("demo.db");
}  // namespace

QString Instalada()
{
    // Installed: <prefix>/lib/titulos-copiadores/ and <prefix>/share/titulos-copiadores/;
    // in the build tree: build/bin/ and build/share/titulos-copiadores/.
    const QString programa = RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma());
    for (const char* arriba : {"../share/", "../../share/"}) {
        const QString ruta =
            QDir::cleanPath(programa + QString::fromLatin1(arriba) + kSubcarpeta + QLatin1Char('/') + kArchivo);
        if (QFileInfo(ruta).isFile()) return ruta;
    }
    return {};
}

QString DelUsuario()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME").trimmed();
    // Relative values are invalid by the XDG rules and must be ignored.
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QLatin1Char('/') + kSubcarpeta + QLatin1Char('/') + kArchivo);
}

QString Prepara(QString* error)
{
    const QString copia = DelUsuario();
    if (QFileInfo::exists(copia)) return copia;
    const QString instalada = Instalada();
    QString falla;
    if (instalada.isEmpty()) {
        falla = QStringLiteral("No se encuentra la base de demostración instalada");
    } else {
        QDir().mkpath(QFileInfo(copia).absolutePath());
        // Copied under another name and renamed: a copy cut short is never taken for the database.
        const QString parcial = copia + QStringLiteral(".parcial");
        QFile::remove(parcial);
        if (!QFile::copy(instalada, parcial)) {
            falla = QStringLiteral("No se pudo copiar la base de demostración en ") + copia;
        } else {
            // The copy keeps the installed file's read-only mode; the user's must take writes.
            QFile::setPermissions(parcial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
            if (!QFile::rename(parcial, copia)) {
                QFile::remove(parcial);
                falla = QStringLiteral("No se pudo copiar la base de demostración en ") + copia;
            }
        }
    }
    if (error) *error = falla;
    return falla.isEmpty() ? copia : QString();
}

}  // namespace RtDemo
