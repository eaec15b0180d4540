#include "variant.h"

#include <cmath>

namespace adodb {

VarType Variant::type() const {
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

static QString numberText(double d) {
    if (std::isfinite(d) && std::fabs(d) < 1e15 && d == std::trunc(d))
        return QString::number(static_cast<long long>(d));
    QString s = QString::number(d, 'f', 10);
    if (std::fabs(d) >= 1e15 || !std::isfinite(d)) return QString::number(d, 'g', 15);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    return s;
}

QString Variant::toString() const {
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

double Variant::toDouble() const {
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

std::int64_t Variant::toInt64() const {
    if (v_.index() == 3) return std::get<std::int64_t>(v_);
    return static_cast<std::int64_t>(std::llround(toDouble()));
}

QDateTime Variant::toDateTime() const {
    if (v_.index() == 5) return std::get<QDateTime>(v_);
    if (v_.index() == 2) return ParseDate(std::get<QString>(v_));
    return {};
}

bool Variant::toBool() const {
    if (v_.index() == 6) return std::get<bool>(v_);
    if (v_.index() == 2) {
        const QString s = std::get<QString>(v_).trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("verdadero"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return toDouble() != 0.0;
}

bool Variant::operator==(const Variant& o) const { return v_ == o.v_; }

double LeadingNumber(const QString& text) {
    int i = 0;
    const int n = static_cast<int>(text.size());
    auto skipBlanks = [&] {
        while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t') ||
                         text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
            ++i;
    };
    skipBlanks();
    if (i + 1 < n && text[i] == QLatin1Char('&')) {
        const QChar p = text[i + 1].toUpper();
        int base = p == QLatin1Char('H') ? 16 : p == QLatin1Char('O') ? 8 : 0;
        if (base) {
            i += 2;
            long long v = 0;
            bool any = false;
            while (i < n) {
                const int d = text[i].isDigit() ? text[i].digitValue()
                                                 : (base == 16 && QStringLiteral("abcdef").contains(text[i].toLower()))
                                                       ? text[i].toLower().unicode() - 'a' + 10
                                                       : -1;
                if (d < 0 || d >= base) break;
                v = v * base + d;
                any = true;
                ++i;
            }
            if (!any) return 0;
            // Hex literals are 16/32-bit signed in the suite's idiom.
            if (base == 16 && v <= 0xFFFF && v > 0x7FFF) v -= 0x10000;
            else if (v <= 0xFFFFFFFFLL && v > 0x7FFFFFFFLL) v -= 0x100000000LL;
            return static_cast<double>(v);
        }
    }
    std::string digits;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        digits += static_cast<char>(text[i].unicode());
        ++i;
    }
    bool seenDot = false, seenDigit = false;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) { ++i; continue; }
        if (c.isDigit() && c.unicode() < 128) { digits += static_cast<char>(c.unicode()); seenDigit = true; ++i; continue; }
        if (c == QLatin1Char('.') && !seenDot) { digits += '.'; seenDot = true; ++i; continue; }
        break;
    }
    if (!seenDigit) return 0;
    if (i < n && (text[i].toUpper() == QLatin1Char('E') || text[i].toUpper() == QLatin1Char('D'))) {
        int j = i + 1;
        std::string exp = "e";
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+'))) exp += static_cast<char>(text[j++].unicode());
        bool expDigit = false;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) { exp += static_cast<char>(text[j++].unicode()); expDigit = true; }
        if (expDigit) digits += exp;
    }
    return std::strtod(digits.c_str(), nullptr);
}

QDateTime ParseDate(const QString& text) {
    const QString t = text.trimmed();
    static const char* const forms[] = {
        "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd",
        "dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy", "d/M/yyyy HH:mm:ss", "d/M/yyyy", "yyyyMMdd",
        "yyyy/MM/dd", "dd-MM-yyyy",
    };
    for (const char* f : forms) {
        QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    return {};
}

}  // namespace adodb
