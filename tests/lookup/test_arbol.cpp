#include "fixture.h"

#include "controles.h"
#include "lookup/lib_frmcons3tree.h"
#include "lookup/modelo_arbol.h"

#include <QAbstractItemModelTester>
#include <QTreeView>

class Arbol : public ConsultasDemo {
protected:
    /// The tree as text: each node's code, its children in brackets.
    static QString forma(const ModeloArbol& m, int nodo = 0)
    {
        const ModeloArbol::Nodo& n = m.NodoN(nodo);
        QString t = nodo == 0 ? QStringLiteral("A") : n.codigo;
        if (n.hijos.empty()) return t;
        QStringList hijos;
        for (int h : n.hijos) hijos.append(forma(m, h));
        return t + u'(' + hijos.join(u',') + u')';
    }
    void codigos(const QString& tabla, const QStringList& lista)
    {
        const bool familias = tabla == QLatin1String("TA_FAMILIAS");
        ejecuta(QStringLiteral("DELETE FROM ") + tabla);
        for (const QString& c : lista)
            ejecuta(QStringLiteral("INSERT INTO %1 %2 VALUES ('%3', 'Nodo %4')")
                        .arg(tabla, familias ? QStringLiteral("(IdFamilia, Descripcion)") : QString(), c, c.trimmed()));
    }
    Lib_FrmCons3Tree& abre(const QString& sql, std::function<void(Lib_FrmCons3Tree&)> prepara = {})
    {
        tester.reset();
        w = std::make_unique<Lib_FrmCons3Tree>();
        w->sql = sql;
        if (prepara) prepara(*w);
        tester = std::make_unique<QAbstractItemModelTester>(w->Modelo(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return *w;
    }
    void TearDown() override
    {
        tester.reset();
        w.reset();
        ConsultasDemo::TearDown();
    }
    const QString ccosto = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO");
    std::unique_ptr<Lib_FrmCons3Tree> w;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(Arbol, BothBuildersGiveTheShapeOfTheCodes)
{
    codigos(QStringLiteral("TA_FAMILIAS"), {"1", "101", "10101", "102", "2", "201"});
    codigos(QStringLiteral("TA_CCOSTO"), {"1", "101", "10101", "102", "2", "201"});
    Lib_FrmCons3Tree& f = abre(QStringLiteral("select * from V_TA_FAMILIAS"));
    EXPECT_EQ(forma(*f.Modelo()), QStringLiteral("A(1(101(10101),102),2(201))"));
    EXPECT_EQ(f.sql, Lib_FrmCons3Tree::SentenciaFamilias()) << "the family statement replaces the request's";
    EXPECT_EQ(f.Modelo()->NodoN(f.Modelo()->Busca(QStringLiteral("10101"))).texto, QStringLiteral("10101 - Nodo 10101"));
    EXPECT_EQ(f.Modelo()->NodoN(0).texto, QStringLiteral("Consulta..."));
    EXPECT_TRUE(ArbolDe(f)->isExpanded(f.Modelo()->Indice(0)));
    EXPECT_FALSE(ArbolDe(f)->isExpanded(f.Modelo()->Indice(1))) << "only the root is open";
    Lib_FrmCons3Tree& g = abre(ccosto);
    EXPECT_EQ(forma(*g.Modelo()), QStringLiteral("A(1(101(10101),102),2(201))"));

    // Without 2: the family tree hangs 201 under its nearest preceding shorter code, the generic one under the root.
    codigos(QStringLiteral("TA_FAMILIAS"), {"1", "101", "10101", "102", "201"});
    codigos(QStringLiteral("TA_CCOSTO"), {"1", "101", "10101", "102", "201"});
    EXPECT_EQ(forma(*abre(QStringLiteral("V_TA_FAMILIAS")).Modelo()), QStringLiteral("A(1(101(10101),102,201))"));
    EXPECT_EQ(forma(*abre(ccosto).Modelo()), QStringLiteral("A(1(101(10101),102),201)"));

    // Codes written by other programs: padded with blanks, in another case, a parent coming after its child.
    ejecuta(QStringLiteral("CREATE TABLE CODIGOS (Codigo char(8) COLLATE CI, Descripcion varchar(20))"));
    codigos(QStringLiteral("CODIGOS"), {"A1      ", "a101    ", "B20101", "B2", "b201   "});
    EXPECT_EQ(forma(*abre(QStringLiteral("SELECT Codigo, Descripcion FROM CODIGOS")).Modelo()),
              QStringLiteral("A(A1(a101),B20101,B2(b201))"));

    // No rows: the root alone.
    ejecuta(QStringLiteral("DELETE FROM TA_CCOSTO"));
    EXPECT_EQ(forma(*abre(ccosto).Modelo()), QStringLiteral("A"));
}

TEST_F(Arbol, TicksReachSixLevelsDown)
{
    codigos(QStringLiteral("TA_CCOSTO"), {"1", "12", "123", "1234", "12345", "123456", "1234567", "12345678", "2"});
    Lib_FrmCons3Tree& a = abre(ccosto, [](Lib_FrmCons3Tree& t) { t.CheckBoxes = true; });
    ModeloArbol& m = *a.Modelo();
    auto marcados = [&] {
        QStringList l;
        for (int n = 1; n < m.Nodos(); ++n)
            if (m.NodoN(n).marcado) l.append(m.NodoN(n).codigo);
        return l;
    };
    ASSERT_TRUE(m.setData(m.Indice(m.Busca(QStringLiteral("1"))), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(marcados(), (QStringList{"1", "12", "123", "1234", "12345", "123456", "1234567"}));
    m.Marca(m.Busca(QStringLiteral("12345678")), true);
    m.setData(m.Indice(m.Busca(QStringLiteral("1"))), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(marcados(), QStringList{"12345678"}) << "deeper nodes keep their state";

    m.Marca(m.Busca(QStringLiteral("123")), true);
    a.CampoDevuelto = QStringLiteral("codigo");
    BotonDe(a, "CmdAceptar")->click();
    ASSERT_TRUE(a.Valores);
    EXPECT_EQ(*a.Valores, (QStringList{"123", "1234", "12345", "123456", "1234567", "12345678"}));

    // Cancel after ticking returns nothing at all.
    Lib_FrmCons3Tree& c = abre(ccosto, [](Lib_FrmCons3Tree& t) { t.CheckBoxes = true; });
    c.Modelo()->Marca(1, true);
    QTest::keyClick(ArbolDe(c), Qt::Key_Escape);
    EXPECT_EQ(c.result(), QDialog::Rejected);
    EXPECT_FALSE(c.Valores);
    EXPECT_EQ(c.ValorDevuelto, QString());
}

TEST_F(Arbol, AcceptLooksTheCodeUpByTheReturnedColumn)
{
    Lib_FrmCons3Tree& a = abre(ccosto, [](Lib_FrmCons3Tree& t) { t.CampoDevuelto = QStringLiteral("Codigo"); });
    QTest::keyClicks(CajaDe(a, 0), QStringLiteral("zona"));
    EXPECT_EQ(a.Modelo()->NodoN(a.NodoSeleccionado()).codigo, QStringLiteral("20201")) << "typing finds a description";
    CajaDe(a, 0)->setEditText(QString());
    EXPECT_EQ(a.NodoSeleccionado(), 0) << "an empty text selects the root";
    QTest::keyClicks(CajaDe(a, 0), QStringLiteral("10"));
    EXPECT_EQ(a.Modelo()->NodoN(a.NodoSeleccionado()).codigo, QStringLiteral("101"));
    QTest::keyClicks(CajaDe(a, 0), QStringLiteral("zz"));
    EXPECT_EQ(a.NodoSeleccionado(), -1) << "no match leaves no node for Enter to take";
    QTest::keyClick(CajaDe(a, 0), Qt::Key_Return);
    EXPECT_TRUE(a.isVisible());
    QTest::keyClick(CajaDe(a, 0), Qt::Key_Backspace);
    QTest::keyClick(CajaDe(a, 0), Qt::Key_Backspace);
    QTest::keyClick(CajaDe(a, 0), Qt::Key_Return);
    EXPECT_EQ(a.result(), QDialog::Accepted);
    EXPECT_EQ(a.ValorDevuelto, QStringLiteral("101"));

    // The root has the empty code, which no cost centre or account has.
    Lib_FrmCons3Tree& r = abre(ccosto, [](Lib_FrmCons3Tree& t) { t.CampoDevuelto = QStringLiteral("CODIGO"); });
    r.SeleccionaNodo(0);
    BotonDe(r, "CmdAceptar")->click();
    EXPECT_EQ(r.ValorDevuelto, QString());

    // Families and positions, single and ticked; an unknown column leaves the result alone.
    Lib_FrmCons3Tree& f =
        abre(QStringLiteral("V_TA_FAMILIAS"), [](Lib_FrmCons3Tree& t) { t.CampoDevuelto = QStringLiteral("IdFamilia"); });
    f.SeleccionaNodo(f.Modelo()->Busca(QStringLiteral("10102")));
    BotonDe(f, "CmdAceptar")->click();
    EXPECT_EQ(f.ValorDevuelto, QStringLiteral("10102"));
    Lib_FrmCons3Tree& p =
        abre(QStringLiteral("SELECT IDPOSICION, DESCRIPCION FROM MA_POSICIONES ORDER BY IDPOSICION"), [](Lib_FrmCons3Tree& t) {
            t.CampoDevuelto = QStringLiteral("IDPOSICION");
            t.CheckBoxes = true;
        });
    p.Modelo()->Marca(p.Modelo()->Busca(QStringLiteral("201")), true);
    BotonDe(p, "CmdAceptar")->click();
    EXPECT_EQ(*p.Valores, (QStringList{"201", "20101", "20102"}));
    Lib_FrmCons3Tree& o = abre(ccosto, [](Lib_FrmCons3Tree& t) {
        t.CampoDevuelto = QStringLiteral("OTRA");
        t.ValorDevuelto = QStringLiteral("antes");
    });
    o.SeleccionaNodo(1);
    BotonDe(o, "CmdAceptar")->click();
    EXPECT_EQ(o.ValorDevuelto, QStringLiteral("antes"));
}

TEST_F(Arbol, F5NarrowsAndNewSearchKeepsTheNarrowing)
{
    Lib_FrmCons3Tree& a = abre(ccosto);
    QTest::keyClicks(CajaDe(a, 0), QStringLiteral("ventas"));
    QTest::keyClick(CajaDe(a, 0), Qt::Key_F5);
    EXPECT_EQ(a.sql,
              QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO  where Descripcion like '%ventas%' ORDER BY CODIGO"));
    EXPECT_EQ(forma(*a.Modelo()), QStringLiteral("A(201,202)"));
    EXPECT_TRUE(CajaDe(a, 0)->currentText().isEmpty());
    QTest::keyClicks(CajaDe(a, 0), QStringLiteral("MAYOR"));
    QTest::keyClick(CajaDe(a, 0), Qt::Key_F5);
    EXPECT_EQ(forma(*a.Modelo()), QStringLiteral("A(202)")) << "filters accumulate";
    BotonDe(a, "CmdNueva")->click();
    EXPECT_EQ(forma(*a.Modelo()), QStringLiteral("A(202)"));
    // Enter while the text matches no node takes nothing, and shows no error box.
    a.CampoDevuelto = QStringLiteral("CODIGO");
    QTest::keyClicks(CajaDe(a, 0), QStringLiteral("zona"));
    QTest::keyClick(CajaDe(a, 0), Qt::Key_Return);
    EXPECT_TRUE(a.isVisible());
    EXPECT_EQ(a.NodoSeleccionado(), -1);
    EXPECT_EQ(a.ValorDevuelto, QString());
    EXPECT_TRUE(guion.op.preguntas.empty());

    // The family tree always comes back whole.
    Lib_FrmCons3Tree& f = abre(QStringLiteral("V_TA_FAMILIAS"));
    const int todos = f.Modelo()->Nodos();
    QTest::keyClicks(CajaDe(f, 0), QStringLiteral("gaseosas"));
    QTest::keyClick(CajaDe(f, 0), Qt::Key_F5);
    EXPECT_EQ(f.Modelo()->Nodos(), todos);
}

TEST_F(Arbol, TheRequestOpensTheTreeWhenAskedFor)
{
    guion.op.alModal = [](QObject* o) {
        auto* t = qobject_cast<Lib_FrmCons3Tree*>(o);
        EXPECT_NE(t, nullptr);
        if (!t) return 0;
        t->SeleccionaNodo(t->Modelo()->Busca(QStringLiteral("202")));
        BotonDe(*t, "CmdAceptar")->click();
        return t->result();
    };
    ClsCons3().CampoDevuelto = QStringLiteral("CODIGO");
    Coleccion devueltos = NuevaColeccion();
    QString clave, campo, where, opcional, defecto;
    bool arbol = true;
    ClsCons3().ConsultaSearch(ccosto, devueltos, clave, campo, where, opcional, arbol, defecto);
    EXPECT_EQ(ClsCons3().ValorDevuelto, QStringLiteral("202"));
    EXPECT_TRUE(ClsCons3().CampoDevuelto.isEmpty());
    EXPECT_FALSE(devueltos);
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_EQ(guion.op.preguntas[0].texto, QStringLiteral("Lib_FrmCons3Tree"));
}

TEST(ModeloArbolGrande, MoreRowsThanASixteenBitCounterAreAllBuilt)
{
    std::vector<ModeloArbol::Fila> filas;
    for (int p = 100; p < 500; ++p) {
        filas.push_back({QString::number(p), {}});
        for (int h = 0; h < 100; ++h) filas.push_back({QString::number(p) + QString::number(h).rightJustified(2, u'0'), {}});
    }
    ModeloArbol m;
    m.CargaPorPrefijo(filas);
    ASSERT_EQ(m.Nodos(), 40401);
    const ModeloArbol::Nodo& ultimo = m.NodoN(m.Nodos() - 1);
    EXPECT_EQ(ultimo.codigo, QStringLiteral("49999"));
    EXPECT_EQ(m.NodoN(ultimo.padre).codigo, QStringLiteral("499"));
    EXPECT_EQ(m.Nivel(m.Nodos() - 1), 2);
    EXPECT_EQ(m.NodoN(0).hijos.size(), 400u);
}
