#include "texto.h"

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

namespace {

bool esBlanco(QChar c)
{
    // Basic's Val discards these wherever they appear, so "1 000" reads as 1000.
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool esDigito(QChar c) { return c >= u'0' && c <= u'9'; }

int valorDigito(QChar c, int base)
{
    int d = -1;
    if (esDigito(c))
        d = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        d = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        d = c.unicode() - u'A' + 10;
    return d >= 0 && d < base ? d : -1;
}

// "&H" and "&O" literals keep Basic's typing: a value that fits 16 bits is an
// Integer and one that fits 32 bits a Long, so "&HFFFF" is -1 as it always was.
double leeEntero(const QString& t, qsizetype i, int base)
{
    std::uint64_t v = 0;
    double grande = 0;
    bool desborda = false;
    bool alguno = false;
    for (; i < t.size(); ++i) {
        if (esBlanco(t[i])) continue;
        const int d = valorDigito(t[i], base);
        if (d < 0) break;
        alguno = true;
        if (!desborda && v > (std::numeric_limits<std::uint64_t>::max() - d) / base) {
            desborda = true;
            grande = static_cast<double>(v);
        }
        if (desborda)
            grande = grande * base + d;
        else
            v = v * base + d;
    }
    if (!alguno) return 0;
    if (desborda) return std::isfinite(grande) ? grande : 0;
    if (v <= 0xFFFFu) return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    if (v <= 0xFFFFFFFFu) return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return static_cast<double>(v);
}

}  // namespace

double Val(const QString& t)
{
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto salta = [&] {
        while (i < n && esBlanco(t[i])) ++i;
    };
    salta();
    if (i + 1 < n && t[i] == u'&') {
        const QChar p = t[i + 1].toUpper();
        if (p == u'H') return leeEntero(t, i + 2, 16);
        if (p == u'O') return leeEntero(t, i + 2, 8);
        return 0;
    }

    // Collect the accepted characters in C form and let strtod do the arithmetic,
    // which rounds correctly where summing digits by hand would not.
    std::string c;
    if (i < n && (t[i] == u'-' || t[i] == u'+')) {
        c.push_back(static_cast<char>(t[i].unicode()));
        ++i;
    }
    bool digitos = false;
    bool punto = false;
    for (; i < n; ++i) {
        const QChar ch = t[i];
        if (esBlanco(ch)) continue;
        if (esDigito(ch)) {
            digitos = true;
            c.push_back(static_cast<char>(ch.unicode()));
        } else if (ch == u'.' && !punto) {
            punto = true;
            c.push_back('.');
        } else {
            break;
        }
    }
    if (!digitos) return 0;

    // An exponent counts only when digits follow it: "1e" and "1e+" read as 1.
    if (i < n) {
        const QChar e = t[i].toUpper();
        if (e == u'E' || e == u'D') {
            qsizetype j = i + 1;
            std::string exp = "e";
            while (j < n && esBlanco(t[j])) ++j;
            if (j < n && (t[j] == u'-' || t[j] == u'+')) exp.push_back(static_cast<char>(t[j++].unicode()));
            bool hay = false;
            for (; j < n; ++j) {
                if (esBlanco(t[j])) continue;
                if (!esDigito(t[j])) break;
                hay = true;
                // Beyond this the result is 0 or out of range anyway; cap the text.
                if (exp.size() < 8) exp.push_back(static_cast<char>(t[j].unicode()));
            }
            if (hay) c += exp;
        }
    }
    const double v = std::strtod(c.c_str(), nullptr);
    // Basic stopped with an overflow here; a number nobody can store is read as 0
    // so that it never reaches a file or a table as infinity.
    if (!std::isfinite(v)) return 0;
    return v == 0 ? 0.0 : v;
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

}  // namespace rt
