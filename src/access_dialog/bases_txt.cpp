#include "bases_txt.h"

#include "runtime/rtarchivos.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <QFile>
#include <QFileInfo>

namespace BasesTxt {

namespace {

// A field with a comma would split into two when read back; quoting it is
// what the suite's reader understands. Quotes themselves cannot be escaped there.
QString Campo(const QString& t)
{
    QString v = t.trimmed();
    if (!v.contains(u'"') && !v.contains(u',')) return v;
    return u'"' + v.remove(u'"') + u'"';
}

QString NombreCaracter(const QString& c)
{
    const char32_t codigo = c.size() == 2 ? QChar::surrogateToUcs4(c[0], c[1]) : c[0].unicode();
    const QString visible = c == u"\r" || c == u"\n" ? QStringLiteral("de salto de linea") : u'\'' + c + u'\'';
    return visible + QStringLiteral(" (U+") +
           QStringLiteral("%1").arg(static_cast<uint>(codigo), 4, 16, QLatin1Char('0')).toUpper() + u')';
}

}  // namespace

QString RutaLectura()
{
    return RtArchivos::RutaSinCaso(RtArchivos::CarpetaParaLeer(kArchivo), kArchivo);
}

QString RutaGrabacion()
{
    return RtArchivos::RutaSinCaso(RtArchivos::CarpetaParaGrabar(kArchivo), kArchivo);
}

bool SeparaServidor(const QString& campo, QString* servidor, QString* puerto)
{
    const QString c = campo.trimmed();
    const qsizetype dos = c.lastIndexOf(u':');
    const QString antes = c.left(dos), despues = c.mid(dos + 1);
    bool esPuerto = dos > 0;
    for (QChar d : despues) esPuerto = esPuerto && d >= u'0' && d <= u'9';
    // "pg:5432" names a host; its port would follow as "pg:5432:5432".
    if (esPuerto && (antes.compare(u"pg", Qt::CaseInsensitive) == 0 || antes.compare(u"tcp", Qt::CaseInsensitive) == 0))
        esPuerto = false;
    if (servidor) *servidor = esPuerto ? antes.trimmed() : c;
    if (puerto) *puerto = esPuerto ? despues : QString();
    return esPuerto;
}

QString CampoServidor(const QString& servidor, const QString& puerto)
{
    const QString s = servidor.trimmed(), p = puerto.trimmed();
    if (s.isEmpty() || s.contains(u',')) return s;
    // A server whose own text ends like a port ("pg:::1", "srv:1500") gets
    // the separator anyway, so that reading the line back does not cut it.
    const bool pareceConPuerto = SeparaServidor(s, nullptr, nullptr);
    if (p.isEmpty() && !pareceConPuerto) return s;
    return s + u':' + p;
}

QString ClaveServidor(const QString& servidor)
{
    QString s;
    SeparaServidor(servidor, &s, nullptr);
    return s.toUpper().trimmed();
}

QString NombreEntrada(const QString& baseDatos, const QString& servidor)
{
    return baseDatos.toUpper().trimmed() + QStringLiteral(" / ") + ClaveServidor(servidor);
}

QString CaracterNoGrabable(const QString& texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c == u'"' || c == u'\r' || c == u'\n') return c;
        const qsizetype largo = c.isHighSurrogate() && i + 1 < texto.size() ? 2 : 1;
        const QString letra = texto.mid(i, largo);
        // The encoder writes 0x1A for what it has no byte for, silently.
        if (rt::DeWindows1252(rt::AWindows1252(letra)) != letra) return letra;
        i += largo - 1;
    }
    return {};
}

QList<Conexion> Lee(const QString& ruta, bool* leido, QString* error)
{
    QList<Conexion> lista;
    if (leido) *leido = true;
    QFile f(ruta);
    if (!QFileInfo::exists(ruta)) return lista;
    if (!f.open(QIODevice::ReadOnly)) {
        if (leido) *leido = false;
        if (error) *error = QStringLiteral("No se pudo leer el archivo ") + ruta + QStringLiteral(": ") + f.errorString();
        return lista;
    }
    for (QByteArray l : f.readAll().split('\n')) {
        if (l.endsWith('\r')) l.chop(1);
        if (l.trimmed().isEmpty()) continue;
        QStringList c = rt::CamposSeparados(rt::DeWindows1252(l));
        while (c.size() < 5) c.append(QString());
        lista.append({c[0], c[1], c[2], c[3], c[4]});
    }
    return lista;
}

QByteArray Linea(const Conexion& c)
{
    return rt::AWindows1252(Campo(c.nombre) + u',' + Campo(c.baseDatos) + u',' + Campo(c.usuario) + u',' + Campo(c.clave) + u',' +
                            Campo(c.servidor)) +
           "\r\n";
}

bool GrabaConexion(const QString& nombre, const QString& baseDatos, const QString& usuario, const QString& clave,
                   const QString& servidor, QString* error)
{
    for (const QString& campo : {nombre, baseDatos, usuario, servidor}) {
        const QString malo = CaracterNoGrabable(campo.trimmed());
        if (malo.isEmpty()) continue;
        if (error)
            *error = QStringLiteral("El texto \"") + campo.trimmed() + QStringLiteral("\" tiene el caracter ") +
                     NombreCaracter(malo) + QStringLiteral(", que el archivo ") + kArchivo + QStringLiteral(" no puede guardar.");
        return false;
    }
    // A user's copy seeded from the installation now was made by us, as a new file is.
    const QString copiaUsuario = RtArchivos::RutaSinCaso(RtArchivos::CarpetaUsuario(RtArchivos::Clase::Configuracion), kArchivo);
    const bool habiaCopia = QFileInfo::exists(copiaUsuario);
    const QString ruta = RutaGrabacion();
    const bool nuevo = !QFileInfo::exists(ruta) || (!habiaCopia && ruta == copiaUsuario);
    QFile f(ruta);
    QByteArray linea = Linea({nombre, baseDatos, usuario, RtTexto::CodificaClave(clave), servidor});
    // A file written by hand may lack the last line end; appending straight
    // after it would merge the new connection into the last one.
    if (QFile previo(ruta);
        previo.size() > 0 && previo.open(QIODevice::ReadOnly) && previo.seek(previo.size() - 1) && previo.read(1) != "\n")
        linea.prepend("\r\n");
    const QFileDevice::Permissions soloDueno = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (nuevo && QFileInfo::exists(ruta)) f.setPermissions(soloDueno);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append, soloDueno) || f.write(linea) != linea.size() || !f.flush()) {
        if (error) *error = QStringLiteral("No se pudo grabar el archivo ") + ruta + QStringLiteral(": ") + f.errorString();
        return false;
    }
    return true;
}

}  // namespace BasesTxt
