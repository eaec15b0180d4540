// The embedded engine: a SQLite file that answers the suite's SQL Server
// statements as SQL Server would.
#include "engine.h"
#include "messages.h"
#include "network_folder.h"
#include "sqlite_codes.h"
#include "sqlite_dialect.h"
#include "sqlite_funciones.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace adodb {

namespace {

const QString kSource = QStringLiteral("SQLite");

// QString::fromUtf8 drops a leading byte-order mark; stored text keeps it.
QString TextoUtf8(const char* p, int bytes)
{
    if (bytes >= 3 && static_cast<unsigned char>(p[0]) == 0xEF && static_cast<unsigned char>(p[1]) == 0xBB &&
        static_cast<unsigned char>(p[2]) == 0xBF)
        return QChar(0xFEFF) + QString::fromUtf8(p + 3, bytes - 3);
    return QString::fromUtf8(p, bytes);
}

// Declared column type, written the SQL Server way, to ADO's type code and size.
void mapDeclType(const char* decl, int* type, int* size)
{
    QString d = QString::fromLatin1(decl ? decl : "").trimmed().toLower();
    int arg = 0;
    const int open = static_cast<int>(d.indexOf(QLatin1Char('(')));
    if (open >= 0) {
        arg = d.mid(open + 1).section(QLatin1Char(','), 0, 0).remove(QLatin1Char(')')).trimmed().toInt();
        d = d.left(open).trimmed();
    }
    struct Map {
        const char* name;
        int type;
        int size;
    };
    static const Map exact[] = {
        {"varchar", adVarChar, 0},
        {"nvarchar", adVarWChar, 0},
        {"char", adChar, 0},
        {"nchar", adWChar, 0},
        {"text", adLongVarChar, 2147483647},
        {"ntext", adLongVarWChar, 1073741823},
        {"clob", adLongVarChar, 2147483647},
        {"datetime", adDBTimeStamp, 16},
        {"smalldatetime", adDBTimeStamp, 16},
        {"datetime2", adDBTimeStamp, 16},
        {"timestamp", adDBTimeStamp, 16},
        {"date", adDBDate, 6},
        {"time", adDBTime, 6},
        {"bit", adBoolean, 2},
        {"boolean", adBoolean, 2},
        {"tinyint", adUnsignedTinyInt, 1},
        {"smallint", adSmallInt, 2},
        {"int", adInteger, 4},
        {"integer", adInteger, 4},
        {"bigint", adBigInt, 8},
        {"money", adCurrency, 8},
        {"smallmoney", adCurrency, 8},
        {"decimal", adNumeric, 19},
        {"numeric", adNumeric, 19},
        {"float", adDouble, 8},
        {"double", adDouble, 8},
        {"real", adSingle, 4},
        {"blob", adLongVarBinary, 2147483647},
        {"image", adLongVarBinary, 2147483647},
        {"varbinary", adBinary, 0},
        {"binary", adBinary, 0},
        {"uniqueidentifier", adGUID, 16},
    };
    for (const Map& m : exact) {
        if (d == QLatin1String(m.name)) {
            *type = m.type;
            *size = m.size ? m.size : (arg > 0 ? arg : 8000);
            return;
        }
    }
    if (d.contains(QLatin1String("char")) || d.contains(QLatin1String("text"))) {
        *type = adVarChar;
        *size = arg > 0 ? arg : 8000;
    } else if (d.contains(QLatin1String("int"))) {
        *type = adInteger;
        *size = 4;
    } else {
        *type = adVarChar;
        *size = 8000;
    }
}

struct Stmt {
    sqlite3_stmt* s = nullptr;
    ~Stmt() { sqlite3_finalize(s); }
};

class SqliteEngine final : public Engine {
public:
    ~SqliteEngine() override { close(); }

    void open(const ConnectionInfo& info, const QString&, const QString&, int timeoutSecs) override
    {
        close();
        const QString file = info.embeddedFile();
        path_ = file;
        // Never create a database silently: a mistyped name must fail to connect.
        if (file.trimmed().isEmpty() || !QFileInfo(file).isFile())
            throw AdoException(
                ProviderError(QStringLiteral("08001"),
                              QStringLiteral("No se puede abrir la base de datos \"%1\": el archivo no existe.").arg(file),
                              kSource, SQLITE_CANTOPEN));
        const QByteArray p = file.toUtf8();
        sqlite3* db = nullptr;
        // A connection is only ever used from the thread that opened it, so the
        // per-call mutex of serialized mode is pure cost (a tenth of a bulk read).
        const int rc = sqlite3_open_v2(p.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            const Error e = ProviderError(
                QStringLiteral("08001"),
                QStringLiteral("No se puede abrir la base de datos \"%1\": %2").arg(file, QString::fromUtf8(sqlite3_errmsg(db))),
                kSource, rc);
            sqlite3_close(db);
            throw AdoException(e);
        }
        db_ = db;
        sqlite3_extended_result_codes(db_, 1);
        busyMs_ = (timeoutSecs > 0 ? timeoutSecs : 15) * 1000;
        sqlite3_busy_timeout(db_, busyMs_);
        RegisterSqliteFunctions(db_);
        try {
            // Reading the schema proves the file is a database. Nothing is
            // written here: a file that turns out not to be the suite's must
            // leave unchanged (the journal mode is set at the first write).
            exec("PRAGMA schema_version");
            exec("PRAGMA foreign_keys=ON");
        } catch (const AdoException& e) {
            close();
            // Whatever the reason, the connection did not open.
            const Error& why = e.error();
            throw AdoException(ProviderError(QStringLiteral("08001"), why.Description, why.Source, why.NativeError));
        }
        broken_ = false;
        walChecked_ = false;
        network_ = IsOnNetworkFolder(file);
        database_ = QFileInfo(file).completeBaseName();
    }

    void close() override
    {
        if (db_) {
            sqlite3_close_v2(db_);
            db_ = nullptr;
        }
        // Another open may find other definitions under the same names.
        forgetDefinitions();
    }

    bool isOpen() const override { return db_ != nullptr; }
    bool onNetworkFolder() const override { return db_ && network_; }
    // SQLite opens a file it may not write for reading only, without a word.
    bool readOnly() const override { return db_ && sqlite3_db_readonly(db_, "main") == 1; }

    Rowset run(const QString& sql, const std::vector<Variant>& params, int, bool) override
    {
        check();
        const QByteArray text = SqlServerToSqlite(sql).toUtf8();
        const char* tail = text.constData();
        const char* end = tail + text.size();
        Rowset result;
        long affected = 0;
        bool anyChange = false;
        size_t paramBase = 0;
        while (tail < end) {
            Stmt st;
            const char* next = nullptr;
            int rc = sqlite3_prepare_v2(db_, tail, static_cast<int>(end - tail), &st.s, &next);
            if (rc != SQLITE_OK) fail(rc);
            tail = next;
            if (!st.s) continue;  // blank or comment
            const int nParams = sqlite3_bind_parameter_count(st.s);
            for (int i = 1; i <= nParams && paramBase + static_cast<size_t>(i - 1) < params.size(); ++i)
                bind(st.s, i, params[paramBase + static_cast<size_t>(i - 1)]);
            paramBase += static_cast<size_t>(nParams);
            if (!sqlite3_stmt_readonly(st.s)) {
                checkUnmoved();
                if (!walChecked_ && sqlite3_get_autocommit(db_)) ensureJournal();
                if (changesDefinitions(st.s)) forgetDefinitions();
            }
            const int cols = sqlite3_column_count(st.s);
            const bool collect = cols > 0 && !result.returnsRows;
            if (collect) describe(st.s, cols, result);
            const int before = sqlite3_total_changes(db_);
            for (;;) {
                rc = sqlite3_step(st.s);
                if (rc == SQLITE_ROW) {
                    if (collect) readRow(st.s, cols, result);
                } else if (rc == SQLITE_DONE) {
                    break;
                } else {
                    fail(rc);
                }
            }
            if (collect) {
                result.returnsRows = true;
                inferTypes(result);
            }
            if (cols == 0 && !sqlite3_stmt_readonly(st.s)) {
                affected += sqlite3_total_changes(db_) - before;
                anyChange = true;
            }
        }
        result.affected = anyChange ? affected : -1;
        return result;
    }

    void begin() override
    {
        check();
        checkUnmoved();
        if (!walChecked_) ensureJournal();
        exec("BEGIN IMMEDIATE");
    }
    void commit() override
    {
        check();
        checkUnmoved();
        exec("COMMIT");
    }
    void rollback() override
    {
        check();
        exec("ROLLBACK");
    }

    Rowset tables() override
    {
        check();
        Rowset r = run(QStringLiteral("SELECT NULL AS TABLE_CATALOG, NULL AS TABLE_SCHEMA, name AS TABLE_NAME, "
                                      "CASE WHEN name LIKE 'sqlite%' THEN 'SYSTEM TABLE' WHEN type = 'view' THEN 'VIEW' ELSE "
                                      "'TABLE' END AS TABLE_TYPE, "
                                      "NULL AS DESCRIPTION FROM sqlite_master WHERE type IN ('table','view') ORDER BY name"),
                       {}, 0, false);
        for (size_t i = 0; i < r.rowCount(); ++i) r.cells[i * r.columns.size()] = Variant(database_);
        return r;
    }

    QStringList primaryKeys(const QString& table) override
    {
        check();
        const Rowset r = run(QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk"), {Variant(table)}, 0, false);
        QStringList keys;
        for (size_t i = 0; i < r.rowCount(); ++i) keys << r.cells[i].toString();
        return keys;
    }

    Rowset columns(const QString& table) override
    {
        check();
        Rowset out;
        const char* names[] = {"TABLE_CATALOG",
                               "TABLE_SCHEMA",
                               "TABLE_NAME",
                               "COLUMN_NAME",
                               "ORDINAL_POSITION",
                               "DATA_TYPE",
                               "CHARACTER_MAXIMUM_LENGTH",
                               "IS_NULLABLE"};
        for (const char* n : names)
            out.columns.push_back(ColumnInfo{QString::fromLatin1(n), adVarWChar, 128, {}, {}, false, false, true});
        out.columns[4].type = adInteger;
        out.columns[5].type = adSmallInt;
        out.columns[6].type = adInteger;
        out.columns[7].type = adBoolean;
        out.returnsRows = true;
        QStringList tablesToRead;
        if (table.isEmpty()) {
            const Rowset t = tables();
            for (size_t i = 0; i < t.rowCount(); ++i) tablesToRead << t.cells[i * t.columns.size() + 2].toString();
        } else {
            tablesToRead << table;
        }
        for (const QString& t : tablesToRead) {
            const Rowset info = run(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(t)), {}, 0, false);
            for (size_t i = 0; i < info.rowCount(); ++i) {
                const size_t b = i * info.columns.size();
                int type = adVarChar, size = 0;
                const QByteArray decl = info.cells[b + 2].toString().toLatin1();
                mapDeclType(decl.constData(), &type, &size);
                const bool text = IsTextType(type);
                out.cells.push_back(Variant(database_));
                out.cells.push_back(Variant::Null());
                out.cells.push_back(Variant(t));
                out.cells.push_back(info.cells[b + 1]);
                out.cells.push_back(Variant(static_cast<long long>(info.cells[b].toInt64() + 1)));
                out.cells.push_back(Variant(type));
                out.cells.push_back(text ? Variant(size) : Variant::Null());
                out.cells.push_back(Variant(info.cells[b + 3].toInt64() == 0));
            }
        }
        return out;
    }

    QString quoteIdentifier(const QString& name) const override
    {
        QString n = name;
        if (n.startsWith(QLatin1Char('[')) && n.endsWith(QLatin1Char(']'))) n = n.mid(1, n.size() - 2);
        return QLatin1Char('"') + n.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    }

    QString dbmsName() const override { return kSource; }
    QString currentDatabase() const override { return database_; }
    void setCurrentDatabase(const QString& name) override
    {
        check();
        // One file is one database; naming it by path or by name both select it.
        if (!name.trimmed().isEmpty()) database_ = QFileInfo(name.trimmed()).completeBaseName();
    }

    Variant lastInsertId() override
    {
        check();
        return Variant(static_cast<long long>(sqlite3_last_insert_rowid(db_)));
    }

    void breakLink() override { broken_ = true; }

private:
    void check() const
    {
        if (!db_) msg::raise(kErrConnectionInvalid);
        if (broken_)
            throw AdoException(ProviderError(
                QStringLiteral("08S01"),
                QStringLiteral("Error de vínculo de comunicación: se perdió la conexión con la base de datos."), kSource));
    }

    // A file replaced, renamed or deleted under a running program still
    // answers through the handle opened before: a write would land in a file
    // nobody opens again, and be reported as saved.
    void checkUnmoved()
    {
        int moved = 0;
        if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || !moved) return;
        throw AdoException(ProviderError(
            QStringLiteral("25006"),
            QStringLiteral("attempt to write a database whose file was replaced, renamed or deleted: %1").arg(path_), kSource,
            SQLITE_READONLY_DBMOVED));
    }

    // WAL lets a reader and a writer (two running programs) share the file.
    // It is a property of the file, so it is set once, before the first write;
    // a file that refuses it (read-only folder, another program in exclusive
    // mode) keeps working in its own mode. Its index is memory shared by the
    // programs of one computer, so a file on a network folder, which several
    // computers may open, keeps (or gets back) the rollback journal instead.
    // A file this connection cannot write is never converted.
    void ensureJournal()
    {
        walChecked_ = true;
        if (sqlite3_db_readonly(db_, "main") != 0) return;
        if (!network_) {
            sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
            return;
        }
        if (journalMode() != QLatin1String("wal")) return;
        // Only the last program on the file may leave WAL; while others are
        // on it the file stays as it is, and this is not worth a wait.
        sqlite3_busy_timeout(db_, 0);
        sqlite3_exec(db_, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(db_, busyMs_);
    }

    QString journalMode()
    {
        Stmt st;
        if (sqlite3_prepare_v2(db_, "PRAGMA journal_mode", -1, &st.s, nullptr) != SQLITE_OK || sqlite3_step(st.s) != SQLITE_ROW)
            return {};
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0))).toLower();
    }

    void exec(const char* sql)
    {
        char* err = nullptr;
        const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
        sqlite3_free(err);
        if (rc != SQLITE_OK) fail(rc);
    }

    [[noreturn]] void fail(int rc)
    {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        throw AdoException(ProviderError(SqliteSqlState(rc, message), message, kSource, rc));
    }

    static void bind(sqlite3_stmt* s, int i, const Variant& v)
    {
        switch (v.type()) {
        case VarType::Empty:
        case VarType::Null: sqlite3_bind_null(s, i); break;
        case VarType::Integer: sqlite3_bind_int64(s, i, v.toInt64()); break;
        case VarType::Double: sqlite3_bind_double(s, i, v.toDouble()); break;
        case VarType::Boolean: sqlite3_bind_int(s, i, v.toBool() ? 1 : 0); break;
        case VarType::Date: {
            const QByteArray b = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
            sqlite3_bind_text(s, i, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
            break;
        }
        case VarType::Text: {
            const QByteArray b = v.toString().toUtf8();
            sqlite3_bind_text(s, i, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }

    // A table dropped and created again, or a view in its place: what the
    // caches say about it no longer holds.
    static bool changesDefinitions(sqlite3_stmt* s)
    {
        const QByteArray sql = QByteArray(sqlite3_sql(s)).trimmed().left(6).toUpper();
        return sql.startsWith("CREATE") || sql.startsWith("DROP") || sql.startsWith("ALTER");
    }

    void forgetDefinitions()
    {
        metaCache_.clear();
        tableCache_.clear();
    }

    struct ColumnMeta {
        bool key = false, autoInc = false, notNull = false;
    };

    ColumnMeta meta(const char* table, const char* column)
    {
        const QString k = QString::fromUtf8(table) + QLatin1Char('.') + QString::fromUtf8(column);
        auto it = metaCache_.find(k);
        if (it != metaCache_.end()) return *it;
        ColumnMeta m;
        int notNull = 0, pk = 0, autoinc = 0;
        if (sqlite3_table_column_metadata(db_, nullptr, table, column, nullptr, nullptr, &notNull, &pk, &autoinc) == SQLITE_OK) {
            m.key = pk != 0;
            m.autoInc = autoinc != 0;
            m.notNull = notNull != 0;
        }
        metaCache_.insert(k, m);
        return m;
    }

    void describe(sqlite3_stmt* s, int cols, Rowset& r)
    {
        r.columns.clear();
        r.columns.reserve(static_cast<size_t>(cols));
        for (int i = 0; i < cols; ++i) {
            ColumnInfo c;
            c.name = QString::fromUtf8(sqlite3_column_name(s, i));
            const char* decl = sqlite3_column_decltype(s, i);
            const char* table = sqlite3_column_table_name(s, i);
            const char* origin = sqlite3_column_origin_name(s, i);
            if (decl)
                mapDeclType(decl, &c.type, &c.definedSize);
            else {
                c.type = adEmpty;
                c.definedSize = 0;
            }  // decided from the values
            if (table && origin && isTable(table)) {
                c.baseTable = QString::fromUtf8(table);
                c.baseColumn = QString::fromUtf8(origin);
                const ColumnMeta m = meta(table, origin);
                c.key = m.key;
                c.autoIncrement = m.autoInc;
                c.nullable = !m.notNull;
            }
            r.columns.push_back(c);
        }
        kinds_.assign(static_cast<size_t>(cols), 0);
        for (int i = 0; i < cols; ++i) {
            const int t = r.columns[static_cast<size_t>(i)].type;
            kinds_[static_cast<size_t>(i)] = (t == adDBTimeStamp || t == adDBDate || t == adDBTime) ? 1 : t == adBoolean ? 2 : 0;
        }
    }

    bool isTable(const char* name)
    {
        // Columns of views are not written back: only real tables are updatable.
        const QString k = QString::fromUtf8(name);
        auto it = tableCache_.find(k);
        if (it != tableCache_.end()) return *it;
        Stmt st;
        bool table = false;
        if (sqlite3_prepare_v2(db_, "SELECT type FROM sqlite_master WHERE name = ?1", -1, &st.s, nullptr) == SQLITE_OK) {
            sqlite3_bind_text(st.s, 1, name, -1, SQLITE_STATIC);
            if (sqlite3_step(st.s) == SQLITE_ROW)
                table = std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0)), "table") == 0;
        }
        tableCache_.insert(k, table);
        return table;
    }

    void readRow(sqlite3_stmt* s, int cols, Rowset& r)
    {
        for (int i = 0; i < cols; ++i) {
            switch (sqlite3_column_type(s, i)) {
            case SQLITE_INTEGER: {
                const long long v = sqlite3_column_int64(s, i);
                if (kinds_[static_cast<size_t>(i)] == 2)
                    r.cells.emplace_back(v != 0);
                else
                    r.cells.emplace_back(v);
                break;
            }
            case SQLITE_FLOAT: r.cells.emplace_back(sqlite3_column_double(s, i)); break;
            case SQLITE_NULL: r.cells.push_back(Variant::Null()); break;
            default: {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
                QString text = TextoUtf8(p, sqlite3_column_bytes(s, i));
                if (kinds_[static_cast<size_t>(i)] == 1) {
                    const QDateTime d = ParseDate(text);
                    if (d.isValid()) {
                        r.cells.emplace_back(d);
                        break;
                    }
                }
                r.cells.emplace_back(std::move(text));
            }
            }
        }
    }

    // Expression columns have no declared type: take it from the first value that has one.
    static void inferTypes(Rowset& r)
    {
        const size_t n = r.columns.size();
        for (size_t c = 0; c < n; ++c) {
            ColumnInfo& col = r.columns[c];
            if (col.type != adEmpty) continue;
            col.type = adVarWChar;
            col.definedSize = 255;
            for (size_t row = 0; row < r.rowCount(); ++row) {
                const Variant& v = r.cells[row * n + c];
                if (v.isNull()) continue;
                if (v.type() == VarType::Integer) {
                    col.type = adInteger;
                    col.definedSize = 4;
                } else if (v.type() == VarType::Double) {
                    col.type = adDouble;
                    col.definedSize = 8;
                }
                break;
            }
        }
    }

    sqlite3* db_ = nullptr;
    QString path_;
    QString database_;
    bool broken_ = false;
    bool walChecked_ = false;
    bool network_ = false;
    int busyMs_ = 15000;
    std::vector<int> kinds_;
    QHash<QString, ColumnMeta> metaCache_;
    QHash<QString, bool> tableCache_;
};

}  // namespace

std::unique_ptr<Engine> makeSqliteEngine()
{
    return std::make_unique<SqliteEngine>();
}

}  // namespace adodb
