#pragma once
// A value as the data layer hands it around: it keeps Empty (never set), Null
// (the database said NULL), text, numbers, dates and booleans apart, because
// callers branch on exactly those distinctions.
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <variant>

namespace adodb {

enum class VarType { Empty, Null, Text, Integer, Double, Date, Boolean };

class Variant {
public:
    Variant() = default;
    Variant(const QString& s) : v_(s) {}
    Variant(const char* s) : v_(QString::fromUtf8(s)) {}
    Variant(int i) : v_(static_cast<std::int64_t>(i)) {}
    Variant(long i) : v_(static_cast<std::int64_t>(i)) {}
    Variant(long long i) : v_(static_cast<std::int64_t>(i)) {}
    Variant(double d) : v_(d) {}
    Variant(bool b) : v_(b) {}
    Variant(const QDateTime& d) : v_(d) {}

    static Variant Null()
    {
        Variant v;
        v.v_ = NullTag{};
        return v;
    }

    VarType type() const;
    bool isEmpty() const { return v_.index() == 0; }
    bool isNull() const { return v_.index() == 1; }
    bool isText() const { return v_.index() == 2; }
    bool isNumber() const { return v_.index() == 3 || v_.index() == 4; }
    bool isDate() const { return v_.index() == 5; }
    bool isBool() const { return v_.index() == 6; }

    /// Display text: Empty and Null give "", numbers use "." and no exponent
    /// for ordinary magnitudes, dates "yyyy-MM-dd hh:mm:ss" (time part dropped at midnight).
    QString toString() const;
    /// Numeric value; text is read with the leading-number rule, Null/Empty give 0.
    double toDouble() const;
    std::int64_t toInt64() const;
    QDateTime toDateTime() const;
    bool toBool() const;

    bool operator==(const Variant& o) const;

private:
    struct NullTag {
        bool operator==(const NullTag&) const { return true; }
    };
    struct EmptyTag {
        bool operator==(const EmptyTag&) const { return true; }
    };
    std::variant<EmptyTag, NullTag, QString, std::int64_t, double, QDateTime, bool> v_;
};

/// Reads the leading number of a text the way the suite always has: leading
/// blanks skipped, digits with one decimal point and an optional exponent,
/// "&H"/"&O" prefixes; reading stops at the first character that does not fit.
double LeadingNumber(const QString& text);

/// Parses the date forms the suite writes: yyyy-MM-dd[ hh:mm[:ss]],
/// dd/MM/yyyy[ hh:mm[:ss]], yyyyMMdd. Invalid when none fits.
QDateTime ParseDate(const QString& text);

}  // namespace adodb
