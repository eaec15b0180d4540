#include "rtentorno.h"

#include "rttexto.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace {

struct Fijados {
    std::mutex m;
    QString maquina, usuario, carpeta, ejecutable;
    QDateTime ahora;
};

Fijados& fijados()
{
    static Fijados f;
    return f;
}

QString lee(QString Fijados::*campo)
{
    Fijados& f = fijados();
    std::lock_guard lock(f.m);
    return f.*campo;
}

void fija(QString Fijados::*campo, const QString& v)
{
    Fijados& f = fijados();
    std::lock_guard lock(f.m);
    f.*campo = v;
}

// The program's own file. QCoreApplication knows it once it exists; before
// that (tools, early start-up) the kernel's link to the running image does.
QString archivoPrograma()
{
    if (QCoreApplication::instance()) {
        const QString p = QCoreApplication::applicationFilePath();
        if (!p.isEmpty()) return p;
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

bool carpetaUtil(const QString& c)
{
    if (c.isEmpty()) return false;
    const QFileInfo fi(c);
    return fi.isDir() && ::access(QFile::encodeName(c).constData(), W_OK | X_OK) == 0;
}

}  // namespace

QString RtEntorno::NombreMaquina()
{
    const QString f = lee(&Fijados::maquina);
    return f.isEmpty() ? QSysInfo::machineHostName() : f;
}

QString RtEntorno::NombreUsuario()
{
    QString f = lee(&Fijados::usuario);
    if (!f.isEmpty()) return f;
    for (const char* var : {"USER", "LOGNAME"}) {
        f = qEnvironmentVariable(var);
        if (!f.isEmpty()) return f;
    }
    // Services and containers often run without a login environment.
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    return {};
}

QString RtEntorno::CarpetaTemporal()
{
    // Ends in a separator, as the folder the suite was given on Windows did, so
    // callers append file names directly.
    for (const QString& c : {qEnvironmentVariable("TMPDIR"), QDir::tempPath(), QStringLiteral("/tmp"), QDir::homePath()})
        if (carpetaUtil(c)) return RtTexto::RutaCarpeta(QDir::cleanPath(QFileInfo(c).absoluteFilePath()));
    return QStringLiteral("/tmp/");
}

QString RtEntorno::CarpetaPrograma()
{
    const QString f = lee(&Fijados::carpeta);
    if (!f.isEmpty()) return RtTexto::RutaCarpeta(f);
    if (QCoreApplication::instance()) return RtTexto::RutaCarpeta(QCoreApplication::applicationDirPath());
    const QString p = archivoPrograma();
    return p.isEmpty() ? QString() : RtTexto::RutaCarpeta(QFileInfo(p).absolutePath());
}

QString RtEntorno::NombreEjecutable()
{
    const QString f = lee(&Fijados::ejecutable);
    if (!f.isEmpty()) return f;
    return QFileInfo(archivoPrograma()).completeBaseName();
}

void RtEntorno::FijaNombreMaquina(const QString& v)
{
    fija(&Fijados::maquina, v);
}
void RtEntorno::FijaNombreUsuario(const QString& v)
{
    fija(&Fijados::usuario, v);
}
void RtEntorno::FijaCarpetaPrograma(const QString& v)
{
    fija(&Fijados::carpeta, v);
}
void RtEntorno::FijaNombreEjecutable(const QString& v)
{
    fija(&Fijados::ejecutable, v);
}

QDateTime RtEntorno::Ahora()
{
    Fijados& f = fijados();
    std::lock_guard lock(f.m);
    return f.ahora.isValid() ? f.ahora : QDateTime::currentDateTime();
}

void RtEntorno::FijaAhora(const QDateTime& v)
{
    Fijados& f = fijados();
    std::lock_guard lock(f.m);
    f.ahora = v;
}
