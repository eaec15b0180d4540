// Runs a SQL script on an embedded database file through the program's own
// engine, so the file gets the collation and functions the program relies on.
//   sqlrun <database file> <script.sql> [--new]
#include "adodb/connection.h"
#include "adodb/recordset.h"

#include <QFile>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "uso: sqlrun <base.db> <script.sql> [--new]\n");
        return 2;
    }
    const QString db = QString::fromLocal8Bit(argv[1]);
    const QString script = QString::fromLocal8Bit(argv[2]);
    const bool fresh = argc > 3 && QByteArray(argv[3]) == "--new";
    if (fresh) {
        QFile::remove(db);
        QFile::remove(db + QStringLiteral("-wal"));
        QFile::remove(db + QStringLiteral("-shm"));
        QFile f(db);
        if (!f.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "no se puede crear %s\n", argv[1]);
            return 1;
        }
    }
    QFile f(script);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no se puede leer %s\n", argv[2]);
        return 1;
    }
    const QString sql = QString::fromUtf8(f.readAll());
    try {
        adodb::Connection cn;
        cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(db));
        cn.BeginTrans();
        long affected = 0;
        cn.Execute(sql, &affected);
        cn.CommitTrans();
        cn.Close();
    } catch (const adodb::AdoException& e) {
        std::fprintf(stderr, "%s: %s (SQLSTATE %s)\n", argv[2], e.what(), e.error().SQLState.toUtf8().constData());
        return 1;
    }
    return 0;
}
