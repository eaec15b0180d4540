// The generic tree of the tree lookup on 100,000 hierarchical codes: building
// it (reading the rows included) against reading the same rows alone.
#include "data/db_dll.h"
#include "lectura.h"
#include "lookup/lib_frmcons3tree.h"
#include "lookup/modelo_arbol.h"
#include "resultado.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("arbol.db"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
    }
    {
        // Five levels of 1, 2, 2, 2 and 3 digits, as a chart of accounts: 90,000 leaves under 9,000
        // branches, 900 groups, 90 headings and 9 chapters; 99,999 rows.
        adodb::Connection cn;
        cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(path));
        cn.Execute(QStringLiteral(
            "CREATE TABLE CODIGOS (Codigo varchar(12) COLLATE CI PRIMARY KEY, Descripcion varchar(40) COLLATE CI);"
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 89999) "
            "INSERT INTO CODIGOS SELECT printf('%d%02d%02d%02d%03d', 1 + i / 10000, i / 1000 % 10, i / 100 % 10, i / 10 % 10, i "
            "% 10), "
            "'Hoja ' || i FROM n;"
            "INSERT OR IGNORE INTO CODIGOS SELECT DISTINCT substr(Codigo, 1, 7), 'Rama ' || substr(Codigo, 1, 7) FROM CODIGOS;"
            "INSERT OR IGNORE INTO CODIGOS SELECT DISTINCT substr(Codigo, 1, 5), 'Grupo ' || substr(Codigo, 1, 5) FROM CODIGOS;"
            "INSERT OR IGNORE INTO CODIGOS SELECT DISTINCT substr(Codigo, 1, 3), 'Rubro ' || substr(Codigo, 1, 3) FROM CODIGOS;"
            "INSERT OR IGNORE INTO CODIGOS SELECT DISTINCT substr(Codigo, 1, 1), 'Capitulo ' || substr(Codigo, 1, 1) FROM "
            "CODIGOS;"));
    }
    DB_Dll& db = DB();
    db.gCnn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(path));
    db.gEsAdmin = true;
    db.gOpenFlag = true;
    const QString sql = QStringLiteral("SELECT Codigo, Descripcion FROM CODIGOS ORDER BY Codigo");

    std::vector<double> lectura, armado, mostrado;
    long filas = 0;
    int nodos = 0, niveles = 0;
    auto lee = [&] { lectura.push_back(MideLectura(sql, filas)); };
    auto arma = [&] {
        Lib_FrmCons3Tree w;
        w.sql = sql;
        QElapsedTimer t;
        t.start();
        w.Form_Load();
        armado.push_back(t.nsecsElapsed() / 1e6);
        w.show();
        app.processEvents();
        mostrado.push_back(t.nsecsElapsed() / 1e6);
        nodos = w.Modelo()->Nodos();
        niveles = 0;
        for (int n = 0; n < nodos; n += 997) niveles = std::max(niveles, w.Modelo()->Nivel(n));
    };
    lee();
    for (int vuelta = 0; vuelta < 6; ++vuelta) {
        if (vuelta % 2) {
            lee();
            arma();
        } else {
            arma();
            lee();
        }
    }
    const double a = Mejor(lectura), b = Mejor(armado);
    std::printf("filas: %ld; nodos del arbol: %d (raiz incluida); niveles: %d\n", filas, nodos, niveles);
    std::printf("AbrirRecordset solo:          %.1f ms\n", a);
    std::printf("arbol armado (Form_Load):     %.1f ms\n", b);
    std::printf("arbol armado y mostrado:      %.1f ms\n", Mejor(mostrado));
    std::printf("proporcion: %.2fx armado, %.2fx mostrado (objetivo < 3x)\n", b / a, Mejor(mostrado) / a);
    Resultado("Generic tree built (Form_Load)", "99,999 codes", b, "AbrirRecordset", a, "<3x", "best of 6 each");
    Resultado("Generic tree built and shown", "99,999 codes", Mejor(mostrado), "AbrirRecordset", a, "<3x", "best of 6 each");
    db.gCnn.Close();
    return 0;
}
