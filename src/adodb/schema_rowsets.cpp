#include "schema_rowsets.h"

namespace adodb {

namespace {

ColumnInfo schemaColumn(const char16_t* name, int type)
{
    ColumnInfo c;
    c.name = QString::fromUtf16(name);
    c.type = type;
    return c;
}

}  // namespace

Rowset EmptyTablesRowset()
{
    Rowset out;
    for (const char16_t* name : {u"TABLE_CATALOG", u"TABLE_SCHEMA", u"TABLE_NAME", u"TABLE_TYPE", u"DESCRIPTION"})
        out.columns.push_back(schemaColumn(name, adVarWChar));
    out.returnsRows = true;
    return out;
}

Rowset EmptyColumnsRowset()
{
    Rowset out;
    out.columns = {schemaColumn(u"TABLE_CATALOG", adVarWChar),
                   schemaColumn(u"TABLE_SCHEMA", adVarWChar),
                   schemaColumn(u"TABLE_NAME", adVarWChar),
                   schemaColumn(u"COLUMN_NAME", adVarWChar),
                   schemaColumn(u"ORDINAL_POSITION", adInteger),
                   schemaColumn(u"DATA_TYPE", adSmallInt),
                   schemaColumn(u"CHARACTER_MAXIMUM_LENGTH", adInteger),
                   schemaColumn(u"IS_NULLABLE", adBoolean)};
    out.returnsRows = true;
    return out;
}

}  // namespace adodb
