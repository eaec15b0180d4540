#include "texto.h"

#include "adodb/variant.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace rt {

bool Iguales(const QString& a, const QString& b)
{
    // Qt folds case per character, so "ÑANDÚ" and "ñandú" are equal too.
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

int InStr(const QString& texto, const QString& buscado, int inicio)
{
    // Basic raised an error for a start below 1; callers here compute starts
    // from other positions, so a bad one simply searches from the beginning.
    if (inicio < 1) inicio = 1;
    if (inicio > texto.size()) return 0;
    if (buscado.isEmpty()) return inicio;
    const qsizetype p = texto.indexOf(buscado, inicio - 1, Qt::CaseInsensitive);
    return p < 0 ? 0 : static_cast<int>(p) + 1;
}

int InStrRev(const QString& texto, const QString& buscado)
{
    if (texto.isEmpty()) return 0;
    if (buscado.isEmpty()) return static_cast<int>(texto.size());
    const qsizetype p = texto.lastIndexOf(buscado, -1, Qt::CaseInsensitive);
    return p < 0 ? 0 : static_cast<int>(p) + 1;
}

bool Contiene(const QString& texto, const QString& buscado)
{
    return texto.contains(buscado, Qt::CaseInsensitive);
}

QString ReemplazaSinCaso(const QString& texto, const QString& buscar, const QString& con)
{
    if (buscar.isEmpty()) return texto;
    QString r = texto;
    return r.replace(buscar, con, Qt::CaseInsensitive);
}

double Val(const QString& t)
{
    return adodb::LeadingNumber(t);
}

QString Comillas(const QString& valor)
{
    // A NUL ends the statement's text for the engines' parsers, cutting it mid-literal.
    return QString(valor).remove(QChar(u'\0')).replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString Izquierda(const QString& t, int n)
{
    if (n <= 0) return {};
    return t.left(n);
}

QString Derecha(const QString& t, int n)
{
    if (n <= 0) return {};
    return t.right(n);
}

QString Medio(const QString& t, int inicio, int n)
{
    if (inicio < 1) inicio = 1;
    if (inicio > t.size() || n == 0) return {};
    return n < 0 ? t.mid(inicio - 1) : t.mid(inicio - 1, n);
}

long long RedondeoBanquero(double v)
{
    if (std::isnan(v)) return 0;
    // Values beyond the range saturate instead of wrapping round.
    constexpr double limite = 9223372036854775808.0;  // 2^63
    if (v >= limite) return std::numeric_limits<long long>::max();
    if (v < -limite) return std::numeric_limits<long long>::min();
    const double abajo = std::floor(v);
    const double resto = v - abajo;
    double r = abajo;
    if (resto > 0.5 || (resto == 0.5 && std::fmod(abajo, 2.0) != 0)) r = abajo + 1;
    if (r >= limite) return std::numeric_limits<long long>::max();
    return static_cast<long long>(r);
}

QStringList CamposSeparados(const QString& linea)
{
    QStringList campos;
    QString actual;
    bool entreComillas = false;
    bool citado = false;
    for (QChar c : linea) {
        if (c == u'"') {
            entreComillas = !entreComillas;
            citado = true;
        } else if (c == u',' && !entreComillas) {
            campos.append(citado ? actual : actual.trimmed());
            actual.clear();
            citado = false;
        } else {
            actual.append(c);
        }
    }
    campos.append(citado ? actual : actual.trimmed());
    return campos;
}

QString DeWindows1252(const QByteArray& bytes)
{
    QStringDecoder d("Windows-1252");
    return d.isValid() ? d.decode(bytes) : QString::fromLatin1(bytes);
}

QByteArray AWindows1252(const QString& texto)
{
    QStringEncoder e("Windows-1252");
    return e.isValid() ? e.encode(texto) : texto.toLatin1();
}

}  // namespace rt
