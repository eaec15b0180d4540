#include "rtarchivos.h"

#include "rtentorno.h"
#include "rttexto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <unistd.h>

namespace RtArchivos {

namespace {

const QString kSubcarpeta = QStringLiteral("titulos-copiadores");
std::atomic<bool> programaSoloLectura{false};

bool Escribible(const QString& ruta, int modo)
{
    return ::access(QFile::encodeName(ruta).constData(), modo) == 0;
}

// The file itself must take writes, and its folder must let a temporary
// file be created beside it (files are replaced, not rewritten in place).
bool SePuedeGrabarEn(const QString& carpeta, const QString& nombre)
{
    if (carpeta.isEmpty() || !Escribible(carpeta, W_OK | X_OK)) return false;
    const QString ruta = RutaSinCaso(carpeta, nombre);
    return !QFileInfo::exists(ruta) || Escribible(ruta, W_OK);
}

}  // namespace

QString CarpetaUsuario(Clase clase)
{
    const bool estado = clase == Clase::Estado;
    QString base = qEnvironmentVariable(estado ? "XDG_STATE_HOME" : "XDG_CONFIG_HOME").trimmed();
    // Relative values are invalid by the XDG rules and must be ignored.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + (estado ? QStringLiteral("/.local/state") : QStringLiteral("/.config"));
    return RtTexto::RutaCarpeta(QDir::cleanPath(base + u'/' + kSubcarpeta));
}

QString RutaSinCaso(const QString& carpeta, const QString& nombre)
{
    const QString exacta = carpeta + nombre;
    if (QFileInfo::exists(exacta)) return exacta;
    for (const QString& h : QDir(carpeta).entryList(QDir::Files | QDir::Hidden))
        if (QString::compare(h, nombre, Qt::CaseInsensitive) == 0) return carpeta + h;
    return exacta;
}

QString CarpetaParaLeer(const QString& nombre, Clase clase)
{
    const QString usuario = CarpetaUsuario(clase);
    if (QFileInfo::exists(RutaSinCaso(usuario, nombre))) return usuario;
    return RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma());
}

QString CarpetaParaGrabar(const QString& nombre, Clase clase)
{
    const QString usuario = CarpetaUsuario(clase);
    if (QFileInfo::exists(RutaSinCaso(usuario, nombre))) return usuario;
    const QString programa = RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma());
    if (!programaSoloLectura && SePuedeGrabarEn(programa, nombre)) return programa;
    QDir().mkpath(usuario);
    const QString instalado = RutaSinCaso(programa, nombre);
    if (QFileInfo::exists(instalado)) {
        QFile::copy(instalado, usuario + nombre);
        // The copy keeps the installed file's read-only mode; the user's copy must take writes.
        QFile::setPermissions(usuario + nombre, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return usuario;
}

void FijaProgramaSoloLectura(bool soloLectura)
{
    programaSoloLectura = soloLectura;
}

}  // namespace RtArchivos
