#include "fixture.h"

#include "controles.h"
#include "lookup/cabecera_busqueda.h"
#include "lookup/sentencias.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

class Ventana : public ConsultasDemo {
protected:
    /// The list window on `sql`, shown, with its model under watch.
    Lib_FrmCons3& abre(const QString& sql, std::function<void(Lib_FrmCons3&)> prepara = {})
    {
        tester.reset();
        w = std::make_unique<Lib_FrmCons3>();
        w->GrabarCfg = false;
        w->sql = sql;
        w->OrdenarPorLwv = !sql.contains(QStringLiteral("ORDER BY"), Qt::CaseInsensitive);
        if (prepara) prepara(*w);
        tester = std::make_unique<QAbstractItemModelTester>(w->Modelo(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        muestra(*w);
        return *w;
    }
    QString texto(int fila, int columna) const { return w->Modelo()->Texto(fila, columna); }
    void clicEnTitulo(int columna)
    {
        CabeceraBusqueda* h = CabeceraDe(*w);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(columna) + 4, h->AltoTitulos() / 2));
    }
    void TearDown() override
    {
        tester.reset();
        w.reset();
        ConsultasDemo::TearDown();
    }
    std::unique_ptr<Lib_FrmCons3> w;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(Ventana, TypingSearchesTheBoxColumnFromTheListToo)
{
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT Codigo, DESCRIPCION FROM MA_CUENTAS ORDER BY Codigo"));
    ASSERT_EQ(CajasDe(v).size(), 2);
    CajaDe(v, 1)->setFocus();
    QTest::keyClicks(CajaDe(v, 1), QStringLiteral("caja en"));
    const int fila = v.FilaSeleccionada();
    ASSERT_GE(fila, 0);
    EXPECT_TRUE(texto(fila, 1).startsWith(QStringLiteral("CAJA EN"), Qt::CaseInsensitive)) << texto(fila, 1).toStdString();
    for (int i = 0; i < fila; ++i) EXPECT_FALSE(texto(i, 1).startsWith(QStringLiteral("caja en"), Qt::CaseInsensitive)) << i;
    EXPECT_EQ(CajaDe(v, 1)->palette().color(QPalette::Base), QColor(0, 255, 255));
    EXPECT_EQ(CajaDe(v, 0)->palette().color(QPalette::Base), QColor(Qt::white));

    QTest::keyClicks(CajaDe(v, 1), QStringLiteral("zzz"));
    EXPECT_EQ(v.FilaSeleccionada(), -1) << "no match leaves no row for Enter to take";

    // Letters typed on the list go to the last search box, which takes the focus.
    CajaDe(v, 1)->setEditText(QString());
    ListaDe(v)->setFocus();
    QTest::keyClicks(ListaDe(v), QStringLiteral("fon"));
    EXPECT_EQ(CajaDe(v, 1)->currentText(), QStringLiteral("fon"));
    EXPECT_TRUE(CajaDe(v, 1)->hasFocus());
    EXPECT_TRUE(texto(v.FilaSeleccionada(), 1).startsWith(QStringLiteral("FONDOS")));
    QTest::keyClick(ListaDe(v), Qt::Key_Backspace);
    EXPECT_EQ(CajaDe(v, 1)->currentText(), QStringLiteral("fo"));

    // Down in a box hands the key to the list.
    const int antes = v.FilaSeleccionada();
    QTest::keyClick(CajaDe(v, 1), Qt::Key_Down);
    EXPECT_TRUE(ListaDe(v)->hasFocus());
    EXPECT_EQ(v.FilaSeleccionada(), antes + 1);
}

TEST_F(Ventana, HeaderClicksSortWithOneSharedOrder)
{
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES"));
    EXPECT_EQ(texto(0, 0), QStringLiteral("1")) << "a statement without ORDER BY is sorted by the list";
    EXPECT_EQ(texto(1, 0), QStringLiteral("2")) << "padded codes by value";
    EXPECT_EQ(texto(9, 0), QStringLiteral("10"));
    v.SeleccionaFila(v.Busqueda(QStringLiteral("Ventas"), 1) - 1);

    clicEnTitulo(1);
    EXPECT_EQ(texto(0, 1), QStringLiteral("Ventas")) << "the first click sorts descending";
    EXPECT_EQ(texto(9, 1), QStringLiteral("Caja y Bancos"));
    EXPECT_EQ(texto(v.FilaSeleccionada(), 1), QStringLiteral("Ventas")) << "the selection stays on its row";
    clicEnTitulo(0);
    EXPECT_EQ(v.Orden(), Qt::AscendingOrder) << "the order is one setting: another column flips it";
    EXPECT_EQ(texto(0, 0), QStringLiteral("1"));
    clicEnTitulo(0);
    EXPECT_EQ(texto(0, 0), QStringLiteral("10"));

    Lib_FrmCons3& o = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY DESCRIPCION DESC"));
    EXPECT_EQ(texto(0, 1), QStringLiteral("Ventas")) << "the statement's own order is kept";
    EXPECT_FALSE(CabeceraDe(o)->isSortIndicatorShown());
}

TEST_F(Ventana, AcceptReturnsTheRowAndCancelNothing)
{
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT DESCRIPCION, CODIGO FROM TA_TITCOPIADORES"), [](Lib_FrmCons3& f) {
        f.CampoDevuelto = QStringLiteral("codigo");
        f.CmpsDevueltos = std::make_shared<QStringList>(QStringList{QStringLiteral("DESCRIPCION")});
    });
    QTest::keyClicks(CajaDe(v, 0), QStringLiteral("gas"));
    QTest::keyClick(CajaDe(v, 0), Qt::Key_Return);
    EXPECT_EQ(v.result(), QDialog::Accepted);
    EXPECT_FALSE(v.isVisible());
    EXPECT_EQ(v.ValorDevuelto, QStringLiteral("  10"));
    EXPECT_EQ(*v.Valores, QStringList{QStringLiteral("Gastos Generales")});

    Lib_FrmCons3& c = abre(QStringLiteral("SELECT DESCRIPCION, CODIGO FROM TA_TITCOPIADORES"),
                           [](Lib_FrmCons3& f) { f.CmpsDevueltos = NuevaColeccion(); });
    QTest::keyClick(ListaDe(c), Qt::Key_Escape);
    EXPECT_EQ(c.result(), QDialog::Rejected);
    EXPECT_EQ(c.ValorDevuelto, QString());
    EXPECT_FALSE(c.Valores);
    EXPECT_FALSE(c.CmpsDevueltos);
}

TEST_F(Ventana, CheckBoxModeTicksDefaultsSpaceAndMarcar)
{
    Lib_FrmCons3& v =
        abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"), [](Lib_FrmCons3& f) {
            f.CheckBoxes = true;
            f.CampoDevuelto = QStringLiteral("CODIGO");
            f.ValoresDefault = QStringLiteral("3,5");
        });
    auto marcadas = [&] {
        QStringList m;
        for (int i = 0; i < v.Modelo()->rowCount(); ++i)
            if (v.Modelo()->Marcada(i)) m.append(texto(i, 0));
        return m;
    };
    EXPECT_EQ(marcadas(), (QStringList{QStringLiteral("3"), QStringLiteral("5")}));
    EXPECT_EQ(v.Modelo()->data(v.Modelo()->index(2, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
    v.SeleccionaFila(2);
    QTest::keyClick(ListaDe(v), Qt::Key_Space);
    v.SeleccionaFila(0);
    QTest::keyClick(ListaDe(v), Qt::Key_Space);
    EXPECT_EQ(marcadas(), (QStringList{QStringLiteral("1"), QStringLiteral("5")}));
    EXPECT_TRUE(CajaDe(v, 0)->currentText().isEmpty()) << "Space ticks; it is not typed";
    QTest::mouseClick(BotonDe(v, "CmdTodos"), Qt::LeftButton);
    EXPECT_EQ(marcadas().size(), 8);
    QTest::mouseClick(BotonDe(v, "CmdTodos"), Qt::LeftButton);
    QTest::mouseClick(BotonDe(v, "CmdAceptar"), Qt::LeftButton);
    EXPECT_EQ(*v.Valores, (QStringList{QStringLiteral("1"), QStringLiteral("5")}));

    // Letter codes are named in whatever case the caller kept them.
    Lib_FrmCons3& c = abre(QStringLiteral("SELECT Codigo, Descripcion FROM VT_TA_CPTE ORDER BY Codigo"), [](Lib_FrmCons3& f) {
        f.CheckBoxes = true;
        f.CampoDevuelto = QStringLiteral("Codigo");
        f.ValoresDefault = QStringLiteral("fc,Nd");
    });
    QStringList letras;
    for (int i = 0; i < c.Modelo()->rowCount(); ++i)
        if (c.Modelo()->Marcada(i)) letras.append(c.Modelo()->data(c.Modelo()->index(i, 0)).toString().trimmed());
    EXPECT_EQ(letras, (QStringList{QStringLiteral("FC"), QStringLiteral("ND")}));
}

TEST_F(Ventana, ServerSideSearchNarrowsTheStatement)
{
    EXPECT_EQ(Sentencias::SentenciaFiltrada(QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T ORDER BY CODIGO "),
                                            QStringLiteral("DESCRIPCION"), QStringLiteral("ca fe"), true),
              QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T  where DESCRIPCION like '%ca%fe%' ORDER BY CODIGO "));
    EXPECT_EQ(Sentencias::SentenciaFiltrada(QStringLiteral("SELECT A, COUNT(*) FROM T WHERE B=1 GROUP BY A ORDER BY A "),
                                            QStringLiteral("A"), QStringLiteral("x*y"), false),
              QStringLiteral("SELECT A, COUNT(*) FROM T WHERE B=1  and A like 'x%y%' GROUP BY A ORDER BY A "));
    EXPECT_EQ(Sentencias::SentenciaFiltrada(QStringLiteral("select IDARTICULO from v_ma_articulos "),
                                            QStringLiteral("IDARTICULO"), QStringLiteral("10"), false),
              QStringLiteral("select IDARTICULO from v_ma_articulos  where v_ma_articulos.IDARTICULO like '10%' "));

    ejecuta(QStringLiteral("CREATE TABLE T (CODIGO varchar(4) COLLATE CI, DESCRIPCION varchar(40) COLLATE CI)"));
    ejecuta(QStringLiteral("INSERT INTO T VALUES ('1','Café con leche'),('2','Cafetera'),('3','O''Higgins'),('4','Ocampo')"));
    const QString base = QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T ORDER BY CODIGO");
    Lib_FrmCons3& v = abre(base, [](Lib_FrmCons3& f) { f.CfgUsaConsultaLIKE = true; });
    QTest::keyClicks(CajaDe(v, 1), QStringLiteral("caf le"));
    QTest::keyClick(CajaDe(v, 1), Qt::Key_F5);
    EXPECT_EQ(v.SentenciaActual().trimmed(),
              QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T  where DESCRIPCION like '%caf%le%' ORDER BY CODIGO"));
    EXPECT_EQ(v.Modelo()->rowCount(), 1);
    EXPECT_TRUE(CajaDe(v, 1)->currentText().isEmpty());

    // A typed apostrophe is searched for, not taken as the end of the text.
    QTest::keyClicks(CajaDe(v, 1), QStringLiteral("o'h"));
    QTest::keyClick(CajaDe(v, 1), Qt::Key_F5);
    EXPECT_TRUE(v.SentenciaActual().contains(QStringLiteral(" and DESCRIPCION like '%o''h%' ")))
        << v.SentenciaActual().toStdString();
    EXPECT_EQ(v.Modelo()->rowCount(), 0);

    QTest::mouseClick(BotonDe(v, "CmdNueva"), Qt::LeftButton);
    EXPECT_EQ(v.SentenciaActual().trimmed(), base);
    EXPECT_EQ(v.Modelo()->rowCount(), 4);
    EXPECT_TRUE(CajaDe(v, 0)->hasFocus());

    Lib_FrmCons3& p = abre(base);
    QTest::keyClicks(CajaDe(p, 1), QStringLiteral("O'H*s"));
    QTest::keyClick(CajaDe(p, 1), Qt::Key_F5);
    EXPECT_TRUE(p.SentenciaActual().contains(QStringLiteral(" where DESCRIPCION like 'O''H%s%' ORDER BY")))
        << p.SentenciaActual().toStdString();
    ASSERT_EQ(p.Modelo()->rowCount(), 1);
    EXPECT_EQ(texto(0, 1), QStringLiteral("O'Higgins"));
    EXPECT_TRUE(guion.op.preguntas.empty()) << guion.op.mensajes().join(u'|').toStdString();
}

TEST_F(Ventana, F12ReportsTheArticleAsOutOfStock)
{
    ejecuta(QStringLiteral("INSERT INTO VT_MA_ARTICULOS (IDARTICULO, DESCRIPCION) VALUES ('X1', 'Yerba ''La Tranquera''')"));
    Lib_FrmCons3& v =
        abre(QStringLiteral("SELECT IdArticulo, Descripcion FROM VT_MA_ARTICULOS WHERE IDARTICULO IN ('X1','10101001')"));
    v.SeleccionaFila(v.Busqueda(QStringLiteral("X1"), 0) - 1);
    guion.op.respuestas = {rt::vbNo, rt::vbYes};
    QTest::keyClick(CajaDe(v, 0), Qt::Key_F12);
    QTest::keyClick(ListaDe(v), Qt::Key_F12);
    ASSERT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_EQ(guion.op.preguntas[1].texto,
              QStringLiteral("Desea informar el articulo X1 Yerba 'La Tranquera'\ncomo un faltante de stock?"));
    EXPECT_EQ(guion.op.preguntas[1].titulo, QStringLiteral("Atención!"));

    adodb::Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT IdArticulo, Descripcion, Usuario FROM V_MV_FALTANTES"), rs);
    ASSERT_EQ(rs.RecordCount(), 1) << "No adds nothing, Yes adds one";
    EXPECT_EQ(rs[QStringLiteral("IdArticulo")].toString(), QString(23, u' ') + QStringLiteral("X1"));
    EXPECT_EQ(rs[QStringLiteral("Descripcion")].toString(), QStringLiteral("Yerba 'La Tranquera'"));
    EXPECT_EQ(rs[QStringLiteral("Usuario")].toString(), QStringLiteral("ADMIN"));

    Lib_FrmCons3& o = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES"));
    QTest::keyClick(ListaDe(o), Qt::Key_F12);
    EXPECT_EQ(guion.op.preguntas.size(), 2u) << "only article lookups report";
}

TEST_F(Ventana, QuantityKeysWriteTheQuantityAndTick)
{
    Lib_FrmCons3& v =
        abre(QStringLiteral("SELECT IDARTICULO, DESCRIPCION, 0 AS [**Cantidad**] FROM VT_MA_ARTICULOS ORDER BY IDARTICULO"),
             [](Lib_FrmCons3& f) {
                 f.UsaCantidades = true;
                 f.CheckBoxes = true;
                 f.CampoDevuelto = QStringLiteral("IDARTICULO");
             });
    ListaDe(v)->setFocus();
    v.SeleccionaFila(0);
    QTest::keyClick(ListaDe(v), Qt::Key_Insert);
    QTest::keyClick(ListaDe(v), Qt::Key_Insert);
    EXPECT_EQ(texto(0, 2), QStringLiteral("2.0"));
    EXPECT_TRUE(v.Modelo()->Marcada(0));
    QTest::keyClick(ListaDe(v), Qt::Key_Delete);
    EXPECT_EQ(texto(0, 2), QStringLiteral("1.0"));
    QTest::keyClick(ListaDe(v), Qt::Key_Delete);
    EXPECT_EQ(texto(0, 2), QStringLiteral("0.00"));
    EXPECT_FALSE(v.Modelo()->Marcada(0));

    v.SeleccionaFila(1);
    guion.op.textos = {QStringLiteral("2,5"), QStringLiteral("abc"), QStringLiteral("\x1b")};
    for (int i = 0; i < 3; ++i) QTest::keyClick(ListaDe(v), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(texto(1, 2), QStringLiteral("2.50")) << "a text that is not a number, or Cancel, leaves the quantity";
    EXPECT_TRUE(v.Modelo()->Marcada(1));
    ASSERT_EQ(guion.op.preguntas.size(), 4u);
    EXPECT_EQ(guion.op.preguntas[0].texto, QStringLiteral("Ingrese la Cantidad del Articulo..."));
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral("Carga de Datos"));
    EXPECT_EQ(guion.op.preguntas[2].tipo, QStringLiteral("MsgBox"));

    QTest::mouseClick(BotonDe(v, "CmdAceptar"), Qt::LeftButton);
    EXPECT_EQ(*v.Valores, QStringList{QStringLiteral("10101002")});
    EXPECT_EQ(*v.Cantidades, QStringList{QStringLiteral("2.50")});
}

TEST_F(Ventana, ArticleRowsTakeTheirStockLevelColour)
{
    auto niveles = [](Lib_FrmCons3& f) {
        f.MuestraStock = QStringLiteral("si");
        f.StkNivel1 = adodb::Variant(QStringLiteral("32768"));
        f.StkNivel2 = adodb::Variant(QStringLiteral("16711680"));
        f.StkNivel3 = adodb::Variant(QStringLiteral("255"));
        f.StkNivel4 = adodb::Variant(QStringLiteral(" "));
    };
    const QString sql = QStringLiteral("SELECT IDARTICULO, DESCRIPCION, STOCK, PUNTOPEDIDO FROM VT_MA_ARTICULOS "
                                       "WHERE IDARTICULO IN ('10101001','10101002','10101005','20101004') ORDER BY IDARTICULO");
    Lib_FrmCons3& v = abre(sql, niveles);
    const QColor azul(0, 0, 255), rojo(255, 0, 0), verde(0, 128, 0);
    EXPECT_EQ(v.Modelo()->Color(0), azul) << "stock above the reorder point";
    EXPECT_EQ(v.Modelo()->Color(1), rojo) << "stock below it";
    EXPECT_EQ(v.Modelo()->Color(2), verde) << "no reorder point, stock left";
    EXPECT_FALSE(v.Modelo()->Color(3).isValid()) << "a blank level colour leaves the row alone";
    EXPECT_TRUE(v.Modelo()->data(v.Modelo()->index(0, 1), Qt::FontRole).value<QFont>().bold());

    Lib_FrmCons3& n = abre(sql, [&](Lib_FrmCons3& f) {
        niveles(f);
        f.MuestraStock = QStringLiteral("NO");
    });
    EXPECT_FALSE(n.Modelo()->Color(0).isValid());
}

TEST_F(Ventana, SearchBoxesStandUnderTheirColumns)
{
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT IDARTICULO, PRECIO1, PRECIO2, DESCRIPCION FROM V_MA_ARTICULOS"));
    const QStringList titulos = v.Modelo()->Encabezados();
    EXPECT_EQ(titulos, (QStringList{QStringLiteral("IDARTICULO"), QStringLiteral("Precio Mayorista"),
                                    QStringLiteral("Precio Minorista"), QStringLiteral("DESCRIPCION")}));
    EXPECT_EQ(v.IndiceColumna(QStringLiteral(" precio mayorista ")), 2);
    const QFontMetrics fm(v.Modelo()->Fuente());
    EXPECT_EQ(CabeceraDe(v)->sectionSize(0), fm.horizontalAdvance(QString(25, u'X')));
    EXPECT_GE(CabeceraDe(v)->sectionSize(1), fm.horizontalAdvance(QString(12, u'X'))) << "money columns are twelve wide";
    EXPECT_GT(CabeceraDe(v)->sectionSize(1), CabeceraDe(v)->fontMetrics().horizontalAdvance(titulos[1]))
        << "and a wider title shows whole";
    EXPECT_EQ(CabeceraDe(v)->sectionSize(3), fm.horizontalAdvance(QString(60, u'X')));

    auto alineadas = [&] {
        for (int i = 0; i < CajasDe(v).size(); ++i) {
            const QRect r = CajaDe(v, i)->geometry();
            EXPECT_EQ(r.x(), CabeceraDe(v)->sectionViewportPosition(i)) << i;
            EXPECT_EQ(r.width(), CabeceraDe(v)->sectionSize(i) - v.Pixeles(50)) << i;
            EXPECT_GE(r.y(), CabeceraDe(v)->AltoTitulos()) << "under the titles";
        }
    };
    alineadas();
    v.resize(400, 300);
    QCoreApplication::processEvents();
    ListaDe(v)->horizontalScrollBar()->setValue(120);
    alineadas();
    EXPECT_LT(CajaDe(v, 0)->x(), 0) << "the boxes scroll with the header";
    CabeceraDe(v)->resizeSection(1, 200);
    alineadas();

    Lib_FrmCons3& a = abre(QStringLiteral("SELECT IDARTICULO FROM VT_MA_ARTICULOS"),
                           [](Lib_FrmCons3& f) { f.ValoresDefault = QStringLiteral("@10"); });
    EXPECT_EQ(CabeceraDe(a)->sectionSize(0), fm.horizontalAdvance(QString(35, u'X')));
}

TEST_F(Ventana, ABadStatementLeavesAnEmptyListAndTheWindowUsable)
{
    Lib_FrmCons3& v = abre(QStringLiteral("SELECT * FROM NO_EXISTE"));
    EXPECT_EQ(v.Modelo()->rowCount(), 0);
    EXPECT_FALSE(guion.op.mensajes().isEmpty()) << "the failure is shown";
    QTest::keyClick(ListaDe(v), Qt::Key_Return);
    EXPECT_EQ(v.ValorDevuelto, QString());

    Lib_FrmCons3& b = abre(QStringLiteral("   "));
    EXPECT_EQ(b.Modelo()->columnCount(), 0);
    EXPECT_TRUE(CajasDe(b).isEmpty());
}

TEST_F(Ventana, NuevoStartsTheMaintenanceProgramOfTheTable)
{
    guion.op.pidEjecuta = 4321;
    Lib_FrmCons3& p = abre(QStringLiteral("SELECT CODIGO, RAZON_SOCIAL FROM VT_PROVEEDORES with(nolock) WHERE Dada_De_Baja = 0"));
    EXPECT_EQ(p.Tabla(), QStringLiteral("VT_PROVEEDORES"));
    QTest::mouseClick(BotonDe(p, "CmdNuevo"), Qt::LeftButton);
    Lib_FrmCons3& t = abre(QStringLiteral("select Descripcion,Codigo from TA_CPTE "));
    QTest::mouseClick(BotonDe(t, "CmdNuevo"), Qt::LeftButton);
    ASSERT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_EQ(guion.op.preguntas[0].texto, dir.path() + QStringLiteral("/V_MA_CLIENTES"));
    EXPECT_TRUE(guion.op.preguntas[0].titulo.contains(QStringLiteral("@ParametroAdicional=0;")))
        << guion.op.preguntas[0].titulo.toStdString();
    EXPECT_EQ(guion.op.preguntas[1].texto, dir.path() + QStringLiteral("/V_TA_TABLAS"));
    EXPECT_TRUE(guion.op.preguntas[1].titulo.contains(QStringLiteral("@ParametroAdicional=TA_CPTE;")));
}
