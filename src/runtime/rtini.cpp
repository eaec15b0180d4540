#include "rtini.h"

#include "rtentorno.h"
#include "texto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <mutex>

namespace {

std::mutex mCarpeta;
QString carpetaConfiguracion;

// The files come from the Windows installations, where names were never
// case-sensitive: "TITULOS.INI" must be found when asked for "Titulos.ini".
QString buscaEn(const QString& carpeta, const QString& nombre)
{
    if (carpeta.isEmpty()) return {};
    const QDir dir(carpeta);
    const QFileInfo exacto(dir.filePath(nombre));
    if (exacto.isFile()) return exacto.filePath();
    const QStringList entradas = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& e : entradas)
        if (rt::Iguales(e, nombre)) return dir.filePath(e);
    return {};
}

QString localiza(const QString& archivo)
{
    const QFileInfo fi(archivo);
    if (fi.isAbsolute()) return buscaEn(fi.path(), fi.fileName());

    QString primera;
    {
        std::lock_guard lock(mCarpeta);
        primera = carpetaConfiguracion;
    }
    const QString carpetas[] = {
        primera,
        RtEntorno::CarpetaPrograma(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
    };
    for (const QString& c : carpetas) {
        if (c.isEmpty()) continue;
        // A name with folders in it ("sub/x.ini") is taken below each folder.
        const QFileInfo dentro(QDir(c).filePath(archivo));
        const QString hallado = buscaEn(dentro.path(), dentro.fileName());
        if (!hallado.isEmpty()) return hallado;
    }
    return {};
}

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; unassigned codes map to themselves.
QString desdeWindows1252(const QByteArray& b)
{
    static constexpr char16_t alto[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString r;
    r.reserve(b.size());
    for (char c : b) {
        const auto u = static_cast<unsigned char>(c);
        r.append(u >= 0x80 && u < 0xA0 ? QChar(alto[u - 0x80]) : QChar(u));
    }
    return r;
}

QString decodifica(const QByteArray& b)
{
    if (b.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(b.mid(3));
    // Notepad's "Unicode" files.
    if (b.startsWith("\xFF\xFE")) return QStringDecoder(QStringDecoder::Utf16LE).decode(b.mid(2));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString r = utf8.decode(b);
    return utf8.hasError() ? desdeWindows1252(b) : r;
}

}  // namespace

QString RtIni::LeeIni(const QString& archivo, const QString& seccion, const QString& clave, const QString& def)
{
    if (archivo.trimmed().isEmpty() || seccion.trimmed().isEmpty() || clave.trimmed().isEmpty()) return def;
    const QString ruta = localiza(archivo);
    if (ruta.isEmpty()) return def;
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return def;
    const QString contenido = decodifica(f.readAll());

    const QString buscada = seccion.trimmed();
    const QString nombre = clave.trimmed();
    bool enSeccion = false;
    for (QStringView linea : QStringView(contenido).split(u'\n')) {
        linea = linea.trimmed();
        if (linea.isEmpty() || linea.startsWith(u';')) continue;
        if (linea.startsWith(u'[')) {
            qsizetype cierre = linea.indexOf(u']');
            if (cierre < 0) cierre = linea.size();
            enSeccion = rt::Iguales(linea.mid(1, cierre - 1).trimmed().toString(), buscada);
            continue;
        }
        if (!enSeccion) continue;
        const qsizetype igual = linea.indexOf(u'=');
        if (igual < 0 || !rt::Iguales(linea.left(igual).trimmed().toString(), nombre)) continue;
        QStringView valor = linea.mid(igual + 1).trimmed();
        // Windows drops one pair of enclosing quotes, which lets a value keep its blanks.
        if (valor.size() >= 2 && (valor.front() == u'"' || valor.front() == u'\'') && valor.back() == valor.front())
            valor = valor.mid(1, valor.size() - 2);
        return valor.toString();
    }
    return def;
}

void RtIni::FijaCarpetaConfiguracion(const QString& carpeta)
{
    std::lock_guard lock(mCarpeta);
    carpetaConfiguracion = carpeta;
}
