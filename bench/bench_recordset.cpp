// Reading 100,000 rows of 5 columns through AbrirRecordset, against stepping
// the same query with the sqlite3 C API in the same run.
#include "cuentas.h"
#include "data/db_dll.h"
#include "resultado.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    CreaCuentas(path);

    std::vector<double> crudo, capa;
    long long control = 0;
    for (int vuelta = 0; vuelta < 5; ++vuelta) {
        // Floor: the C API stepping the rows and touching every value.
        QElapsedTimer t;
        t.start();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, kLecturaCuentas, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < 5; ++c) control += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) != nullptr);
        sqlite3_finalize(st);
        sqlite3_close(db);
        crudo.push_back(t.nsecsElapsed() / 1e6);

        DB_Dll& dbdll = DB();
        if (dbdll.gCnn.State()) dbdll.gCnn.Close();
        dbdll.gCnn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(path));
        dbdll.gEsAdmin = true;
        t.restart();
        adodb::Recordset rs;
        dbdll.AbrirRecordset(QString::fromLatin1(kLecturaCuentas), rs);
        control += rs.RecordCount();
        capa.push_back(t.nsecsElapsed() / 1e6);
    }
    const double a = Mejor(crudo), b = Mejor(capa);
    std::printf("filas: 100000 x 5 columnas (control %lld)\n", control);
    std::printf("sqlite3 C API (piso): %.1f ms\n", a);
    std::printf("AbrirRecordset:       %.1f ms\n", b);
    std::printf("proporcion: %.2fx (objetivo <= 1.5x)\n", b / a);
    Resultado("AbrirRecordset (SQLite)", "100,000 x 5", b, "sqlite3 C API step", a, "<=1.5x", "best of 5 each");
    return 0;
}
