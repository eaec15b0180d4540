// What the operator waits for on a real X server: a click on the toolbar's
// "Reporte Cuentas Varias de Mayor" button (rp_cn070, 100,000 accounts and
// 1,500 titles) until the preview window shows its first page. Figures only;
// run it under Xvfb:
//   Xvfb :94 & DISPLAY=:94 openbox & DISPLAY=:94 build/bin/bench_vista_x11
#include "data/db_dll.h"
#include "lookup/def_qconsulta.h"
#include "lookup/lib_clscons3.h"
#include "reports/rtreporte.h"
#include "reports/vista_previa.h"
#include "resultado.h"
#include "runtime/operador_qt.h"
#include "runtime/rtentorno.h"
#include "session/cnstuff.h"
#include "titles/frmta_titcopiadores.h"
#include "ventana_x11.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Notes the moment the first page has been painted: after the page's paint
// event has run, on a window the X server has exposed.
class Aplicacion : public QApplication {
public:
    using QApplication::QApplication;
    QElapsedTimer reloj;
    double pintada = -1;

    bool notify(QObject* receptor, QEvent* e) override
    {
        const bool r = QApplication::notify(receptor, e);
        if (pintada < 0 && e->type() == QEvent::Paint) {
            if (auto* hoja = dynamic_cast<reportes::HojaReporte*>(receptor)) {
                QWindow* w = hoja->window()->windowHandle();
                if (w && w->isExposed()) pintada = reloj.nsecsElapsed() / 1e6;
            }
        }
        return r;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    Aplicacion app(argc, argv);
    AvisaSiNoHayX();
    rt::OperadorQt operador;
    rt::fijaOperador(&operador);

    QTemporaryDir dir;
    RtEntorno::FijaCarpetaPrograma(dir.path() + u'/');
    const QString base = dir.filePath(QStringLiteral("bench.db"));
    // The benchmark chart of accounts with 1,500 titles of 40 accounts, one
    // every 66 accounts in code order.
    CreaBaseDeBanco(
        base, QStringLiteral(
                  "DELETE FROM TA_TITCOPIADORES;"
                  "CREATE TEMP TABLE orden AS SELECT Codigo FROM MA_CUENTAS WHERE titulo = 0 ORDER BY Codigo;"
                  "INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA) "
                  "SELECT printf('%4d', a.rowid / 66 + 1), 'Titulo ' || (a.rowid / 66 + 1), a.Codigo, b.Codigo "
                  "FROM temp.orden a JOIN temp.orden b ON b.rowid = a.rowid + 39 WHERE a.rowid % 66 = 1 AND a.rowid / 66 < 1500;"
                  "DROP TABLE temp.orden;"));

    frmTA_TITCOPIADORES ventana;
    if (!MuestraVentana(ventana, operador, base)) return 1;
    RtReporte::CarpetaReportes(QStringLiteral(REPORTES_DIR));

    auto* boton = ventana.findChild<QToolButton*>(QStringLiteral("CmdRep"));
    if (!boton) return 2;
    std::vector<double> primera;
    long filas = 0;
    int paginas = 0;
    for (int vuelta = 0; vuelta < 5; ++vuelta) {
        const QPoint centro = boton->rect().center();
        app.pintada = -1;
        app.reloj.start();
        // The click as the X server would deliver it: press and release on the button.
        QCoreApplication::postEvent(boton, new QMouseEvent(QEvent::MouseButtonPress, centro, boton->mapToGlobal(centro),
                                                           Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(boton, new QMouseEvent(QEvent::MouseButtonRelease, centro, boton->mapToGlobal(centro),
                                                           Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        while (app.pintada < 0 && app.reloj.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (app.pintada < 0) {
            std::printf("ATENCION: la vista previa no mostro su primera pagina en 60 s\n");
            return 3;
        }
        primera.push_back(app.pintada);
        QWidget* vista = ventana.Reportes().vista;
        if (auto* v = dynamic_cast<reportes::VistaPrevia*>(vista)) {
            filas = v->informe().cantidad();
            paginas = v->informe().paginas();
        }
        delete vista;
        Espera(200);
    }
    std::sort(primera.begin(), primera.end());
    const double mediana = primera[primera.size() / 2];
    std::printf("plataforma: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("rp_cn070: %ld filas, %d paginas\n", filas, paginas);
    std::printf("clic hasta la primera pagina en pantalla: mediana %.1f ms, mejor %.1f ms, peor %.1f ms\n", mediana,
                primera.front(), primera.back());
    const QByteArray tam = QStringLiteral("%L1 rows, %L2 pages").arg(filas).arg(paginas).toUtf8();
    Resultado("rp_cn070 click to first preview page (X server)", tam.constData(), mediana, "", 0, "report", "median of 5 clicks");
    return 0;
}
