#include "odbc_values.h"
#include "odbc_engine_p.h"

namespace adodb {

namespace odbc {

Fetch fetchFor(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT: return Fetch::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL: return Fetch::Double;
    case SQL_BIT: return Fetch::Bit;
    case SQL_TYPE_DATE: return Fetch::Date;
    case SQL_TYPE_TIME:
    case SQL_TIME: return Fetch::Time;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
    case SQL_DATETIME: return Fetch::Timestamp;
    default: return Fetch::Text;
    }
}

CType cTypeFor(Fetch how)
{
    switch (how) {
    case Fetch::Integer: return {SQL_C_SBIGINT, sizeof(SQLBIGINT)};
    case Fetch::Double: return {SQL_C_DOUBLE, sizeof(SQLDOUBLE)};
    case Fetch::Bit: return {SQL_C_BIT, sizeof(SQLCHAR)};
    case Fetch::Date: return {SQL_C_TYPE_DATE, sizeof(SQL_DATE_STRUCT)};
    case Fetch::Time: return {SQL_C_TYPE_TIME, sizeof(SQL_TIME_STRUCT)};
    case Fetch::Timestamp: return {SQL_C_TYPE_TIMESTAMP, sizeof(SQL_TIMESTAMP_STRUCT)};
    case Fetch::Text: break;
    }
    return {SQL_C_WCHAR, 0};
}

}  // namespace odbc

int odbcAdoType(int sqlType, const QString& typeName)
{
    switch (sqlType) {
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_INTEGER: return adInteger;
    case SQL_SMALLINT: return adSmallInt;
    case SQL_TINYINT: return adUnsignedTinyInt;  // SQL Server's tinyint holds 0..255
    case SQL_BIGINT: return adBigInt;
    case SQL_REAL: return adSingle;
    case SQL_FLOAT:
    case SQL_DOUBLE: return adDouble;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        // SQL Server reports money as a decimal; only the type name tells.
        return typeName.contains(u"money", Qt::CaseInsensitive) ? adCurrency : adNumeric;
    case SQL_TYPE_DATE: return adDBDate;
    case SQL_TYPE_TIME:
    case SQL_TIME: return adDBTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
    case SQL_DATETIME: return adDBTimeStamp;
    case SQL_BIT: return adBoolean;
    case SQL_BINARY:
    case SQL_VARBINARY: return adBinary;
    case SQL_LONGVARBINARY: return adLongVarBinary;
    default: return adVarWChar;
    }
}

}  // namespace adodb
