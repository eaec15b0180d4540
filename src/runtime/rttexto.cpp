#include "rttexto.h"

#include "texto.h"

#include <QByteArray>
#include <QSet>
#include <QStringDecoder>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Rounds half away from zero at `decimales` places, working on the value's
// shortest decimal form so that 1.00005 (stored as 1.0000499999...) still goes up.
double redondeaDecimales(double v, int decimales)
{
    if (!std::isfinite(v) || v == 0) return 0;
    char buf[40];
    // 15 significant digits: every decimal written with that many survives the
    // trip through a double unchanged, and binary noise stays below them.
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    const char* e = std::strchr(buf, 'e');
    if (!e) return v;
    char digitos[16];
    digitos[0] = buf[0];
    std::memcpy(digitos + 1, buf + 2, 14);
    digitos[15] = '\0';
    const int exponente = std::atoi(e + 1);
    // How many of the 15 digits lie at or above the last decimal kept.
    const int quedan = exponente + 1 + decimales;
    if (quedan >= 15) return v;
    if (quedan < 0) return 0;
    long long n = 0;
    for (int i = 0; i < quedan; ++i) n = n * 10 + (digitos[i] - '0');
    if (digitos[quedan] >= '5') ++n;
    if (n == 0) return 0;
    const double r = static_cast<double>(n) / std::pow(10.0, decimales);
    return v < 0 ? -r : r;
}

// Texts typed by hand here use "," for decimals; the library accepts it when
// the text has no "." so both "1.5" and "1,5" mean one and a half.
QString normalizaDecimal(const QString& texto)
{
    if (texto.contains(u',') && !texto.contains(u'.')) {
        QString t = texto;
        return t.replace(u',', u'.');
    }
    return texto;
}

// The password key. Changing it makes every stored password unreadable.
constexpr unsigned char kClave[] = {0x5A, 0x13, 0xC7, 0x2E, 0x91, 0x44, 0xB8, 0x0F, 0x6D, 0xE2, 0x37, 0xA9};

unsigned char mezcla(qsizetype i)
{
    return static_cast<unsigned char>(kClave[i % sizeof kClave] ^ (i * 31));
}

}  // namespace

QString RtTexto::ValorCampo(const adodb::Variant& v)
{
    if (v.isNull() || v.isEmpty()) return {};
    return v.toString();
}

QString RtTexto::QuitaCaracteres(const QString& texto, const QString& caracteres)
{
    if (caracteres.isEmpty() || texto.isEmpty()) return texto;
    // By code point, so a character outside the 16-bit range is removed whole.
    const QList<uint> quitar = caracteres.toUcs4();
    const QSet<uint> conjunto(quitar.begin(), quitar.end());
    QList<uint> resto;
    for (uint c : texto.toUcs4())
        if (!conjunto.contains(c)) resto.append(c);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(resto.constData()), resto.size());
}

QString RtTexto::Reemplaza(const QString& texto, const QString& buscar, const QString& con)
{
    if (buscar.isEmpty()) return texto;
    QString r = texto;
    return r.replace(buscar, con, Qt::CaseSensitive);
}

int RtTexto::CuentaPalabras(const QString& texto)
{
    // Tabs and line breaks separate words as blanks do.
    const QString t = texto.simplified();
    return t.isEmpty() ? 0 : static_cast<int>(t.count(u' ')) + 1;
}

double RtTexto::TextoANumero(const QString& texto)
{
    return redondeaDecimales(rt::Val(normalizaDecimal(texto)), 4);
}

long long RtTexto::TextoAEntero(const QString& texto)
{
    // Rounded as the suite's integer conversion rounds, half to even, so
    // "2,5" gives 2 and "3,5" gives 4; read without the currency rounding so
    // that "2,50001" still goes up.
    return rt::RedondeoBanquero(rt::Val(normalizaDecimal(texto)));
}

QString RtTexto::AnchoFijo(const QString& texto, int ancho)
{
    if (ancho <= 0) return {};
    return texto.rightJustified(ancho, u' ', true);
}

QString RtTexto::AnchoFijo(const adodb::Variant& v)
{
    return ValorCampo(v);
}

QString RtTexto::RutaCarpeta(const QString& carpeta)
{
    if (carpeta.isEmpty()) return {};
    qsizetype fin = carpeta.size();
    while (fin > 0 && carpeta[fin - 1] == u'/') --fin;
    return carpeta.left(fin) + u'/';
}

QString RtTexto::CodificaClave(const QString& clave)
{
    QByteArray b = clave.toUtf8();
    for (qsizetype i = 0; i < b.size(); ++i) b[i] = static_cast<char>(static_cast<unsigned char>(b[i]) ^ mezcla(i));
    return QString::fromLatin1(b.toHex().toUpper());
}

QString RtTexto::DecodificaClave(const QString& guardada)
{
    const QString t = guardada.trimmed();
    if (t.size() % 2 != 0) return {};
    for (QChar c : t)
        if (c.unicode() >= 128 || !std::isxdigit(c.unicode())) return {};
    QByteArray b = QByteArray::fromHex(t.toLatin1());
    for (qsizetype i = 0; i < b.size(); ++i) b[i] = static_cast<char>(static_cast<unsigned char>(b[i]) ^ mezcla(i));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString r = utf8.decode(b);
    if (utf8.hasError()) return {};
    return r;
}

namespace {
QString& archivoLog()
{
    static QString a;
    return a;
}
}  // namespace

void RtTexto::ArchivoLog(const QString& archivo)
{
    archivoLog() = archivo;
}

QString RtTexto::ArchivoLogActual()
{
    return archivoLog();
}
