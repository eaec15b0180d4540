#include "recordset.h"

#include "messages.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdint>
#include <limits>

namespace adodb {

namespace {

[[noreturn]] void conversionError()
{
    msg::raise(kErrDataConversion);
}

// A whole number the integer column can hold; anything else would be stored
// wrapped or cut by the engine.
Variant inRange(const ColumnInfo& c, long long v)
{
    long long lo = std::numeric_limits<long long>::min(), hi = std::numeric_limits<long long>::max();
    switch (c.type) {
    case adTinyInt:
        lo = -128;
        hi = 127;
        break;
    case adUnsignedTinyInt:
        lo = 0;
        hi = 255;
        break;
    case adSmallInt:
        lo = -32768;
        hi = 32767;
        break;
    case adInteger:
        lo = std::numeric_limits<std::int32_t>::min();
        hi = std::numeric_limits<std::int32_t>::max();
        break;
    case adUnsignedSmallInt:
        lo = 0;
        hi = 65535;
        break;
    case adUnsignedInt:
        lo = 0;
        hi = std::numeric_limits<std::uint32_t>::max();
        break;
    case adUnsignedBigInt: lo = 0; break;
    default: break;
    }
    if (v < lo || v > hi) conversionError();
    return Variant(v);
}

// A text the column's type can take, or error 3421 — the provider would refuse it
// at Update anyway, and callers rely on the early, typed failure.
Variant coerce(const ColumnInfo& c, const Variant& v)
{
    if (v.isNull() || v.isEmpty()) return Variant::Null();
    if (IsTextType(c.type)) {
        QString s = v.toString();
        if (c.definedSize > 0 && c.type != adLongVarChar && c.type != adLongVarWChar && s.size() > c.definedSize)
            throw AdoException(
                Error{hr(0x80040E21),
                      QStringLiteral("El texto de %1 supera los %2 caracteres de la columna.").arg(c.name).arg(c.definedSize),
                      QStringLiteral("ADODB.Field"), QStringLiteral("22001"), 0});
        return s;
    }
    if (IsIntegerType(c.type) || IsRealType(c.type)) {
        if (v.isBool()) return Variant(v.toBool() ? -1 : 0);
        if (v.type() == VarType::Integer) return IsIntegerType(c.type) ? inRange(c, v.toInt64()) : Variant(v.toDouble());
        double d = 0;
        if (v.isNumber() || v.isDate()) {
            d = v.toDouble();
        } else {
            QString s = v.toString().trimmed();
            bool ok = false;
            // A whole number is taken exactly: through a double, the largest would round past the range.
            if (IsIntegerType(c.type))
                if (const long long entero = s.toLongLong(&ok); ok) return inRange(c, entero);
            if (!s.contains(QLatin1Char('.'))) s.replace(QLatin1Char(','), QLatin1Char('.'));
            d = s.toDouble(&ok);
            if (!ok) conversionError();
        }
        if (!std::isfinite(d)) conversionError();
        if (!IsIntegerType(c.type)) return Variant(d);
        // 2^63 itself does not fit: the range is half-open.
        const double r = std::nearbyint(d);
        if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) conversionError();
        return inRange(c, static_cast<long long>(r));
    }
    if (IsDateType(c.type)) {
        if (v.isDate()) return v;
        if (v.isNumber()) {
            const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
            return Variant(base.addMSecs(static_cast<qint64>(v.toDouble() * 86400000.0)));
        }
        const QDateTime d = ParseDate(v.toString());
        if (!d.isValid()) conversionError();
        return Variant(d);
    }
    if (c.type == adBoolean) {
        if (v.isBool()) return v;
        if (v.isNumber()) return Variant(v.toDouble() != 0);
        const QString s = v.toString().trimmed().toLower();
        if (s == QLatin1String("true") || s == QLatin1String("verdadero") || s == QLatin1String("1") || s == QLatin1String("-1"))
            return Variant(true);
        if (s == QLatin1String("false") || s == QLatin1String("falso") || s == QLatin1String("0")) return Variant(false);
        conversionError();
    }
    return v;
}

}  // namespace

QString Field::Name() const
{
    return rs_->rowset_.columns.at(static_cast<size_t>(index_)).name;
}
int Field::Type() const
{
    return rs_->rowset_.columns.at(static_cast<size_t>(index_)).type;
}
int Field::DefinedSize() const
{
    return rs_->rowset_.columns.at(static_cast<size_t>(index_)).definedSize;
}
Variant Field::Value() const
{
    return rs_->currentValue(index_);
}
void Field::setValue(const Variant& v)
{
    rs_->setCurrentValue(index_, v);
}

void Recordset::adopt(Rowset rs, Connection* c)
{
    rowset_ = std::move(rs);
    connection_ = c;
    open_ = true;
    pos_ = 0;
    editMode_ = adEditNone;
    pending_.clear();
}

void Recordset::Open(const QString& source, Connection* connection, int cursorType, int lockType, int)
{
    if (open_) msg::raise(kErrObjectOpen);
    if (!connection || connection->State() != adStateOpen)
        throw AdoException(
            Error{kErrConnectionInvalid, msg::text(kErrConnectionInvalid), QStringLiteral("ADODB.Recordset"), {}, 0});
    if (cursorType >= 0) CursorType = cursorType;
    if (lockType >= 0) LockType = lockType;
    Source = source;
    // A bare table name opens the whole table.
    static const QRegularExpression bareName(QStringLiteral("^\\s*[\\w\\[\\]\\.@#$]+\\s*$"));
    const QString sql = bareName.match(source).hasMatch() ? QStringLiteral("SELECT * FROM ") + source.trimmed() : source;
    // A read-only recordset is never written back: where its columns come from is not needed.
    Rowset rows = connection->run(sql, {}, LockType != adLockReadOnly);
    adopt(std::move(rows), connection);
}

void Recordset::Close()
{
    if (!open_) msg::raise(kErrObjectClosed);
    if (editMode_ != adEditNone) msg::raise(kErrNotInContext);
    open_ = false;
    rowset_ = Rowset{};
    pending_.clear();
}

void Recordset::requireOpen() const
{
    if (!open_) msg::raise(kErrObjectClosed);
}

void Recordset::requireCurrentRow() const
{
    requireOpen();
    if (pos_ < 0 || pos_ >= static_cast<long>(rowset_.rowCount())) msg::raise(kErrBofEof);
}

bool Recordset::BOF() const
{
    requireOpen();
    return rowset_.rowCount() == 0 || pos_ < 0;
}

bool Recordset::EOF_() const
{
    requireOpen();
    return rowset_.rowCount() == 0 || pos_ >= static_cast<long>(rowset_.rowCount());
}

void Recordset::MoveFirst()
{
    requireOpen();
    if (editMode_ != adEditNone) Update();
    pos_ = 0;
}

void Recordset::MoveNext()
{
    requireOpen();
    if (editMode_ != adEditNone) Update();
    if (EOF_()) msg::raise(kErrBofEof);
    ++pos_;
}

void Recordset::MovePrevious()
{
    requireOpen();
    if (editMode_ != adEditNone) Update();
    if (BOF()) msg::raise(kErrBofEof);
    --pos_;
}

void Recordset::MoveLast()
{
    requireOpen();
    if (editMode_ != adEditNone) Update();
    pos_ = static_cast<long>(rowset_.rowCount()) - 1;
    if (pos_ < 0) pos_ = 0;
}

long Recordset::RecordCount() const
{
    requireOpen();
    return static_cast<long>(rowset_.rowCount());
}

int Recordset::FieldCount() const
{
    requireOpen();
    return static_cast<int>(rowset_.columns.size());
}

int Recordset::indexOf(const QString& name) const
{
    requireOpen();
    for (size_t i = 0; i < rowset_.columns.size(); ++i)
        if (rowset_.columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    msg::raise(kErrItemNotFound);
}

Field Recordset::Fields(int index)
{
    requireOpen();
    if (index < 0 || index >= static_cast<int>(rowset_.columns.size())) msg::raise(kErrItemNotFound);
    return Field(this, index);
}

Field Recordset::Fields(const QString& name)
{
    return Field(this, indexOf(name));
}

Variant Recordset::currentValue(int column) const
{
    if (editMode_ != adEditNone) {
        auto it = pending_.find(column);
        if (it != pending_.end()) return it->second;
        if (editMode_ == adEditAdd) return Variant::Null();
    }
    requireCurrentRow();
    return rowset_.cells[static_cast<size_t>(pos_) * rowset_.columns.size() + static_cast<size_t>(column)];
}

QString Recordset::baseTable() const
{
    QString table;
    for (const ColumnInfo& c : rowset_.columns) {
        if (c.baseTable.isEmpty()) continue;
        if (table.isEmpty())
            table = c.baseTable;
        else if (table.compare(c.baseTable, Qt::CaseInsensitive) != 0)
            return {};
    }
    return table;
}

void Recordset::setCurrentValue(int column, const Variant& v)
{
    requireOpen();
    if (LockType == adLockReadOnly || baseTable().isEmpty()) msg::raise(kErrNotSupported);
    if (editMode_ == adEditNone) {
        requireCurrentRow();
        editMode_ = adEditInProgress;
    }
    pending_[column] = coerce(rowset_.columns.at(static_cast<size_t>(column)), v);
}

void Recordset::AddNew()
{
    requireOpen();
    if (LockType == adLockReadOnly || baseTable().isEmpty()) msg::raise(kErrNotSupported);
    if (editMode_ != adEditNone) Update();
    editMode_ = adEditAdd;
    pending_.clear();
}

void Recordset::CancelUpdate()
{
    requireOpen();
    editMode_ = adEditNone;
    pending_.clear();
}

void Recordset::Update()
{
    requireOpen();
    if (editMode_ == adEditNone) return;
    const QString table = baseTable();
    Engine& engine = connection_->engine();
    const size_t n = rowset_.columns.size();
    std::vector<Variant> params;
    if (editMode_ == adEditAdd) {
        QStringList names, marks;
        for (const auto& [col, value] : pending_) {
            const ColumnInfo& c = rowset_.columns[static_cast<size_t>(col)];
            if (c.baseColumn.isEmpty()) continue;
            names << engine.quoteIdentifier(c.baseColumn);
            marks << QStringLiteral("?");
            params.push_back(value);
        }
        const QString sql =
            names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(engine.quoteIdentifier(table))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(engine.quoteIdentifier(table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        connection_->run(sql, params);
        // The new row joins the recordset, with any generated key read back.
        std::vector<Variant> row(n, Variant::Null());
        for (const auto& [col, value] : pending_) row[static_cast<size_t>(col)] = value;
        for (size_t i = 0; i < n; ++i)
            if (rowset_.columns[i].autoIncrement && row[i].isNull()) row[i] = connection_->LastInsertId();
        rowset_.cells.insert(rowset_.cells.end(), row.begin(), row.end());
        pos_ = static_cast<long>(rowset_.rowCount()) - 1;
    } else {
        QStringList sets;
        std::vector<bool> changed(n, false);
        for (const auto& [col, value] : pending_) {
            const ColumnInfo& c = rowset_.columns[static_cast<size_t>(col)];
            if (c.baseColumn.isEmpty()) continue;
            sets << engine.quoteIdentifier(c.baseColumn) + QStringLiteral(" = ?");
            params.push_back(value);
            changed[static_cast<size_t>(col)] = true;
        }
        if (sets.isEmpty()) {
            CancelUpdate();
            return;
        }
        const size_t base = static_cast<size_t>(pos_) * n;
        resolveKeys();
        const QStringList wheres = rowCriteria(engine, base, changed, params);
        const QString sql =
            QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                .arg(engine.quoteIdentifier(table), sets.join(QStringLiteral(", ")), wheres.join(QStringLiteral(" AND ")));
        const Rowset result = connection_->run(sql, params);
        if (result.affected == 0) rowNotFound();
        for (const auto& [col, value] : pending_) rowset_.cells[base + static_cast<size_t>(col)] = value;
    }
    editMode_ = adEditNone;
    pending_.clear();
}

void Recordset::Delete()
{
    requireCurrentRow();
    if (LockType == adLockReadOnly || baseTable().isEmpty()) msg::raise(kErrNotSupported);
    Engine& engine = connection_->engine();
    const size_t n = rowset_.columns.size();
    const size_t base = static_cast<size_t>(pos_) * n;
    std::vector<Variant> params;
    // A delete changes every column: the whole row must still be as it was read.
    resolveKeys();
    const QStringList wheres = rowCriteria(engine, base, std::vector<bool>(n, true), params);
    const Rowset result = connection_->run(
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(engine.quoteIdentifier(baseTable()), wheres.join(QStringLiteral(" AND "))),
        params);
    if (result.affected == 0) rowNotFound();
    rowset_.cells.erase(rowset_.cells.begin() + static_cast<long>(base), rowset_.cells.begin() + static_cast<long>(base + n));
}

QStringList Recordset::rowCriteria(Engine& engine, size_t base, const std::vector<bool>& changed,
                                   std::vector<Variant>& params) const
{
    // ADO's default criterion: the key, plus the values as read of the columns
    // being changed, so a change another program made meanwhile is never
    // overwritten (the row is then "not found"). Without a key every column
    // identifies the row. Long texts cannot be compared, and dates only by a
    // text form the engine may not have stored, so neither takes part.
    const size_t n = rowset_.columns.size();
    bool hasKey = false;
    for (const ColumnInfo& c : rowset_.columns) hasKey = hasKey || (c.key && !c.baseColumn.isEmpty());
    QStringList wheres;
    for (size_t i = 0; i < n; ++i) {
        const ColumnInfo& c = rowset_.columns[i];
        if (c.baseColumn.isEmpty()) continue;
        if (hasKey && !c.key && !changed[i]) continue;
        if (!c.key && (c.type == adLongVarChar || c.type == adLongVarWChar || c.type == adLongVarBinary || IsDateType(c.type)))
            continue;
        const Variant& original = rowset_.cells[base + i];
        if (original.isNull()) {
            wheres << engine.quoteIdentifier(c.baseColumn) + QStringLiteral(" IS NULL");
        } else {
            wheres << engine.quoteIdentifier(c.baseColumn) + QStringLiteral(" = ?");
            params.push_back(original);
        }
    }
    // Nothing left to find the row by: better refuse than touch every row.
    if (wheres.isEmpty()) msg::raise(kErrNotSupported);
    return wheres;
}

// Only a write to an existing row needs the key; reading, and adding rows,
// never ask the catalog for it.
void Recordset::resolveKeys()
{
    if (rowset_.keysKnown) return;
    for (ColumnInfo& c : rowset_.columns)
        if (!c.baseTable.isEmpty() && !c.baseColumn.isEmpty())
            c.key = connection_->PrimaryKeys(c.baseTable).contains(c.baseColumn, Qt::CaseInsensitive);
    rowset_.keysKnown = true;
}

void Recordset::rowNotFound()
{
    Error e{kErrRowNotFound, msg::text(kErrRowNotFound), QStringLiteral("ADODB.Recordset"), QStringLiteral("HY000"), 0};
    connection_->Errors().Add(e);
    throw AdoException(e);
}

std::vector<std::vector<Variant>> Recordset::GetRows()
{
    requireOpen();
    const size_t n = rowset_.columns.size();
    std::vector<std::vector<Variant>> out(n);
    if (EOF_()) msg::raise(kErrBofEof);
    for (size_t r = static_cast<size_t>(pos_); r < rowset_.rowCount(); ++r)
        for (size_t c = 0; c < n; ++c) out[c].push_back(rowset_.cells[r * n + c]);
    pos_ = static_cast<long>(rowset_.rowCount());
    return out;
}

}  // namespace adodb
