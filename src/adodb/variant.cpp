#include "variant.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace adodb {

VarType Variant::type() const
{
    switch (v_.index()) {
    case 0: return VarType::Empty;
    case 1: return VarType::Null;
    case 2: return VarType::Text;
    case 3: return VarType::Integer;
    case 4: return VarType::Double;
    case 5: return VarType::Date;
    default: return VarType::Boolean;
    }
}

static QString numberText(double d)
{
    if (std::isfinite(d) && std::fabs(d) < 1e15 && d == std::trunc(d)) return QString::number(static_cast<long long>(d));
    QString s = QString::number(d, 'f', 10);
    if (std::fabs(d) >= 1e15 || !std::isfinite(d)) return QString::number(d, 'g', 15);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    return s;
}

QString Variant::toString() const
{
    switch (v_.index()) {
    case 2: return std::get<QString>(v_);
    case 3: return QString::number(std::get<std::int64_t>(v_));
    case 4: return numberText(std::get<double>(v_));
    case 5: {
        const QDateTime& d = std::get<QDateTime>(v_);
        if (!d.isValid()) return {};
        return d.time() == QTime(0, 0) ? d.toString(QStringLiteral("dd/MM/yyyy"))
                                       : d.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case 6: return std::get<bool>(v_) ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    default: return {};
    }
}

double Variant::toDouble() const
{
    switch (v_.index()) {
    case 2: return LeadingNumber(std::get<QString>(v_));
    case 3: return static_cast<double>(std::get<std::int64_t>(v_));
    case 4: return std::get<double>(v_);
    case 5: {
        // Days since 30/12/1899, as the suite's dates count.
        const QDateTime& d = std::get<QDateTime>(v_);
        const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
        return base.msecsTo(d) / 86400000.0;
    }
    case 6: return std::get<bool>(v_) ? -1.0 : 0.0;
    default: return 0.0;
    }
}

std::int64_t Variant::toInt64() const
{
    if (v_.index() == 3) return std::get<std::int64_t>(v_);
    return static_cast<std::int64_t>(std::llround(toDouble()));
}

QDateTime Variant::toDateTime() const
{
    if (v_.index() == 5) return std::get<QDateTime>(v_);
    if (v_.index() == 2) return ParseDate(std::get<QString>(v_));
    return {};
}

bool Variant::toBool() const
{
    if (v_.index() == 6) return std::get<bool>(v_);
    if (v_.index() == 2) {
        const QString s = std::get<QString>(v_).trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("verdadero"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return toDouble() != 0.0;
}

bool Variant::operator==(const Variant& o) const
{
    return v_ == o.v_;
}

namespace {
// Blanks inside a number are skipped, as the suite's Basic did.

bool esBlanco(QChar c)
{
    // Basic's Val discards these wherever they appear, so "1 000" reads as 1000.
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool esDigito(QChar c)
{
    return c >= u'0' && c <= u'9';
}

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

double LeadingNumber(const QString& t)
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

QDateTime ParseDate(const QString& text)
{
    const QString t = text.trimmed();
    static const char* const forms[] = {
        "yyyy-MM-dd HH:mm:ss.zzz",
        "yyyy-MM-dd HH:mm:ss",
        "yyyy-MM-dd HH:mm",
        "yyyy-MM-ddTHH:mm:ss",
        "yyyy-MM-dd",
        "dd/MM/yyyy HH:mm:ss",
        "dd/MM/yyyy HH:mm",
        "dd/MM/yyyy",
        "d/M/yyyy HH:mm:ss",
        "d/M/yyyy",
        "yyyyMMdd",
        "yyyy/MM/dd",
        "dd-MM-yyyy",
    };
    for (const char* f : forms) {
        QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    return {};
}

}  // namespace adodb
