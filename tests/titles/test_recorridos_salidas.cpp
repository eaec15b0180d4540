// Journeys through the windows the main window opens and through its own
// edges, by keys and clicks: dialogs that belong to the window that opened
// them, the close box, pasted text, the data sheet's order, the picture
// buttons from the keyboard, and the preview's zoom.
#include "ventanas_salida.h"

#include "../operador_real.h"
#include "../teclado.h"
#include "reports/rtplanilla.h"
#include "reports/rtreporte.h"
#include "reports/vista_previa.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

namespace {

bool espera(const std::function<bool()>& condicion, int ms = 10000)
{
    QElapsedTimer reloj;
    reloj.start();
    while (!condicion() && reloj.elapsed() < ms) QTest::qWait(10);
    return condicion();
}

// Answers No (Esc) to every message box that shows while it lives, and keeps
// their texts: a box that should not come must not hang the test.
class Centinela {
public:
    Centinela()
    {
        QObject::connect(&reloj_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            vistos.append(box->text());
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Escape);
        });
        reloj_.start(10);
    }
    QStringList vistos;

private:
    QTimer reloj_;
};

class RecorridosSalidas : public VentanaConSalidas {
protected:
    /// The visible window of that kind the last key or click opened.
    template <class T>
    static T* abierta()
    {
        T* r = nullptr;
        espera([&] {
            for (QWidget* v : QApplication::topLevelWidgets())
                if (auto* t = dynamic_cast<T*>(v); t && t->isVisible()) r = t;
            return r != nullptr;
        });
        return r;
    }
    static QStringList columna(QTableView* t, int c)
    {
        QStringList r;
        for (int f = 0; f < t->model()->rowCount(); ++f) r << t->model()->index(f, c).data().toString();
        return r;
    }
    static void clicEnTitulo(QTableView* t, int c)
    {
        QHeaderView* h = t->horizontalHeader();
        teclado::Clic(h->viewport(), Qt::LeftButton,
                      QPoint(h->sectionViewportPosition(c) + h->sectionSize(c) / 2, h->height() / 2));
    }
};

}  // namespace

TEST_F(RecorridosSalidas, ThePdfDialogBelongsToThePreviewAndTheNextEscClosesOnlyThePreview)
{
    abre();
    OperadorReal real(&w(), &guion.op);
    // A title being edited: an Esc that reached the main window would offer to abandon it.
    escribeYEnter(0, QStringLiteral("3"));
    ASSERT_TRUE(w().Modificado());
    teclado::Pulsa(Qt::Key_F4);
    QPointer<reportes::VistaPrevia> vista = abierta<reportes::VistaPrevia>();
    ASSERT_TRUE(vista);
    ASSERT_TRUE(QTest::qWaitForWindowActive(vista));

    const QString ruta = dir_.filePath(QStringLiteral("titulos.pdf"));
    QPointer<QWidget> sobre;
    teclado::ContestaArchivo(ruta, &sobre);
    teclado::Pulsa(Qt::Key_G, Qt::AltModifier);  // &Guardar PDF...
    ASSERT_TRUE(espera([&] { return QFile::exists(ruta); }));
    EXPECT_EQ(sobre, vista.data());
    EXPECT_TRUE(espera([&] { return QApplication::activeWindow() == vista; }));
    EXPECT_EQ(teclado::Foco()->window(), vista.data());

    Centinela centinela;
    teclado::Pulsa(Qt::Key_Escape);
    EXPECT_TRUE(espera([&] { return !vista || !vista->isVisible(); }));
    EXPECT_TRUE(centinela.vistos.isEmpty()) << centinela.vistos.join(" | ").toStdString();
    EXPECT_TRUE(fines.empty());
    EXPECT_TRUE(w().isVisible());
    EXPECT_TRUE(w().Modificado());
    EXPECT_EQ(caja(1)->text(), "Deudores por Ventas");
}

TEST_F(RecorridosSalidas, TheSheetOwnsItsExportDialogAndItsMessageBox)
{
    abre();
    OperadorReal real(&w(), &guion.op);
    teclado::Pulsa(Qt::Key_F6);
    QPointer<reportes::VentanaPlanilla> hoja = abierta<reportes::VentanaPlanilla>();
    ASSERT_TRUE(hoja);
    ASSERT_TRUE(QTest::qWaitForWindowActive(hoja));

    const QString ruta = dir_.filePath(QStringLiteral("titulos.csv"));
    QPointer<QWidget> sobre;
    teclado::ContestaArchivo(ruta, &sobre);
    teclado::Pulsa(Qt::Key_E, Qt::AltModifier);  // &Exportar...
    ASSERT_TRUE(espera([&] { return QFile::exists(ruta); }));
    EXPECT_EQ(sobre, hoja.data());
    EXPECT_TRUE(espera([&] { return QApplication::activeWindow() == hoja; }));

    // No desktop opens the workbook: the box saying so is the sheet's too.
    QPointer<QWidget> sobreCaja;
    QString visto;
    teclado::ContestaSobre(Qt::Key_Return, &sobreCaja, &visto);
    teclado::Pulsa(Qt::Key_A, Qt::AltModifier);  // &Abrir en hoja de cálculo
    ASSERT_TRUE(espera([&] { return !visto.isEmpty(); }));
    EXPECT_TRUE(visto.startsWith(QStringLiteral("No se pudo abrir la hoja de cálculo. La planilla quedó en "))) << visto.toStdString();
    QFile::remove(visto.section(QStringLiteral("quedó en "), 1));
    EXPECT_EQ(sobreCaja, hoja.data());
    EXPECT_TRUE(espera([&] { return QApplication::activeWindow() == hoja; }));

    Centinela centinela;
    teclado::Pulsa(Qt::Key_Escape);
    EXPECT_TRUE(espera([&] { return !hoja || !hoja->isVisible(); }));
    EXPECT_TRUE(centinela.vistos.isEmpty());
    EXPECT_TRUE(fines.empty());
    EXPECT_TRUE(w().isVisible());
}

TEST_F(RecorridosSalidas, TheCloseBoxAsksBeforeAbandoningAnEdit)
{
    abre();
    OperadorReal real(&w(), &guion.op);
    escribeYEnter(0, QStringLiteral("3"));
    escribe(1, QStringLiteral("Deudores"));
    ASSERT_TRUE(w().Modificado());

    // Enter takes the default, No: the window stays with the edit as it was.
    QPointer<QWidget> sobre;
    QString visto;
    teclado::ContestaSobre(Qt::Key_Return, &sobre, &visto);
    EXPECT_FALSE(teclado::CierraConLaCruz(&w()));
    EXPECT_EQ(visto, QStringLiteral("¿Está seguro de abandonar la carga de datos?"));
    EXPECT_EQ(sobre, &w());
    EXPECT_TRUE(w().isVisible());
    EXPECT_TRUE(fines.empty());
    EXPECT_EQ(caja(1)->text(), "Deudores");

    // S answers Sí: the edit is dropped and the program ends, the title untouched.
    visto.clear();
    teclado::ContestaSobre(Qt::Key_S, &sobre, &visto);
    EXPECT_TRUE(teclado::CierraConLaCruz(&w()));
    EXPECT_FALSE(visto.isEmpty());
    EXPECT_EQ(fines, std::vector<int>{0});
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "Deudores por Ventas");
}

TEST_F(RecorridosSalidas, PastedLineBreaksAndTabsAreStoredAsBlanks)
{
    // A description another program stored with a tab shows on one line.
    ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET DESCRIPCION = 'Caja' || char(9) || 'y Bancos' WHERE CODIGO = '   2'"));
    abre();
    escribeYEnter(0, QStringLiteral("2"));
    EXPECT_EQ(caja(1)->text(), "Caja y Bancos");

    escribeYEnter(0, QStringLiteral("40"));
    ASSERT_TRUE(w().EsNuevo());
    ASSERT_EQ(teclado::Foco(), caja(1));
    QApplication::clipboard()->setText(QStringLiteral("linea uno\r\nlinea\tdos\n"));
    teclado::Pulsa(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(caja(1)->text(), "linea uno linea dos ");
    // Pasted into the middle, the caret stays after what was pasted.
    caja(1)->setCursorPosition(5);
    QApplication::clipboard()->setText(QStringLiteral("\n-\v"));
    teclado::Pulsa(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(caja(1)->text(), "linea -  uno linea dos ");
    EXPECT_EQ(caja(1)->cursorPosition(), 8);
    // A CR LF pair becomes one blank, and the caret still lands right after what was pasted.
    QApplication::clipboard()->setText(QStringLiteral("x\r\ny"));
    teclado::Pulsa(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(caja(1)->text(), "linea - x y uno linea dos ");
    EXPECT_EQ(caja(1)->cursorPosition(), 11);
    teclado::Pulsa(Qt::Key_Return);
    teclado::Teclea(QStringLiteral("11020101001"));
    teclado::Pulsa(Qt::Key_Return);
    teclado::Teclea(QStringLiteral("11020103001"));
    teclado::Pulsa(Qt::Key_Return);
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE TRIM(CODIGO) = '40'"), "linea - x y uno linea dos ");
}

TEST_F(RecorridosSalidas, TheSheetSortsAsAPersonReadsAndExportsWhatIsSeen)
{
    // Codes padded and not, descriptions in any case, with accents and blanks.
    ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES"));
    ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA) VALUES "
                           "('  10', 'Zeta', '1', '1'), ('2', 'linea', '2', '2'), ('0003', 'Ñandú', '3', '3'), "
                           "(' 1  ', 'ávila ', '4', '4'), ('20', 'Nube', '5', '5'), ('100', 'LINEA 10', '6', '6'), "
                           "('4', 'linea 9', '7', '7')"));
    abre();
    teclado::Pulsa(Qt::Key_F6);
    reportes::VentanaPlanilla* hoja = abierta<reportes::VentanaPlanilla>();
    ASSERT_NE(hoja, nullptr);
    QTableView* t = hoja->tabla();

    clicEnTitulo(t, 1);
    EXPECT_EQ(columna(t, 1), (QStringList{"ávila ", "linea", "linea 9", "LINEA 10", "Nube", "Ñandú", "Zeta"}));
    clicEnTitulo(t, 0);
    EXPECT_EQ(columna(t, 0), (QStringList{" 1  ", "2", "0003", "4", "  10", "20", "100"}));

    // Exportar... writes the rows as the grid shows them.
    clicEnTitulo(t, 1);
    const QStringList enPantalla = columna(t, 1);
    const QString ruta = dir_.filePath(QStringLiteral("orden.csv"));
    guion.op.textos.push_back(ruta);
    teclado::Pulsa(Qt::Key_E, Qt::AltModifier);
    ASSERT_TRUE(espera([&] { return QFile::exists(ruta); }));
    EXPECT_EQ(guion.op.preguntas.back().dueno, hoja);
    QStringList exportadas;
    for (const QString& l : lineasCsv(ruta).mid(1)) exportadas << l.section(u';', 1, 1);
    EXPECT_EQ(exportadas, enPantalla);
}

TEST_F(RecorridosSalidas, ThePictureButtonsAreReachedByTabAndByTheirKeys)
{
    abre();
    auto* cmdRep = ControlDe<QToolButton>(w(), "CmdRep");
    auto* cmdVarias = ControlDe<QToolButton>(w(), "CmdVarias");
    EXPECT_EQ(cmdRep->toolTip(), "Reporte Cuentas Varias de Mayor (F7)");
    EXPECT_EQ(cmdVarias->toolTip(), "Planilla de Datos Cuentas Varias de Mayor (F8)");

    // Tab from the code box reaches the report button, and Space presses it.
    QStringList camino;
    for (int i = 0; i < 12 && teclado::Foco() != cmdRep; ++i) {
        teclado::Tab();
        camino << teclado::Foco()->objectName();
    }
    ASSERT_EQ(teclado::Foco(), cmdRep) << camino.join(" > ").toStdString();
    teclado::Pulsa(Qt::Key_Space);
    reportes::VistaPrevia* vista = abierta<reportes::VistaPrevia>();
    ASSERT_NE(vista, nullptr);
    EXPECT_EQ(vista->windowTitle(), "Vista previa - Cuentas Varias de Mayor");
    delete vista;

    // The next Tab is the sheet button, and Enter presses it as well.
    ASSERT_TRUE(teclado::Muestra(w()));
    teclado::Tab();
    ASSERT_EQ(teclado::Foco(), cmdVarias);
    teclado::Pulsa(Qt::Key_Return);
    reportes::VentanaPlanilla* hoja = abierta<reportes::VentanaPlanilla>();
    ASSERT_NE(hoja, nullptr);
    EXPECT_EQ(hoja->windowTitle(), "Planilla de Datos - Reporte de Cuentas Varias del Mayor");
    // So does the sheet's Cerrar.
    ASSERT_TRUE(QTest::qWaitForWindowActive(hoja));
    QPointer<reportes::VentanaPlanilla> cerrada(hoja);
    hoja->findChild<QPushButton*>(QStringLiteral("cerrar"))->setFocus(Qt::TabFocusReason);
    teclado::Pulsa(Qt::Key_Return);
    EXPECT_TRUE(espera([&] { return !cerrada || !cerrada->isVisible(); }));
    delete cerrada;

    // From a box being typed in, F7 and F8 open them and leave the focus in the box.
    ASSERT_TRUE(teclado::Muestra(w()));
    escribeYEnter(0, QStringLiteral("3"));
    ASSERT_EQ(teclado::Foco(), caja(1));
    teclado::Pulsa(Qt::Key_F8);
    hoja = abierta<reportes::VentanaPlanilla>();
    ASSERT_NE(hoja, nullptr);
    delete hoja;
    ASSERT_TRUE(teclado::Muestra(w()));
    teclado::Pulsa(Qt::Key_F7);
    vista = abierta<reportes::VistaPrevia>();
    ASSERT_NE(vista, nullptr);
    EXPECT_EQ(vista->windowTitle(), "Vista previa - Cuentas Varias de Mayor");
    delete vista;
    ASSERT_TRUE(teclado::Muestra(w()));
    EXPECT_EQ(teclado::Foco(), caja(1));
    EXPECT_TRUE(w().Modificado());
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(RecorridosSalidas, ThePreviewFitsTheScreenAndZoomsByKeysAndButtons)
{
    abre();
    teclado::Pulsa(Qt::Key_F4);
    reportes::VistaPrevia* vista = abierta<reportes::VistaPrevia>();
    ASSERT_NE(vista, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(vista));
    const QRect area = vista->screen()->availableGeometry();
    EXPECT_LE(vista->frameGeometry().height(), area.height());
    EXPECT_LE(vista->frameGeometry().width(), area.width());
    EXPECT_TRUE(area.contains(vista->frameGeometry())) << area.height();

    // It opens with the whole page in view: no scroll bar.
    auto* marco = vista->findChild<QScrollArea*>(QStringLiteral("marco"));
    auto* lblZoom = vista->findChild<QLabel*>(QStringLiteral("lblZoom"));
    ASSERT_TRUE(marco && lblZoom);
    EXPECT_EQ(vista->ajuste(), reportes::VistaPrevia::Ajuste::Pagina);
    EXPECT_FALSE(marco->verticalScrollBar()->isVisible());
    const int inicial = vista->zoom();

    teclado::Pulsa(Qt::Key_Plus, Qt::ControlModifier);
    const int acercado = vista->zoom();
    EXPECT_NEAR(acercado, inicial * 1.25, 1);
    EXPECT_EQ(lblZoom->text(), QStringLiteral("%1 %").arg(acercado));
    teclado::Pulsa(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_TRUE(marco->verticalScrollBar()->isVisible());
    teclado::Pulsa(Qt::Key_Down);  // the arrows scroll a page larger than the window
    EXPECT_GT(marco->verticalScrollBar()->value(), 0);
    teclado::Pulsa(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(vista->zoom(), acercado);

    // Fitted to the width: the page fills the window across, with no scroll bar that way.
    teclado::Pulsa(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(vista->ajuste(), reportes::VistaPrevia::Ajuste::Ancho);
    auto* hoja = vista->findChild<reportes::HojaReporte*>(QStringLiteral("hoja"));
    EXPECT_NEAR(hoja->escala() * 595 + 24, marco->viewport()->width(), 2);
    EXPECT_FALSE(marco->horizontalScrollBar()->isVisible());

    // The buttons do the same, and the keys still work with the focus on one of them.
    teclado::Clic(vista->findChild<QPushButton*>(QStringLiteral("paginaEntera")));
    EXPECT_EQ(vista->zoom(), inicial);
    teclado::Clic(vista->findChild<QPushButton*>(QStringLiteral("alejar")));
    EXPECT_LT(vista->zoom(), inicial);
    teclado::Clic(vista->findChild<QPushButton*>(QStringLiteral("acercar")));
    EXPECT_NEAR(vista->zoom(), inicial, 1);
    teclado::Clic(vista->findChild<QPushButton*>(QStringLiteral("ajustarAncho")));
    EXPECT_EQ(vista->ajuste(), reportes::VistaPrevia::Ajuste::Ancho);
    vista->findChild<QPushButton*>(QStringLiteral("paginaEntera"))->setFocus(Qt::TabFocusReason);
    teclado::Pulsa(Qt::Key_Return);
    EXPECT_EQ(vista->ajuste(), reportes::VistaPrevia::Ajuste::Pagina) << "Enter presses the focused button";
    vista->findChild<QPushButton*>(QStringLiteral("imprimir"))->setFocus();
    teclado::Pulsa(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(vista->ajuste(), reportes::VistaPrevia::Ajuste::Libre);

    // Zooming stops at its limits instead of drawing nothing or a huge page.
    for (int i = 0; i < 30; ++i) teclado::Pulsa(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_GT(vista->zoom(), 10);
    for (int i = 0; i < 40; ++i) teclado::Pulsa(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_LT(vista->zoom(), 1000);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}
