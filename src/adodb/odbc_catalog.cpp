// The catalog through ODBC's catalog functions, answered as ADO's schema
// rowsets.
#include "odbc_engine.h"

#include "odbc_engine_p.h"
#include "schema_rowsets.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace adodb::odbc {

namespace {

const Variant& cell(const Rowset& rs, size_t row, size_t col)
{
    return rs.cells[row * rs.columns.size() + col];
}

}  // namespace

Rowset OdbcEngine::tables()
{
    ensureUsable();
    Rowset raw;
    {
        Handle st = statement();
        checkStmt(SQLTablesW(st.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), st);
        raw = collect(st);
    }
    Rowset out = EmptyTablesRowset();
    const size_t width = qMin<size_t>(raw.columns.size(), 5);
    for (size_t r = 0; r < raw.rowCount(); ++r)
        for (size_t c = 0; c < 5; ++c) out.cells.push_back(c < width ? cell(raw, r, c) : Variant::Null());
    return out;
}

// Catalog functions read '_' and '%' as wildcards, and table names here are full of '_'.
QString OdbcEngine::pattern(const QString& name) const
{
    if (escape_.isEmpty()) return name;
    QString out;
    for (const QChar c : name) {
        if (c == u'_' || c == u'%' || QString(c) == escape_) out += escape_;
        out += c;
    }
    return out;
}

Rowset OdbcEngine::columns(const QString& table)
{
    ensureUsable();
    auto unquoted = [](QString s) {
        s = s.trimmed();
        if (s.size() >= 2 && ((s.startsWith(u'[') && s.endsWith(u']')) || (s.startsWith(u'"') && s.endsWith(u'"'))))
            s = s.mid(1, s.size() - 2);
        return s;
    };
    QString schema, name = unquoted(table);
    const qsizetype dot = table.lastIndexOf(u'.');
    if (dot > 0) {
        schema = unquoted(table.left(dot));
        name = unquoted(table.mid(dot + 1));
    }
    // Catalog functions match names exactly, as the server keeps them.
    name = server_->catalogName(name, table.trimmed().endsWith(u'"'));
    schema = server_->catalogName(schema, false);
    const QString schemaPattern = pattern(schema);
    const QString namePattern = pattern(name);

    Rowset raw;
    {
        Handle st = statement();
        checkStmt(SQLColumnsW(st.get(), nullptr, 0, schema.isEmpty() ? nullptr : wide(schemaPattern),
                              static_cast<SQLSMALLINT>(schemaPattern.size()), wide(namePattern),
                              static_cast<SQLSMALLINT>(namePattern.size()), nullptr, 0),
                  st);
        raw = collect(st);
    }

    Rowset out = EmptyColumnsRowset();
    // Fewer than 17 columns: an ODBC 2 driver, without ORDINAL_POSITION.
    const bool hasOrdinal = raw.columns.size() >= 17;
    long long ordinal = 0;
    for (size_t r = 0; r < raw.rowCount(); ++r) {
        // A driver that ignores the escape may match more tables than the one asked for.
        if (cell(raw, r, 2).toString().compare(name, Qt::CaseInsensitive) != 0) continue;
        ++ordinal;
        const int type = odbcAdoType(static_cast<int>(cell(raw, r, 4).toInt64()), cell(raw, r, 5).toString());
        Variant length = Variant::Null();
        const bool character = IsTextType(type) || type == adBinary || type == adLongVarBinary;
        if (character) {
            long long size = cell(raw, r, 6).toInt64();
            // ODBC reports the "max" types as 0; ADO as their largest length.
            if (size <= 0) size = (type == adVarWChar || type == adLongVarWChar) ? 1073741823LL : 2147483647LL;
            length = Variant(size);
        }
        const Variant nullable = cell(raw, r, 10);
        out.cells.push_back(cell(raw, r, 0));
        out.cells.push_back(cell(raw, r, 1));
        out.cells.push_back(cell(raw, r, 2));
        out.cells.push_back(cell(raw, r, 3));
        out.cells.emplace_back(hasOrdinal ? static_cast<long long>(cell(raw, r, 16).toInt64()) : ordinal);
        out.cells.emplace_back(static_cast<long long>(type));
        out.cells.push_back(length);
        out.cells.emplace_back(nullable.isNull() || nullable.toInt64() != SQL_NO_NULLS);
    }
    return out;
}

QStringList OdbcEngine::primaryKeys(const QString& table)
{
    ensureUsable();
    Rowset pk;
    {
        Handle st = statement();
        checkStmt(SQLPrimaryKeysW(st.get(), nullptr, 0, nullptr, 0, wide(table), static_cast<SQLSMALLINT>(table.size())), st);
        pk = collect(st);
    }
    // KEY_SEQ (column 5) gives the order; drivers return the rows by table, not by it.
    std::vector<std::pair<long long, QString>> order;
    for (size_t r = 0; r < pk.rowCount(); ++r)
        order.emplace_back(pk.columns.size() > 4 ? pk.cells[r * pk.columns.size() + 4].toInt64() : static_cast<long long>(r),
                           pk.cells[r * pk.columns.size() + 3].toString());
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList keys;
    for (const auto& o : order) keys << o.second;
    return keys;
}

}  // namespace adodb::odbc
