#pragma once
// The small interface behind which each database engine sits. The ADO-like
// classes above it never see sqlite3 or ODBC handles.
#include "error.h"
#include "variant.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace adodb {

// ADO DataTypeEnum values the engines report and the recordsets check.
enum AdoType : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,  // SQL Server's tinyint: 0..255
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adFileTime = 64,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adDBFileTime = 137,
    adVarNumeric = 139,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adLongVarBinary = 205
};

// What kind of value a column of each type holds. Every check on a type code
// goes through these, so a type added to one kind is seen everywhere.

constexpr bool IsTextType(int type)
{
    switch (type) {
    case adBSTR:
    case adChar:
    case adWChar:
    case adVarChar:
    case adLongVarChar:
    case adVarWChar:
    case adLongVarWChar: return true;
    default: return false;
    }
}

constexpr bool IsDateType(int type)
{
    switch (type) {
    case adDate:
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp:
    case adFileTime:
    case adDBFileTime: return true;
    default: return false;
    }
}

/// Whole numbers, which a column may hold only within its range.
constexpr bool IsIntegerType(int type)
{
    switch (type) {
    case adTinyInt:
    case adUnsignedTinyInt:
    case adSmallInt:
    case adUnsignedSmallInt:
    case adInteger:
    case adUnsignedInt:
    case adBigInt:
    case adUnsignedBigInt: return true;
    default: return false;
    }
}

/// Numbers with a fraction (or money).
constexpr bool IsRealType(int type)
{
    switch (type) {
    case adSingle:
    case adDouble:
    case adCurrency:
    case adDecimal:
    case adNumeric:
    case adVarNumeric: return true;
    default: return false;
    }
}

/// Whether a column of this type holds numbers (shown right-aligned, sorted by value).
constexpr bool IsNumericType(int type)
{
    return IsIntegerType(type) || IsRealType(type);
}

/// What a result column is and, when it comes straight from a table column,
/// where it comes from (so that the row can be written back).
struct ColumnInfo {
    QString name;
    int type = adVarChar;
    int definedSize = 0;
    QString baseTable;  // empty for expressions
    QString baseColumn;
    bool key = false;
    bool autoIncrement = false;
    bool nullable = true;
};

/// Rows of one statement, read completely (client-side cursor).
struct Rowset {
    std::vector<ColumnInfo> columns;
    std::vector<Variant> cells;  // row-major
    long affected = -1;          // rows changed by INSERT/UPDATE/DELETE, -1 otherwise
    bool returnsRows = false;
    /// False when ColumnInfo::key is still to be asked of the catalog (an
    /// engine for which that is a round trip leaves it to the first write).
    bool keysKnown = true;
    size_t rowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
};

/// Parsed connection string; keys are matched without regard to case and trimmed.
struct ConnectionInfo {
    QString raw;
    QString provider, server, database, dataSource, user, password, dsn, driver;
    QString extra;  // what the parser did not recognise, kept for ODBC
    static ConnectionInfo parse(const QString& connectionString);
    /// The file an embedded engine opens, or empty when the string names a server.
    QString embeddedFile() const;
};

/// A value ready for a connection string: in double quotes (its own doubled)
/// when it holds ";" or starts with a quote, else unchanged.
QString quoteConnectionValue(const QString& value);

class Engine {
public:
    virtual ~Engine() = default;
    virtual void open(const ConnectionInfo& info, const QString& user, const QString& password, int timeoutSecs) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    /// Runs one statement (or a batch) with positional parameters; throws AdoException.
    /// `forWriting` false: the rows will only be read, so where each column
    /// comes from (base table and column, identity, nullability) may be left
    /// out when finding it out costs the engine a round trip.
    virtual Rowset run(const QString& sql, const std::vector<Variant>& params, int timeoutSecs, bool forWriting = true) = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    /// Schema rowsets with ADO's column names (TABLE_NAME, COLUMN_NAME, ...).
    virtual Rowset tables() = 0;
    virtual Rowset columns(const QString& table) = 0;
    /// The primary-key columns of a table, in key order (empty: no key).
    virtual QStringList primaryKeys(const QString& table) = 0;
    virtual QString quoteIdentifier(const QString& name) const = 0;
    virtual QString dbmsName() const = 0;
    virtual QString currentDatabase() const = 0;
    virtual void setCurrentDatabase(const QString& name) = 0;
    /// Identity of the row last inserted, for reading back generated keys.
    virtual Variant lastInsertId() = 0;
    /// Makes every later call fail as a dropped network link would, until the
    /// engine is closed and opened again. Only tests call it.
    virtual void breakLink() = 0;
    /// True for a database file on a folder other computers share.
    virtual bool onNetworkFolder() const { return false; }
    /// True when the database answers reads but will refuse every write (a
    /// file the user may not write, a read-only mount).
    virtual bool readOnly() const { return false; }
};

std::unique_ptr<Engine> makeSqliteEngine();
std::unique_ptr<Engine> makeOdbcEngine();

}  // namespace adodb
