#include "mascara_consulta.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace MascaraConsulta {

namespace {

constexpr const char* kCodificacion = "Windows-1252";

// The runtime library strips the two fill characters the suite's writers used
// (NUL and code 255) before the field is trimmed.
QString Campo(const QByteArray& bytes, int desde, int ancho)
{
    QByteArray b = bytes.mid(desde, ancho);
    QStringDecoder decoder(kCodificacion);
    QString t = decoder.isValid() ? decoder.decode(b) : QString::fromLatin1(b);
    t.remove(QChar(u'\0'));
    t.remove(QChar(0x00FF));
    return t.trimmed();
}

bool Pon(QByteArray& destino, int desde, int ancho, const QString& texto, const char* nombre, QString* error)
{
    QStringEncoder encoder(kCodificacion, QStringEncoder::Flag::Stateless);
    const QByteArray b = encoder.encode(texto);
    if (encoder.hasError() || !encoder.isValid()) {
        if (error)
            *error = QStringLiteral("el campo %1 tiene caracteres que Windows-1252 no puede escribir: %2")
                         .arg(QLatin1String(nombre), texto);
        return false;
    }
    if (b.size() > ancho) {
        if (error)
            *error = QStringLiteral("el campo %1 ocupa %2 bytes y su ancho es %3: %4")
                         .arg(QLatin1String(nombre))
                         .arg(b.size())
                         .arg(ancho)
                         .arg(texto);
        return false;
    }
    destino.replace(desde, b.size(), b);
    return true;
}

}  // namespace

Registro Lee(const QByteArray& bytes)
{
    QByteArray b = bytes;
    if (b.size() < kLargoRegistro) b.append(QByteArray(kLargoRegistro - b.size(), ' '));
    Registro r;
    r.nota = Campo(b, 0, kAnchoNota);
    r.tabla = Campo(b, kAnchoNota, kAnchoTabla);
    r.campos = Campo(b, kAnchoNota + kAnchoTabla, kAnchoCampos);
    r.filtro = Campo(b, kAnchoNota + kAnchoTabla + kAnchoCampos, kAnchoFiltro);
    return r;
}

std::optional<QByteArray> Escribe(const Registro& r, QString* error)
{
    QByteArray b(kLargoRegistro, ' ');
    b[kLargoRegistro - 2] = '\r';
    b[kLargoRegistro - 1] = '\n';
    if (!Pon(b, 0, kAnchoNota, r.nota, "nota", error)) return std::nullopt;
    if (!Pon(b, kAnchoNota, kAnchoTabla, r.tabla, "tabla", error)) return std::nullopt;
    if (!Pon(b, kAnchoNota + kAnchoTabla, kAnchoCampos, r.campos, "columnas", error)) return std::nullopt;
    if (!Pon(b, kAnchoNota + kAnchoTabla + kAnchoCampos, kAnchoFiltro, r.filtro, "filtro", error)) return std::nullopt;
    return b;
}

std::optional<Registro> Busca(const QString& ruta, const QString& tabla)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QString buscada = tabla.trimmed();
    // A record of blanks (a hole left by an editor) defines no table.
    if (buscada.isEmpty()) return std::nullopt;
    for (;;) {
        const QByteArray bytes = f.read(kLargoRegistro);
        if (bytes.isEmpty()) return std::nullopt;
        Registro r = Lee(bytes);
        if (QString::compare(r.tabla, buscada, Qt::CaseInsensitive) == 0) return r;
    }
}

}  // namespace MascaraConsulta
