// The list lookup window on 100,000 rows: filling it against reading the same
// rows through AbrirRecordset alone, and the incremental search per keystroke.
#include "cuentas.h"
#include "data/db_dll.h"
#include "lectura.h"
#include "lookup/def_qconsulta.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/modelo_consulta.h"
#include "resultado.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    CreaCuentas(path, QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE varchar(50) COLLATE CI PRIMARY KEY, VALOR "
                                     "varchar(255) COLLATE CI, VALORAUX varchar(255));"
                                     "INSERT INTO TA_CONFIGURACION VALUES ('TopConsArt', '100000', NULL);"));
    DB_Dll& db = DB();
    db.gCnn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(path));
    db.gEsAdmin = true;
    db.gOpenFlag = true;

    QString campo;
    const QString sql = *Def_QConsulta::SentenciaDeDefinicion(
        {{}, QStringLiteral("MA_CUENTAS"), QStringLiteral("Codigo|DESCRIPCION|CodigoOpcional|DV|titulo"), {}}, campo, {},
        Def_QConsulta::TopConsArt());

    std::vector<double> lectura, llenado, mostrada;
    long filas = 0;
    auto lee = [&] { lectura.push_back(MideLectura(sql, filas)); };
    auto llena = [&] {
        Lib_FrmCons3 w;
        w.GrabarCfg = false;
        w.sql = sql;
        QElapsedTimer t;
        t.start();
        w.Form_Load();
        llenado.push_back(t.nsecsElapsed() / 1e6);
        w.show();
        app.processEvents();
        mostrada.push_back(t.nsecsElapsed() / 1e6);
        if (w.Modelo()->rowCount() != filas) std::printf("ATENCION: la lista tiene %d filas\n", w.Modelo()->rowCount());
    };
    // Alternating which runs first, so neither gains from the other's warm caches.
    lee();
    for (int vuelta = 0; vuelta < 8; ++vuelta) {
        if (vuelta % 2) {
            lee();
            llena();
        } else {
            llena();
            lee();
        }
    }

    Lib_FrmCons3 w;
    w.GrabarCfg = false;
    w.sql = sql;
    w.show();
    app.processEvents();
    // Prefixes of a row near the end, then text that matches nothing: the
    // longest walks the search can make.
    const QString objetivo = QStringLiteral("Cuenta de prueba número 99999");
    std::vector<double> teclas;
    auto* caja = w.findChild<QComboBox*>(QStringLiteral("CmbSearch_1"));
    for (int i = 1; i <= objetivo.size(); ++i) {
        QElapsedTimer t;
        t.start();
        caja->setEditText(objetivo.left(i));
        app.processEvents();
        teclas.push_back(t.nsecsElapsed() / 1e6);
    }
    caja->setEditText(QString());
    QElapsedTimer t;
    t.start();
    caja->setEditText(QStringLiteral("zz"));
    app.processEvents();
    const double sinCoincidencia = t.nsecsElapsed() / 1e6;
    caja->setEditText(objetivo);
    app.processEvents();
    const int fila = w.FilaSeleccionada();
    const QString hallada = fila >= 0 ? w.Modelo()->Texto(fila, 1) : QStringLiteral("-");
    t.restart();
    w.ListView1_ColumnClick(1);
    app.processEvents();
    const double orden = t.nsecsElapsed() / 1e6;

    double suma = 0, peor = 0;
    for (double v : teclas) {
        suma += v;
        peor = std::max(peor, v);
    }
    const double a = Mejor(lectura), b = Mejor(llenado);
    std::printf("sentencia: %s\n", sql.toUtf8().constData());
    std::printf("filas: %ld x 5 columnas\n", filas);
    std::printf("AbrirRecordset solo:      %.1f ms\n", a);
    std::printf("ventana llena (Form_Load): %.1f ms\n", b);
    std::printf("ventana llena y mostrada:  %.1f ms\n", Mejor(mostrada));
    std::printf("proporcion: %.2fx llena, %.2fx mostrada (objetivo < 3x)\n", b / a, Mejor(mostrada) / a);
    std::printf("busqueda incremental: media %.2f ms, peor %.2f ms por tecla en %zu teclas; sin coincidencia %.2f ms (objetivo < "
                "50 ms)\n",
                suma / teclas.size(), peor, teclas.size(), sinCoincidencia);
    std::printf("fila hallada: %d (%s)\n", fila, hallada.toUtf8().constData());
    std::printf("orden por DESCRIPCION (clic en el titulo): %.1f ms\n", orden);
    Resultado("List lookup filled (Form_Load)", "100,000 x 5", b, "AbrirRecordset", a, "<3x", "best of 8 each");
    Resultado("List lookup filled and shown", "100,000 x 5", Mejor(mostrada), "AbrirRecordset", a, "<3x", "best of 8 each");
    Resultado("Incremental search, worst key", "100,000 rows", peor, "", 0, "<50ms",
              "slowest of the 29 prefixes of a row near the end");
    Resultado("Incremental search, no match", "100,000 rows", sinCoincidencia, "", 0, "<50ms", "text that matches no row");
    Resultado("Sort by clicking a column title", "100,000 rows", orden, "", 0, "report");
    db.gCnn.Close();
    return 0;
}
