#pragma once
// How values cross between ODBC's C buffers and Variant.
#include "odbc_handles.h"
#include "variant.h"

#include <QDate>
#include <QTime>
#include <cstring>

namespace adodb::odbc {

/// How a column's values are fetched: the C type they are asked for.
enum class Fetch { Integer, Double, Bit, Date, Time, Timestamp, Text };

Fetch fetchFor(SQLSMALLINT sqlType);

/// The C type and buffer size a value of `how` is fetched into (texts:
/// SQL_C_WCHAR, sized by the caller).
struct CType {
    SQLSMALLINT id = SQL_C_WCHAR;
    SQLLEN bytes = 0;
};
CType cTypeFor(Fetch how);

/// Room for one value of any kind but text.
union CellBuffer {
    SQLBIGINT integer;
    SQLDOUBLE real;
    SQLCHAR bit;
    SQL_DATE_STRUCT date;
    SQL_TIME_STRUCT time;
    SQL_TIMESTAMP_STRUCT stamp;
};

// A time of day alone lands on VB's day zero, as ADO hands it to VB code.
inline const QDate kDayZero{1899, 12, 30};

template <class T>
T fetched(const void* data)
{
    T v;
    std::memcpy(&v, data, sizeof v);
    return v;
}

/// The value a fetched buffer holds: `data` as ODBC filled it for `how`,
/// `indicator` as it came (SQL_NULL_DATA, or a text's length in bytes). The
/// one decoding of every value read, whether a block or one value at a time.
inline Variant decode(Fetch how, const void* data, SQLLEN indicator)
{
    if (indicator == SQL_NULL_DATA) return Variant::Null();
    switch (how) {
    case Fetch::Integer: return Variant(static_cast<long long>(fetched<SQLBIGINT>(data)));
    case Fetch::Double: return Variant(static_cast<double>(fetched<SQLDOUBLE>(data)));
    case Fetch::Bit: return Variant(fetched<SQLCHAR>(data) != 0);
    case Fetch::Date: {
        const auto v = fetched<SQL_DATE_STRUCT>(data);
        return Variant(QDateTime(QDate(v.year, v.month, v.day), QTime(0, 0)));
    }
    case Fetch::Time: {
        const auto v = fetched<SQL_TIME_STRUCT>(data);
        return Variant(QDateTime(kDayZero, QTime(v.hour, v.minute, v.second)));
    }
    case Fetch::Timestamp: {
        const auto v = fetched<SQL_TIMESTAMP_STRUCT>(data);
        return Variant(
            QDateTime(QDate(v.year, v.month, v.day), QTime(v.hour, v.minute, v.second, static_cast<int>(v.fraction / 1000000u))));
    }
    case Fetch::Text: break;
    }
    return Variant(fromWide(static_cast<const SQLWCHAR*>(data), indicator / 2));
}

/// Where a bound parameter's value stays until the statement runs.
struct ParamBuffer {
    SQLBIGINT integer = 0;
    SQLDOUBLE real = 0;
    SQLCHAR bit = 0;
    SQL_TIMESTAMP_STRUCT stamp{};
    QString text;
    SQLLEN indicator = 0;
};

}  // namespace adodb::odbc
