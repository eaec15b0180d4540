// The operator's journeys through the titles window, key by key and click by
// click on whatever holds the focus: questions are answered on the real
// message box (Enter takes its default button) unless the answer is not the
// default, and the reports and data sheets are reached as the operator
// reaches them. The titles come as other programs store them: code "1"
// unpadded, code " 4 " padded on both sides.
#include "ventanas_salida.h"

#include "../lectores.h"
#include "../operador_real.h"
#include "../teclado.h"
#include "lookup/def_qconsulta.h"
#include "lookup/lib_clscons3.h"
#include "reports/rtplanilla.h"
#include "reports/vista_previa.h"

#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

using namespace teclado;

namespace {

class Recorridos : public VentanaTitulos {
protected:
    void SetUp() override
    {
        VentanaTitulos::SetUp();
        ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET CODIGO = '1' WHERE CODIGO = '   1'"));
        ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET CODIGO = ' 4 ' WHERE CODIGO = '   4'"));
    }
    void TearDown() override
    {
        persona_.reset();
        VentanaConSalidas::CierraVentanasDeSalida();
        DescartaClsCons3();
        VentanaTitulos::TearDown();
    }

    /// From here on the person at the keyboard answers on the real boxes.
    void personaAlTeclado() { persona_ = std::make_unique<OperadorReal>(&w(), &guion.op); }

    /// A title as stored, found by its code without blanks: "code|description|from|to|marks".
    QString fila(const QString& codigo)
    {
        return valor(QStringLiteral("SELECT CODIGO || '|' || DESCRIPCION || '|' || DESDE || '|' || HASTA || '|' || "
                                    "IFNULL(TC, '') FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '%1'")
                         .arg(codigo));
    }
    int filas(const QString& codigo)
    {
        return cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '%1'").arg(codigo));
    }
    /// Back in the code box by the mouse, its text replaced as a person does it.
    void otroCodigo(const QString& codigo)
    {
        Clic(caja(0));
        Pulsa(Qt::Key_A, Qt::ControlModifier);
        Teclea(codigo);
    }
    /// The window the key or click just opened, once it has the keyboard.
    template <class T>
    T* abierta()
    {
        for (QWidget* v : QApplication::topLevelWidgets())
            if (auto* t = dynamic_cast<T*>(v); t && t->isVisible()) {
                EXPECT_TRUE(QTest::qWaitForWindowActive(t));
                return t;
            }
        ADD_FAILURE() << "no window opened";
        return nullptr;
    }
    /// Typed where the focus is inside a modal window, then Enter.
    static void escribeEn(QWidget* ventana, const QString& texto)
    {
        QWidget* destino = ventana->focusWidget() ? ventana->focusWidget() : ventana;
        QTest::keyClicks(destino, texto);
        QTest::keyClick(ventana->focusWidget() ? ventana->focusWidget() : ventana, Qt::Key_Return);
    }
    /// A window closed over the main one: the desktop gives the keyboard back to
    /// it (the test platform does not).
    void vuelve() { ASSERT_TRUE(Muestra(w())); }
    /// `tecla` opens a box, the person answers it with `respuesta` and the main
    /// window has the keyboard again; the box's text.
    QString contestaA(Qt::Key tecla, Qt::Key respuesta)
    {
        QString visto;
        Contesta(respuesta, &visto);
        Pulsa(tecla);
        EXPECT_TRUE(Muestra(w()));
        return visto;
    }
    bool enEdicion() { return caja(1)->isEnabled() && barra()->GrabarEnabled(); }

private:
    std::unique_ptr<OperadorReal> persona_;
};

}  // namespace

TEST_F(Recorridos, NewTitleWithItsMarksThenAnotherProgramsTitleLoadedEditedAndReplaced)
{
    abre();
    Pulsa(Qt::Key_F3);
    EXPECT_EQ(caja(0)->text(), "11");
    Pulsa(Qt::Key_Return);  // the proposed code, as it stands
    ASSERT_EQ(Foco(), caja(1));
    Teclea(QStringLiteral("Inversiones"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("11020101001"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("11020103001"));
    Pulsa(Qt::Key_Return);
    ASSERT_EQ(Foco(), lista());
    // Down to the second voucher, Space takes its mark off, the button inverts them all.
    Pulsa(Qt::Key_Down);
    Pulsa(Qt::Key_Space);
    Clic(ControlDe<QPushButton>(w(), "CmdTodos"));
    Pulsa(Qt::Key_F2);
    EXPECT_EQ(fila(QStringLiteral("11")), "  11|Inversiones|11020101001|11020103001|  NC");
    EXPECT_EQ(caja(0)->text(), "12");
    EXPECT_EQ(Foco(), caja(0));
    EXPECT_FALSE(enEdicion());

    // Title 1 as another program stored it (no padding): shown, edited, replaced by one row.
    otroCodigo(QStringLiteral("1"));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(caja(1)->text(), "Libro Diario General");
    EXPECT_EQ(w().CptesMarcados(), "  AS,  AJ,  AP,  CI");
    Teclea(QStringLiteral("Diario"));  // the description comes selected: typing replaces it
    Pulsa(Qt::Key_F2);
    EXPECT_EQ(fila(QStringLiteral("1")), "   1|Diario|31010101001|32020102001|  AS,  AJ,  AP,  CI");
    EXPECT_EQ(filas(QStringLiteral("1")), 1);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(Recorridos, ChangingTheCodeBeforeF2SavesUnderTheCodeInTheBox)
{
    abre();
    const int total = cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES"));
    // Title 4 shown, then the code box changed to one no title has: a new title, title 4 untouched.
    Teclea(QStringLiteral("4"));
    Pulsa(Qt::Key_Return);
    ASSERT_EQ(caja(1)->text(), "Créditos Fiscales - IVA Compras");
    otroCodigo(QStringLiteral("70"));
    Pulsa(Qt::Key_F2);
    // The range is title 4's, so each end draws the warning; nothing else is said.
    EXPECT_EQ(mensajes(), QStringList(2, QStringLiteral("El Codigo de Cuenta esta en el rango de otro Copiador!")));
    EXPECT_EQ(fila(QStringLiteral("70")), "  70|Créditos Fiscales - IVA Compras|11040101001|11040104002|  FP, NCP, NDP,  AS");
    EXPECT_EQ(fila(QStringLiteral("4")), " 4 |Créditos Fiscales - IVA Compras|11040101001|11040104002|  FP, NCP, NDP,  AS");
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), total + 1);
    EXPECT_FALSE(enEdicion());

    // A new title whose code is changed to title 1's: title 1 is replaced, not duplicated.
    Pulsa(Qt::Key_Return);  // the proposed code, 71
    Teclea(QStringLiteral("Diario nuevo"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("31010101001"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("32020102001"));
    Pulsa(Qt::Key_Return);
    otroCodigo(QStringLiteral("1"));
    guion.op.preguntas.clear();
    guion.op.respuestas = {rt::vbYes};  // asked first: title 1 exists
    Pulsa(Qt::Key_F2);
    ASSERT_FALSE(mensajes().isEmpty());
    EXPECT_EQ(mensajes()[0], "El título 1 ya existe. ¿Desea reemplazarlo con los datos de la pantalla?");
    EXPECT_EQ(mensajes().filter(QStringLiteral("operador")), QStringList());
    EXPECT_EQ(filas(QStringLiteral("1")), 1);
    EXPECT_EQ(fila(QStringLiteral("1")).section(u'|', 0, 1), "   1|Diario nuevo");
    EXPECT_EQ(filas(QStringLiteral("71")), 0);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), total + 1);
}

TEST_F(Recorridos, F10AndEscAskOnTheRealBoxAndATitleNeverSavedIsJustDropped)
{
    abre();
    const int total = cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES"));
    // A title typed but never saved: F10, Yes, and it is gone; nobody else is blamed.
    Teclea(QStringLiteral("50"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("Borrador"));
    guion.op.respuestas = {rt::vbYes};
    Pulsa(Qt::Key_F10);
    EXPECT_EQ(mensajes(), QStringList{"Confirma la baja de este registro?"});
    EXPECT_FALSE(enEdicion());
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), total);

    personaAlTeclado();
    // F10 on title 3: Enter takes the default, No, and the title stays; Sí deletes it.
    ASSERT_EQ(Foco(), caja(0));
    Teclea(QStringLiteral("3"));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(contestaA(Qt::Key_F10, Qt::Key_Return), "Confirma la baja de este registro?");
    EXPECT_EQ(filas(QStringLiteral("3")), 1);
    EXPECT_TRUE(enEdicion());
    contestaA(Qt::Key_F10, Qt::Key_S);
    EXPECT_EQ(filas(QStringLiteral("3")), 0);

    // Esc over a change: Enter (No) keeps what was typed, Sí abandons it.
    Teclea(QStringLiteral("2"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("Cambio"));
    EXPECT_EQ(contestaA(Qt::Key_Escape, Qt::Key_Return), "¿Está seguro de abandonar la carga de datos?");
    EXPECT_EQ(caja(1)->text(), "Cambio");
    EXPECT_TRUE(enEdicion());
    contestaA(Qt::Key_Escape, Qt::Key_S);
    EXPECT_FALSE(enEdicion());
    EXPECT_EQ(fila(QStringLiteral("2")).section(u'|', 1, 1), "Caja y Bancos");
    EXPECT_TRUE(fines.empty());

    // Nothing being edited: Esc closes the program.
    Pulsa(Qt::Key_Escape);
    EXPECT_EQ(fines, std::vector<int>{0});
}

TEST_F(Recorridos, RightClickAndF5OpenTheListAndTheChoiceIsTakenAsTyped)
{
    abre();
    w().ConsultarTabla = Def_QConsulta::ConsultaClave;  // as the program installs it
    personaAlTeclado();
    // Right button on the code box: the list of titles, narrowed as typed, Enter takes the row.
    AlAparecer([](QWidget* lista) { escribeEn(lista, QStringLiteral("Deudores")); });
    Clic(caja(0), Qt::RightButton);
    vuelve();
    EXPECT_EQ(caja(1)->text(), "Deudores por Ventas");
    EXPECT_TRUE(enEdicion());

    // F5 on the from box: the chart of accounts; the account chosen is checked as if typed.
    Pulsa(Qt::Key_Return);
    ASSERT_EQ(Foco(), caja(2));
    AlAparecer([](QWidget* lista) { escribeEn(lista, QStringLiteral("Plazo fijo Banco Galicia")); });
    Pulsa(Qt::Key_F5);
    vuelve();
    EXPECT_EQ(caja(2)->text(), "11020101002");
    EXPECT_EQ(Foco(), caja(3));
}

TEST_F(Recorridos, ReportPreviewPagedSavedAndClosedThenTheDataSheetSortedCopiedAndExported)
{
    // Enough titles for several pages, their codes padded or not.
    for (int i = 11; i <= 160; ++i)
        ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA) VALUES ('%1', 'Título %2', "
                               "'11010101001', '11010101002')")
                    .arg(i % 2 ? QString::number(i) : QString::number(i).rightJustified(4), QString::number(1000 - i)));
    for (const QString& f : QDir(QStringLiteral(REPORTES_DIR)).entryList({QStringLiteral("*.rep")}))
        QFile::copy(QStringLiteral(REPORTES_DIR "/") + f, dir_.filePath(f));
    abre();

    Pulsa(Qt::Key_F4);
    auto* vista = abierta<reportes::VistaPrevia>();
    ASSERT_NE(vista, nullptr);
    QLabel* pagina = vista->findChild<QLabel*>(QStringLiteral("lblPagina"));
    const int paginas = vista->informe().paginas();
    ASSERT_GT(paginas, 2);
    EXPECT_EQ(pagina->text(), QStringLiteral("Página 1 de %1").arg(paginas));
    Pulsa(Qt::Key_PageDown);
    EXPECT_EQ(pagina->text(), QStringLiteral("Página 2 de %1").arg(paginas));
    Pulsa(Qt::Key_End);
    EXPECT_EQ(pagina->text(), QStringLiteral("Página %1 de %1").arg(paginas));
    Pulsa(Qt::Key_Home);
    EXPECT_EQ(pagina->text(), QStringLiteral("Página 1 de %1").arg(paginas));
    const QString pdf = dir_.filePath(QStringLiteral("titulos.pdf"));
    guion.op.textos = {pdf};
    Clic(vista->findChild<QPushButton*>(QStringLiteral("guardarPdf")));
    const QString texto = TextoPdf(pdf);
    EXPECT_TRUE(texto.contains(QStringLiteral("Página %1 de %1").arg(paginas)));
    EXPECT_TRUE(texto.contains(QStringLiteral("Cantidad de registros: 160")));
    QPointer<QWidget> cerrada = vista;
    Pulsa(Qt::Key_Escape);
    EXPECT_TRUE(!cerrada || !cerrada->isVisible());

    ASSERT_TRUE(Muestra(w()));
    Pulsa(Qt::Key_F6);
    auto* hoja = abierta<reportes::VentanaPlanilla>();
    ASSERT_NE(hoja, nullptr);
    QTableView* grilla = hoja->tabla();
    // A click on DESCRIPCION's caption sorts by it; the first row is then the smallest.
    QHeaderView* cabecera = grilla->horizontalHeader();
    Clic(cabecera->viewport(), Qt::LeftButton,
         QPoint(cabecera->sectionViewportPosition(1) + cabecera->sectionSize(1) / 2, cabecera->height() / 2));
    const QString primera = grilla->model()->index(0, 1).data().toString();
    EXPECT_EQ(primera, "Caja y Bancos");
    // The first row's code and description, selected by click and Shift+Right, copied by Ctrl+C.
    Clic(grilla->viewport(), Qt::LeftButton, grilla->visualRect(grilla->model()->index(0, 0)).center());
    Pulsa(Qt::Key_Right, Qt::ShiftModifier);
    Pulsa(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "   2\tCaja y Bancos");
    const QString csv = dir_.filePath(QStringLiteral("titulos.csv"));
    guion.op.textos = {csv};
    Clic(hoja->findChild<QPushButton*>(QStringLiteral("exportar")));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lineas = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(lineas.size(), 161);
    EXPECT_TRUE(lineas.contains(QStringLiteral("11;Título 989;11010101001;11010101002")));
    cerrada = hoja;
    Pulsa(Qt::Key_Escape);
    EXPECT_TRUE(!cerrada || !cerrada->isVisible());
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(Recorridos, ACodeChangedToAnotherStoredTitleIsSavedOverItOnlyWhenTheOperatorSaysSo)
{
    abre();
    const QString tres = fila(QStringLiteral("3"));
    const QString uno = fila(QStringLiteral("1"));
    const int total = cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES"));
    Teclea(QStringLiteral("1"));
    Pulsa(Qt::Key_Return);
    ASSERT_EQ(caja(1)->text(), "Libro Diario General");
    // Back to the code box by Shift+Tab, another stored title's code, F2: Enter takes No.
    personaAlTeclado();
    ShiftTab();
    ASSERT_EQ(Foco(), caja(0));
    Teclea(QStringLiteral("3"));
    QString visto;
    QPointer<QWidget> sobre;
    ContestaSobre(Qt::Key_Return, &sobre, &visto);
    Pulsa(Qt::Key_F2);
    vuelve();
    EXPECT_EQ(visto, "El título 3 ya existe. ¿Desea reemplazarlo con los datos de la pantalla?");
    EXPECT_EQ(sobre.data(), static_cast<QWidget*>(&w()));
    EXPECT_EQ(fila(QStringLiteral("3")), tres);
    EXPECT_EQ(fila(QStringLiteral("1")), uno);
    EXPECT_EQ(Foco(), caja(0));
    EXPECT_TRUE(enEdicion());
    EXPECT_EQ(caja(1)->text(), "Libro Diario General");

    // Yes replaces it (the codes stored padded on both sides or not at all);
    // the range lies in the shown title's range, hence the two warnings.
    rt::fijaOperador(&guion.op);
    struct Caso {
        const char* mostrado;
        const char* tecleado;
        const char* queda;
    };
    for (const Caso& c : {Caso{"1", "3", "   3|Libro Diario General|31010101001|32020102001|  AS,  AJ,  AP,  CI"},
                          Caso{"2", "4", "   4|Caja y Bancos|11000101001|11010202002|  RC,  OP,  DB,  TR,  AS"}}) {
        if (!enEdicion()) {
            otroCodigo(QString::fromLatin1(c.mostrado));
            Pulsa(Qt::Key_Return);
            otroCodigo(QString::fromLatin1(c.tecleado));
        }
        guion.op.preguntas.clear();
        guion.op.respuestas = {rt::vbYes};
        Pulsa(Qt::Key_F2);
        ASSERT_FALSE(mensajes().isEmpty()) << c.tecleado;
        EXPECT_EQ(mensajes()[0], QStringLiteral("El título %1 ya existe. ¿Desea reemplazarlo con los datos de la pantalla?")
                                     .arg(QString::fromLatin1(c.tecleado)));
        EXPECT_EQ(mensajes().filter(QStringLiteral("operador")), QStringList()) << c.tecleado;
        EXPECT_EQ(filas(QString::fromLatin1(c.tecleado)), 1) << c.tecleado;
        EXPECT_EQ(fila(QString::fromLatin1(c.tecleado)), c.queda);
        EXPECT_EQ(filas(QString::fromLatin1(c.mostrado)), 1) << c.mostrado;
        EXPECT_FALSE(enEdicion());
    }
    EXPECT_EQ(fila(QStringLiteral("1")), uno);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), total);
}

TEST_F(Recorridos, AnotherTitleIsLoadedOverAnEditOnlyWhenTheOperatorAbandonsIt)
{
    abre();
    w().ConsultarTabla = Def_QConsulta::ConsultaClave;
    personaAlTeclado();
    // Title 4 (stored " 4 ") with its description changed; Enter on another code: No keeps the edit.
    Teclea(QStringLiteral("4"));
    Pulsa(Qt::Key_Return);
    TecleaLetras(QStringLiteral("Créditos editados"));
    ShiftTab();
    Teclea(QStringLiteral("2"));
    QString visto;
    EXPECT_EQ(contestaA(Qt::Key_Return, Qt::Key_Return), "¿Está seguro de abandonar la carga de datos?");
    EXPECT_EQ(caja(0)->text(), "4");
    EXPECT_EQ(caja(1)->text(), "Créditos editados");
    EXPECT_TRUE(enEdicion());

    // The same by a row picked in the code box's lookup.
    visto.clear();
    AlAparecer([&](QWidget* lista) {
        Contesta(Qt::Key_Return, &visto);
        escribeEn(lista, QStringLiteral("Caja y Bancos"));
    });
    Clic(caja(0), Qt::RightButton);
    vuelve();
    EXPECT_EQ(visto, "¿Está seguro de abandonar la carga de datos?");
    EXPECT_EQ(caja(0)->text(), "4");
    EXPECT_EQ(caja(1)->text(), "Créditos editados");

    // Enter on the code it was shown under keeps the edit and moves on, unasked.
    Clic(caja(0));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(Foco(), caja(1));
    EXPECT_EQ(caja(1)->text(), "Créditos editados");

    // Sí abandons the edit and loads the other title.
    otroCodigo(QStringLiteral("2"));
    contestaA(Qt::Key_Return, Qt::Key_S);
    EXPECT_EQ(caja(1)->text(), "Caja y Bancos");
    EXPECT_EQ(fila(QStringLiteral("4")).section(u'|', 1, 1), "Créditos Fiscales - IVA Compras");

    // A voucher mark taken off is an edit too.
    const QString marcas2 = w().CptesMarcados();
    Tab(3);
    ASSERT_EQ(Foco(), lista());
    Pulsa(Qt::Key_Down);
    Pulsa(Qt::Key_Space);
    const QString editadas = w().CptesMarcados();
    ASSERT_NE(editadas, marcas2);
    otroCodigo(QStringLiteral("1"));
    EXPECT_EQ(contestaA(Qt::Key_Return, Qt::Key_Return), "¿Está seguro de abandonar la carga de datos?");
    EXPECT_EQ(caja(0)->text(), "2");
    EXPECT_EQ(w().CptesMarcados(), editadas);
    otroCodigo(QStringLiteral("1"));
    contestaA(Qt::Key_Return, Qt::Key_S);
    EXPECT_EQ(w().CptesMarcados(), "  AS,  AJ,  AP,  CI");

    // Nothing changed: another title, and a new one, load without a question
    // (an unexpected box fails the test).
    otroCodigo(QStringLiteral("3"));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(caja(1)->text(), "Deudores por Ventas");
    otroCodigo(QStringLiteral("60"));
    Pulsa(Qt::Key_Return);
    EXPECT_TRUE(caja(1)->text().isEmpty());
    // A new title's typed description is kept the same way.
    Teclea(QStringLiteral("Borrador"));
    otroCodigo(QStringLiteral("5"));
    contestaA(Qt::Key_Return, Qt::Key_Return);
    EXPECT_EQ(caja(0)->text(), "60");
    EXPECT_EQ(caja(1)->text(), "Borrador");
}

TEST_F(Recorridos, AfterF10OrEscTheWindowIsAsAtStartUpAndClosesUnasked)
{
    abre();
    // F10 after the code box was changed to a free code: title 1 was shown, nothing is deleted,
    // and the only question is the confirmation.
    Teclea(QStringLiteral("1"));
    Pulsa(Qt::Key_Return);
    ShiftTab();
    Teclea(QStringLiteral("50"));
    guion.op.respuestas = {rt::vbYes};
    Pulsa(Qt::Key_F10);
    EXPECT_EQ(mensajes(), QStringList{"Confirma la baja de este registro?"});
    EXPECT_EQ(filas(QStringLiteral("1")), 1);

    // Each delete, down to the last title: the next code proposed and selected, the boxes empty.
    const auto comoAlEmpezar = [&](const char* propuesto) {
        EXPECT_EQ(caja(0)->text(), propuesto);
        EXPECT_EQ(caja(0)->selectedText(), propuesto);
        EXPECT_EQ(Foco(), caja(0));
        for (int i = 1; i < 4; ++i) EXPECT_TRUE(caja(i)->text().isEmpty()) << i;
        EXPECT_FALSE(enEdicion());
        EXPECT_FALSE(w().Modificado());
        EXPECT_TRUE(barra()->NuevoEnabled());
    };
    comoAlEmpezar("11");
    ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) NOT IN ('1', '3', '4')"));
    for (const auto& [codigo, propuesto] : {std::pair{"3", "5"}, std::pair{"4", "2"}, std::pair{"1", "1"}}) {
        guion.op.preguntas.clear();
        guion.op.respuestas = {rt::vbYes};
        Teclea(QString::fromLatin1(codigo));
        Pulsa(Qt::Key_Return);
        Pulsa(Qt::Key_F10);
        EXPECT_EQ(mensajes(), QStringList{"Confirma la baja de este registro?"}) << codigo;
        EXPECT_EQ(filas(QString::fromLatin1(codigo)), 0) << codigo;
        comoAlEmpezar(propuesto);
    }
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")), 0);

    // Esc answered Yes: nothing being edited any more, so the close box asks nothing.
    Teclea(QStringLiteral("7"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("Abandonado"));
    guion.op.preguntas.clear();
    guion.op.respuestas = {rt::vbYes};
    Pulsa(Qt::Key_Escape);
    comoAlEmpezar("1");
    EXPECT_TRUE(fines.empty());
    EXPECT_TRUE(CierraConLaCruz(&w()));
    EXPECT_EQ(mensajes(), QStringList{"¿Está seguro de abandonar la carga de datos?"});
    EXPECT_EQ(fines, std::vector<int>{0});
}
