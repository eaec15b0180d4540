// What the operator waits for, on a real X server: F5 on the Desde box of the
// main window until the list of 100,000 accounts is on the screen, and Esc
// until it is gone, against AbrirRecordset of the same statement in the same
// run. Run it under Xvfb:
//   Xvfb :94 & DISPLAY=:94 openbox & DISPLAY=:94 build/bin/bench_consulta_x11
#include "data/db_dll.h"
#include "lookup/def_qconsulta.h"
#include "lookup/lib_clscons3.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/modelo_consulta.h"
#include "resultado.h"
#include "runtime/operador_qt.h"
#include "runtime/rtentorno.h"
#include "session/cnstuff.h"
#include "titles/frmta_titcopiadores.h"
#include "ventana_x11.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void Tecla(QWidget* w, int tecla)
{
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, tecla, Qt::NoModifier));
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyRelease, tecla, Qt::NoModifier));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    AvisaSiNoHayX();
    rt::OperadorQt operador;
    rt::fijaOperador(&operador);

    // A program folder of its own: the definitions of the demo, and widths saved there, not next to the program.
    QTemporaryDir dir;
    const QString vrl = QCoreApplication::applicationDirPath() + QStringLiteral("/consultas.vrl");
    if (!QFile::copy(vrl, dir.filePath(QStringLiteral("consultas.vrl")))) {
        std::fprintf(stderr, "falta %s (se escribe al compilar)\n", qPrintable(vrl));
        return 2;
    }
    RtEntorno::FijaCarpetaPrograma(dir.path() + u'/');
    const QString base = dir.filePath(QStringLiteral("bench.db"));
    CreaBaseDeBanco(base, QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '100000' WHERE CLAVE = 'TopConsArt'"));

    frmTA_TITCOPIADORES ventana;
    if (!MuestraVentana(ventana, operador, base)) return 1;

    QLineEdit* desde = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields2"));
    const int vueltas = 7;
    std::vector<double> visible, cerrada, lectura;
    int filas = 0;
    // A new title, reached as the operator does: code, Enter, description, Enter.
    ventana.findChild<QLineEdit*>(QStringLiteral("txtfields0"))->setFocus();
    ventana.findChild<QLineEdit*>(QStringLiteral("txtfields0"))->setText(QStringLiteral("9000"));
    Tecla(ventana.findChild<QLineEdit*>(QStringLiteral("txtfields0")), Qt::Key_Return);
    Espera(100);
    ventana.findChild<QLineEdit*>(QStringLiteral("txtfields1"))->setText(QStringLiteral("Prueba"));
    Tecla(ventana.findChild<QLineEdit*>(QStringLiteral("txtfields1")), Qt::Key_Return);
    Espera(100);
    for (int vuelta = 0; vuelta < vueltas; ++vuelta) {
        desde->setFocus();
        Espera(100);
        QElapsedTimer t;
        double tVisible = -1, tEsc = -1, tFin = -1;
        QString sentencia;
        QTimer sondeo;
        sondeo.setInterval(0);
        QObject::connect(&sondeo, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* lista = qobject_cast<Lib_FrmCons3*>(modal);
            if (tFin >= 0) {
                // What the main window says after an empty lookup is not part of the measure.
                if (modal) Tecla(modal, Qt::Key_Escape);
                return;
            }
            if (tVisible < 0) {
                if (lista && lista->windowHandle() && lista->windowHandle()->isExposed()) {
                    QObject::connect(lista, &QObject::destroyed, [&] { tFin = t.nsecsElapsed() / 1e6; });
                    // The first expose has been painted by the time this timer runs again.
                    tVisible = t.nsecsElapsed() / 1e6;
                    sentencia = lista->SentenciaActual();
                    filas = lista->Modelo()->rowCount();
                }
                return;
            }
            if (tEsc < 0 && lista) {
                tEsc = t.nsecsElapsed() / 1e6;
                Tecla(QApplication::focusWidget() ? QApplication::focusWidget() : lista, Qt::Key_Escape);
                return;
            }
        });
        sondeo.start();
        t.start();
        Tecla(desde, Qt::Key_F5);
        while ((tFin < 0 || QApplication::activeModalWidget()) && t.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        sondeo.stop();
        if (tFin < 0) {
            std::printf("ATENCION: la ventana no se cerro en 30 s\n");
            return 3;
        }
        visible.push_back(tVisible);
        cerrada.push_back(tFin - tEsc);

        // The floor starts as settled as F5 did: the closed list freed, the main window repainted.
        Espera(100);
        QElapsedTimer r;
        r.start();
        adodb::Recordset rs;
        DB().AbrirRecordset(sentencia, rs);
        lectura.push_back(r.nsecsElapsed() / 1e6);
        if (rs.RecordCount() != filas) std::printf("ATENCION: %ld filas leidas, %d en la lista\n", rs.RecordCount(), filas);
        DB().CierraRecordset(rs);
    }

    const double a = Mediana(lectura);
    std::printf("plataforma: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("filas en la lista: %d\n", filas);
    std::printf("AbrirRecordset de la misma sentencia: mediana %.1f ms, mejor %.1f ms\n", a,
                *std::min_element(lectura.begin(), lectura.end()));
    std::printf("F5 hasta la ventana visible:          mediana %.1f ms, mejor %.1f ms, peor %.1f ms\n", Mediana(visible),
                *std::min_element(visible.begin(), visible.end()), *std::max_element(visible.begin(), visible.end()));
    std::printf("Esc hasta la ventana cerrada:         mediana %.1f ms, peor %.1f ms\n", Mediana(cerrada),
                *std::max_element(cerrada.begin(), cerrada.end()));
    std::printf("proporcion F5/AbrirRecordset: %.2fx (objetivo < 3x)\n", Mediana(visible) / a);
    const QByteArray tam = QStringLiteral("%L1 rows").arg(filas).toUtf8();
    const double mejorF5 = *std::min_element(visible.begin(), visible.end()),
                 mejorLectura = *std::min_element(lectura.begin(), lectura.end());
    const QByteArray nota = QStringLiteral("medians of %1 rounds; best against best %2 / %3 ms = %4x")
                                .arg(vueltas)
                                .arg(mejorF5, 0, 'f', 1)
                                .arg(mejorLectura, 0, 'f', 1)
                                .arg(mejorF5 / mejorLectura, 0, 'f', 2)
                                .toUtf8();
    Resultado("F5 to lookup visible (X server)", tam.constData(), Mediana(visible), "AbrirRecordset", a, "<3x", nota.constData());
    Resultado("Esc to lookup gone (X server)", tam.constData(), Mediana(cerrada), "", 0, "report", "median");
    return 0;
}
