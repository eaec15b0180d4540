#pragma once
#include "connection.h"
#include "engine.h"
#include "variant.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace adodb {

enum CursorTypeEnum { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockTypeEnum { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };
enum EditModeEnum { adEditNone = 0, adEditInProgress = 1, adEditAdd = 2 };
enum CommandTypeEnum { adCmdUnknown = -1, adCmdText = 1, adCmdTable = 2 };

class Recordset;

/// One column of the current row; a light handle into its recordset.
class Field {
public:
    Field(Recordset* rs, int index) : rs_(rs), index_(index) {}
    QString Name() const;
    int Type() const;
    int DefinedSize() const;
    Variant Value() const;
    /// Writes the value into the row being edited; a value the column's type
    /// cannot take raises error 3421.
    void setValue(const Variant& v);
    int index() const { return index_; }

private:
    Recordset* rs_;
    int index_;
};

/// A client-side recordset: Open reads all rows, navigation stays in memory,
/// and a recordset over one table writes its rows back on Update.
class Recordset {
public:
    Recordset() = default;
    Recordset(Recordset&&) noexcept = default;
    Recordset& operator=(Recordset&&) noexcept = default;

    int CursorType = adOpenForwardOnly;
    int LockType = adLockReadOnly;
    QString Source;

    void Open(const QString& source, Connection* connection, int cursorType = -1, int lockType = -1, int options = -1);
    void Close();
    int State() const { return open_ ? adStateOpen : adStateClosed; }

    bool BOF() const;
    bool EOF_() const;
    bool eof() const { return EOF_(); }
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    long RecordCount() const;
    long AbsolutePosition() const { return static_cast<long>(pos_) + 1; }

    int FieldCount() const;
    Field Fields(int index);
    Field Fields(const QString& name);
    /// Shorthand for Fields(name).Value().
    Variant operator[](const QString& name) { return Fields(name).Value(); }

    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    int EditMode() const { return editMode_; }

    /// All remaining rows, as ADO returns them: indexed [field][row].
    std::vector<std::vector<Variant>> GetRows();

    const std::vector<ColumnInfo>& columns() const { return rowset_.columns; }
    /// Direct, bounds-unchecked cell access for bulk readers (lists, reports).
    const Variant& cell(size_t row, size_t column) const { return rowset_.cells[row * rowset_.columns.size() + column]; }

private:
    friend class Field;
    friend class Connection;
    void requireOpen() const;
    void requireCurrentRow() const;
    int indexOf(const QString& name) const;
    void adopt(Rowset rs, Connection* c);
    Variant currentValue(int column) const;
    void setCurrentValue(int column, const Variant& v);
    QString baseTable() const;
    QStringList rowCriteria(Engine& engine, size_t base, const std::vector<bool>& changed, std::vector<Variant>& params) const;
    [[noreturn]] void rowNotFound();
    void resolveKeys();

    Connection* connection_ = nullptr;
    Rowset rowset_;
    long pos_ = 0;
    bool open_ = false;
    int editMode_ = adEditNone;
    std::map<int, Variant> pending_;  // column -> new value while editing
};

}  // namespace adodb
