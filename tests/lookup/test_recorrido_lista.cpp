// The list lookup as the keyboard operator uses it: every key goes to the
// widget that has the focus, Tab moves, Enter takes the default button.
#include "fixture.h"

#include "../teclado.h"
#include "controles.h"
#include "lookup/def_qconsulta.h"
#include "titles/frmta_titcopiadores.h"

#include <QLabel>
#include <QLineEdit>

using namespace teclado;

class RecorridoLista : public ConsultasDemo {
protected:
    Lib_FrmCons3& abre(const QString& sql, std::function<void(Lib_FrmCons3&)> prepara = {})
    {
        w = std::make_unique<Lib_FrmCons3>();
        w->GrabarCfg = false;
        w->sql = sql;
        w->CampoDevuelto = QStringLiteral("CODIGO");
        if (prepara) prepara(*w);
        EXPECT_TRUE(Muestra(*w));
        return *w;
    }
    QString seleccionado(int columna = 0) const
    {
        const int f = w->FilaSeleccionada();
        return f < 0 ? QStringLiteral("(ninguna)") : w->Modelo()->Texto(f, columna).trimmed();
    }
    QString aviso() const { return ControlDe<QLabel>(*w, QStringLiteral("lblSinCoincidencias"))->text(); }
    /// Titles 10 to 160 stored padded, as this program writes them, and
    /// title 2 stored unpadded, as another program did.
    void titulosConYSinRelleno()
    {
        ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES"));
        for (int i = 10; i <= 160; ++i)
            ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES ('%1', 'Titulo %2')")
                        .arg(QString::number(i).rightJustified(4), QString::number(i)));
        ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES ('2', 'Titulo dos')"));
    }
    void TearDown() override
    {
        w.reset();
        ConsultasDemo::TearDown();
    }
    std::unique_ptr<Lib_FrmCons3> w;
};

TEST_F(RecorridoLista, TabReachesEveryBoxTheListAndTheButtonsAndShiftTabComesBack)
{
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION, DESDE FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    ASSERT_EQ(Foco(), CajaDe(v, 0));
    // Marcar is off outside check-box mode, so Tab passes it by.
    const QList<QWidget*> orden{CajaDe(v, 0),
                                CajaDe(v, 1),
                                CajaDe(v, 2),
                                ListaDe(v),
                                BotonDe(v, "CmdAceptar"),
                                BotonDe(v, "cmdCancelar"),
                                BotonDe(v, "CmdNueva"),
                                BotonDe(v, "CmdNuevo")};
    for (int i = 1; i < orden.size(); ++i) {
        Tab();
        ASSERT_EQ(Foco(), orden[i]) << "Tab number " << i;
    }
    Tab();
    EXPECT_EQ(Foco(), orden[0]) << "and round again";
    ShiftTab();
    EXPECT_EQ(Foco(), orden.last());
    for (int i = orden.size() - 2; i >= 0; --i) {
        ShiftTab();
        ASSERT_EQ(Foco(), orden[i]) << "Shift+Tab back to " << i;
    }

    // The box reached by Tab searches its own column.
    Tab();
    Teclea(QStringLiteral("deu"));
    EXPECT_EQ(seleccionado(1), QStringLiteral("Deudores por Ventas"));
    EXPECT_EQ(CajaDe(v, 1)->palette().color(QPalette::Base), QColor(0, 255, 255));
}

TEST_F(RecorridoLista, TypeArrowsAndEnterReturnTheRowEscReturnsNothing)
{
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"),
                           [](Lib_FrmCons3& f) { f.CmpsDevueltos = std::make_shared<QStringList>(QStringList{"DESCRIPCION"}); });
    Tab();
    Teclea(QStringLiteral("ven"));
    EXPECT_EQ(seleccionado(1), QStringLiteral("Ventas"));
    Pulsa(Qt::Key_Down);
    EXPECT_EQ(Foco(), ListaDe(v)) << "the arrows take the list";
    EXPECT_EQ(seleccionado(1), QStringLiteral("Gastos Generales"));
    Pulsa(Qt::Key_Up);
    Teclea(QStringLiteral("s"));
    EXPECT_EQ(Foco(), CajaDe(v, 1)) << "a letter typed on the list goes back to the box";
    EXPECT_EQ(CajaDe(v, 1)->currentText(), QStringLiteral("vens"));
    Pulsa(Qt::Key_Backspace);
    Pulsa(Qt::Key_Return);
    EXPECT_FALSE(v.isVisible());
    EXPECT_EQ(v.result(), QDialog::Accepted);
    EXPECT_EQ(v.ValorDevuelto, QStringLiteral("9"));
    EXPECT_EQ(*v.Valores, QStringList{QStringLiteral("Ventas")});

    Lib_FrmCons3& c = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    Teclea(QStringLiteral("3"));
    Pulsa(Qt::Key_Escape);
    EXPECT_EQ(c.result(), QDialog::Rejected);
    EXPECT_EQ(c.ValorDevuelto, QString());
    EXPECT_FALSE(c.Valores);
}

// Enter on a button reached by Tab presses that button, never the default
// Aceptar in its place.
TEST_F(RecorridoLista, EnterOnEachButtonPressesThatButton)
{
    const struct {
        const char* boton;
        bool abierta;
        QString valor;
    } casos[] = {
        {"CmdAceptar", false, QStringLiteral("9")},
        {"cmdCancelar", false, QString()},
        {"CmdNueva", true, QString()},
        {"CmdNuevo", true, QString()},
    };
    guion.op.pidEjecuta = 4321;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.boton);
        guion.op.preguntas.clear();
        Lib_FrmCons3& v = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"));
        Tab();
        Teclea(QStringLiteral("ven"));
        for (int i = 0; i < 8 && Foco() != BotonDe(v, c.boton); ++i) Tab();
        ASSERT_EQ(Foco(), BotonDe(v, c.boton));
        Pulsa(Qt::Key_Return);
        EXPECT_EQ(v.isVisible(), c.abierta);
        EXPECT_EQ(v.ValorDevuelto, c.valor);
        const bool ejecuta = !guion.op.preguntas.empty() && guion.op.preguntas.back().tipo == QStringLiteral("Ejecuta");
        EXPECT_EQ(ejecuta, c.boton == std::string_view("CmdNuevo")) << "Nuevo starts the table's maintenance program";
        if (c.boton == std::string_view("CmdNueva")) {
            EXPECT_EQ(Foco(), CajaDe(v, 0));
        }
    }

    // Marcar, in check-box mode.
    Lib_FrmCons3& m = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"),
                           [](Lib_FrmCons3& f) { f.CheckBoxes = true; });
    for (int i = 0; i < 8 && Foco() != BotonDe(m, "CmdTodos"); ++i) Tab();
    ASSERT_EQ(Foco(), BotonDe(m, "CmdTodos"));
    Pulsa(Qt::Key_Return);
    EXPECT_TRUE(m.isVisible());
    EXPECT_TRUE(m.Modelo()->Marcada(0));
}

TEST_F(RecorridoLista, TextMatchingNoRowSaysSoEnterReturnsNothingAndF5FindsItOnTheServer)
{
    // Only the first accounts are on the list; the operator types one beyond them.
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT TOP 20 Codigo, DESCRIPCION FROM MA_CUENTAS ORDER BY Codigo"),
                           [](Lib_FrmCons3& f) { f.CampoDevuelto = QStringLiteral("Codigo"); });
    ASSERT_EQ(v.Modelo()->rowCount(), 20);
    EXPECT_TRUE(aviso().isEmpty());
    Teclea(QStringLiteral("5101"));
    EXPECT_EQ(v.FilaSeleccionada(), -1) << "no row is left highlighted";
    EXPECT_TRUE(aviso().contains(QStringLiteral("F5"))) << aviso().toStdString();
    EXPECT_EQ(CajaDe(v, 0)->palette().color(QPalette::Text), QColor(190, 0, 0));
    Pulsa(Qt::Key_Return);
    EXPECT_TRUE(v.isVisible()) << "Enter returned a row that does not match";
    EXPECT_EQ(v.ValorDevuelto, QString());
    EXPECT_EQ(Foco(), CajaDe(v, 0));

    Pulsa(Qt::Key_F5);
    ASSERT_GT(v.Modelo()->rowCount(), 0);
    EXPECT_TRUE(aviso().isEmpty());
    EXPECT_TRUE(seleccionado().startsWith(QStringLiteral("5101"))) << seleccionado().toStdString();
    Pulsa(Qt::Key_Return);
    EXPECT_FALSE(v.isVisible());
    EXPECT_TRUE(v.ValorDevuelto.startsWith(QStringLiteral("5101"))) << v.ValorDevuelto.toStdString();

    // Back to a text that matches: the row is chosen again and the notice goes.
    Lib_FrmCons3& o = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    Teclea(QStringLiteral("77"));
    EXPECT_FALSE(aviso().isEmpty());
    Pulsa(Qt::Key_Backspace);
    EXPECT_EQ(seleccionado(), QStringLiteral("7"));
    EXPECT_TRUE(aviso().isEmpty());
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(o.ValorDevuelto, QStringLiteral("7"));
}

TEST_F(RecorridoLista, CodesStoredPaddedOrNotOrderAsNumbersAndTwoFindsTitleTwo)
{
    titulosConYSinRelleno();
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT TOP 1000 CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    EXPECT_EQ(v.Modelo()->Texto(0, 0), QStringLiteral("2"));
    EXPECT_EQ(v.Modelo()->Texto(v.Modelo()->rowCount() - 1, 0), QStringLiteral("160"));
    Teclea(QStringLiteral("2"));
    EXPECT_EQ(seleccionado(1), QStringLiteral("Titulo dos"));

    // A header click sorts by value too, first descending, then ascending.
    CabeceraBusqueda* h = CabeceraDe(v);
    Clic(h->viewport(), Qt::LeftButton, QPoint(h->sectionViewportPosition(0) + 4, h->AltoTitulos() / 2));
    EXPECT_EQ(v.Modelo()->Texto(0, 0), QStringLiteral("160"));
    EXPECT_EQ(v.Modelo()->Texto(v.Modelo()->rowCount() - 1, 0), QStringLiteral("2"));
    Clic(h->viewport(), Qt::LeftButton, QPoint(h->sectionViewportPosition(0) + 4, h->AltoTitulos() / 2));
    EXPECT_EQ(v.Modelo()->Texto(1, 0), QStringLiteral("10"));
    EXPECT_EQ(seleccionado(1), QStringLiteral("Titulo dos")) << "the chosen row stays chosen";

    // Descriptions are no numbers: they keep the order of their text.
    Clic(h->viewport(), Qt::LeftButton, QPoint(h->sectionViewportPosition(1) + 4, h->AltoTitulos() / 2));
    EXPECT_EQ(v.Modelo()->Texto(0, 1), QStringLiteral("Titulo dos"));
    EXPECT_EQ(v.Modelo()->Texto(1, 1), QStringLiteral("Titulo 99"));

    // Account codes are never padded: their order is the chart's, by text.
    Lib_FrmCons3& c = abre(QStringLiteral("SELECT TOP 1000 Codigo, DESCRIPCION FROM MA_CUENTAS ORDER BY Codigo"));
    EXPECT_EQ(c.Modelo()->Texto(1, 0), QStringLiteral("11"));
}

// The code lookup opened from the titles window, and the lookup cancelled
// over a box that held a typed account.
TEST_F(RecorridoLista, FromTheTitlesWindowTwoLoadsTitleTwoAndEscKeepsTheBox)
{
    titulosConYSinRelleno();
    escribeVrl({MascaraConsulta::Registro{{}, QStringLiteral("TA_TITCOPIADORES"), QStringLiteral("CODIGO|DESCRIPCION"), {}}});
    PreparaConsultas();
    std::function<void()> enLaConsulta;
    guion.op.alModal = [&](QObject* o) {
        auto* d = qobject_cast<QDialog*>(o);
        if (!d) return 0;
        EXPECT_TRUE(Muestra(*d));
        enLaConsulta();
        return d->result();
    };
    {
        frmTA_TITCOPIADORES ventana;
        ventana.ConsultarTabla = Def_QConsulta::ConsultaClave;
        ventana.CargaVentana();
        ASSERT_TRUE(Muestra(ventana));
        QLineEdit* codigo = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields0"));
        codigo->setFocus();
        enLaConsulta = [] {
            Teclea(QStringLiteral("2"));
            Pulsa(Qt::Key_Return);
        };
        Pulsa(Qt::Key_F5);
        EXPECT_EQ(codigo->text(), QStringLiteral("2"));
        EXPECT_EQ(ventana.findChild<QLineEdit*>(QStringLiteral("txtfields1"))->text(), QStringLiteral("Titulo dos"));
    }

    // A new title; its range typed by hand, then a lookup opened and left.
    frmTA_TITCOPIADORES ventana;
    ventana.ConsultarTabla = Def_QConsulta::ConsultaClave;
    ventana.CargaVentana();
    ASSERT_TRUE(Muestra(ventana));
    QLineEdit* codigo = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields0"));
    codigo->setFocus();
    codigo->selectAll();
    Teclea(QStringLiteral("5"));
    Pulsa(Qt::Key_Return);
    Teclea(QStringLiteral("Prueba"));
    Pulsa(Qt::Key_Return);
    QLineEdit* desde = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields2"));
    ASSERT_EQ(Foco(), desde);
    Teclea(QStringLiteral("11010101001"));
    enLaConsulta = [] { Pulsa(Qt::Key_Escape); };
    guion.op.preguntas.clear();
    Pulsa(Qt::Key_F5);
    EXPECT_EQ(desde->text(), QStringLiteral("11010101001")) << "Cancel leaves the box as it was";
    EXPECT_EQ(ventana.focusWidget(), desde);
    for (const auto& p : guion.op.preguntas) EXPECT_EQ(p.tipo, QStringLiteral("Modal")) << p.texto.toStdString();

    // Enter on Nuevo, the button before the first box, starts the accounts'
    // program and leaves the box alone; on Cancelar over Hasta, the same.
    guion.op.preguntas.clear();
    guion.op.pidEjecuta = 4321;
    ASSERT_TRUE(Muestra(ventana));
    enLaConsulta = [] {
        ShiftTab();
        ASSERT_EQ(Foco()->objectName(), QStringLiteral("CmdNuevo"));
        Pulsa(Qt::Key_Return);
        Pulsa(Qt::Key_Escape);
    };
    Pulsa(Qt::Key_F5);
    EXPECT_EQ(desde->text(), QStringLiteral("11010101001"));
    ASSERT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_EQ(guion.op.preguntas[1].tipo, QStringLiteral("Ejecuta"));
    ASSERT_TRUE(Muestra(ventana));
    Pulsa(Qt::Key_Return);
    QLineEdit* hasta = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields3"));
    ASSERT_EQ(Foco(), hasta);
    Teclea(QStringLiteral("11010101099"));
    guion.op.preguntas.clear();
    enLaConsulta = [] {
        for (int i = 0; i < 12 && Foco()->objectName() != QStringLiteral("cmdCancelar"); ++i) Tab();
        ASSERT_EQ(Foco()->objectName(), QStringLiteral("cmdCancelar"));
        Pulsa(Qt::Key_Return);
    };
    Pulsa(Qt::Key_F5);
    EXPECT_EQ(hasta->text(), QStringLiteral("11010101099"));
    EXPECT_EQ(ventana.focusWidget(), hasta);
    EXPECT_EQ(guion.op.mensajes(), QStringList()) << "no reversed range, nothing asked";
}

TEST_F(RecorridoLista, F5ShowsTheFilterItLeavesAndSaysWhenItFindsNothing)
{
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    QLabel* filtro = ControlDe<QLabel>(v, QStringLiteral("lblFiltro"));
    EXPECT_FALSE(filtro->isVisible());
    Tab();
    Teclea(QStringLiteral("Ven"));
    Pulsa(Qt::Key_F5);
    ASSERT_EQ(v.Modelo()->rowCount(), 1);
    EXPECT_TRUE(filtro->isVisible());
    EXPECT_EQ(filtro->text(), QStringLiteral("Filtro: DESCRIPCION comienza con \"Ven\". Nueva Busqueda lo quita."));
    EXPECT_TRUE(aviso().isEmpty());

    // The next F5 searches inside what the first one left, and says it.
    Teclea(QStringLiteral("zzz"));
    Pulsa(Qt::Key_F5);
    EXPECT_EQ(v.Modelo()->rowCount(), 0);
    EXPECT_EQ(CajaDe(v, 1)->currentText(), QString());
    EXPECT_EQ(
        filtro->text(),
        QStringLiteral("Filtro: DESCRIPCION comienza con \"Ven\" y DESCRIPCION comienza con \"zzz\". Nueva Busqueda lo quita."));
    EXPECT_EQ(aviso(), QStringLiteral("Ninguna fila de la base de datos cumple el filtro."));
    Teclea(QStringLiteral("x"));
    Pulsa(Qt::Key_Backspace);
    EXPECT_EQ(aviso(), QStringLiteral("Ninguna fila de la base de datos cumple el filtro.")) << "typing does not hide it";

    Clic(BotonDe(v, "CmdNueva"));
    EXPECT_EQ(v.Modelo()->rowCount(), 10);
    EXPECT_FALSE(filtro->isVisible());
    EXPECT_TRUE(aviso().isEmpty());
}

TEST_F(RecorridoLista, KeysThatMoveKeepARowChosenForEnter)
{
    const struct {
        const char* nombre;
        Qt::Key tecla;
        Qt::KeyboardModifiers mod;
    } teclas[] = {
        {"Ctrl+End", Qt::Key_End, Qt::ControlModifier},
        {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier},
        {"End", Qt::Key_End, Qt::NoModifier},
        {"Home", Qt::Key_Home, Qt::NoModifier},
        {"Ctrl+Down", Qt::Key_Down, Qt::ControlModifier},
        {"Ctrl+Up", Qt::Key_Up, Qt::ControlModifier},
        {"Down", Qt::Key_Down, Qt::NoModifier},
        {"PageUp", Qt::Key_PageUp, Qt::NoModifier},
        {"Ctrl+PageDown", Qt::Key_PageDown, Qt::ControlModifier},
        {"Ctrl+Space", Qt::Key_Space, Qt::ControlModifier},
    };
    // One row left by F5.
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    Tab();
    Teclea(QStringLiteral("Ventas"));
    Pulsa(Qt::Key_F5);
    ASSERT_EQ(v.Modelo()->rowCount(), 1);
    Pulsa(Qt::Key_Down);
    ASSERT_EQ(Foco(), ListaDe(v));
    for (const auto& t : teclas) {
        Pulsa(t.tecla, t.mod);
        EXPECT_EQ(seleccionado(), QStringLiteral("9")) << t.nombre;
    }
    Pulsa(Qt::Key_Return);
    EXPECT_FALSE(v.isVisible());
    EXPECT_EQ(v.ValorDevuelto, QStringLiteral("9"));

    // Many rows: Ctrl+End twice stays on the last one; after a text that
    // matches nothing, an arrow that cannot move still chooses its row.
    Lib_FrmCons3& m = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    Pulsa(Qt::Key_Down);
    ASSERT_EQ(Foco(), ListaDe(m));
    Pulsa(Qt::Key_End, Qt::ControlModifier);
    Pulsa(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(seleccionado(), QStringLiteral("10"));
    Teclea(QStringLiteral("zz"));
    ASSERT_EQ(m.FilaSeleccionada(), -1);
    Pulsa(Qt::Key_Down);
    EXPECT_EQ(seleccionado(), QStringLiteral("10"));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(m.ValorDevuelto, QStringLiteral("10"));
}

// The chart's lookup shows its one-character check digit; its box has room
// for what is typed, whatever width the file saved.
TEST_F(RecorridoLista, EverySearchBoxShowsAFewCharacters)
{
    escribeVrl({MascaraConsulta::Registro{
        {}, QStringLiteral("MA_CUENTAS"), QStringLiteral("Codigo|DESCRIPCION|CodigoOpcional|DV"), {}}});
    PreparaConsultas();
    for (const bool guardado : {false, true}) {
        SCOPED_TRACE(guardado ? "widths saved by an older window" : "widths from the fields");
        if (guardado) {
            QFile f(dir.filePath(QStringLiteral("CONSULTASLEN.VRL")));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("\"MA_CUENTAS\",\"2000|5000|2000|225|\"\r\n");
        }
        QList<int> anchos;
        int letras = 0;
        guion.op.alModal = [&](QObject* o) {
            auto* d = qobject_cast<Lib_FrmCons3*>(o);
            if (!d) return 0;
            d->GrabarCfg = false;
            EXPECT_TRUE(Muestra(*d));
            for (int i = 0; i < 3; ++i) Tab();
            EXPECT_EQ(Foco(), CajaDe(*d, 3));
            Teclea(QStringLiteral("1"));
            for (QComboBox* c : CajasDe(*d)) anchos << c->lineEdit()->width();
            letras = CajaDe(*d, 3)->fontMetrics().horizontalAdvance(QStringLiteral("000"));
            Pulsa(Qt::Key_Escape);
            return d->result();
        };
        Def_QConsulta::ConsultaClave(QStringLiteral("MA_CUENTAS"));
        ASSERT_EQ(anchos.size(), 4);
        for (int i = 0; i < anchos.size(); ++i) EXPECT_GE(anchos[i], letras) << "box " << i;
    }
}
