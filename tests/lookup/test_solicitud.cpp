#include "controles.h"
#include "fixture.h"

class Solicitud : public ConsultasDemo {
protected:
    struct Pedido {
        explicit Pedido(const QString& s) : sql(s) {}
        QString sql;
        Coleccion devueltos;
        QString clave, campo, where, opcional, defecto;
        bool arbol = false;
    };
    void pide(Pedido& p)
    {
        ClsCons3().ConsultaSearch(p.sql, p.devueltos, p.clave, p.campo, p.where, p.opcional, p.arbol, p.defecto);
    }
    /// The window the request shows: records its statement and runs `haz` on it.
    void alAbrir(std::function<void(Lib_FrmCons3&)> haz)
    {
        guion.op.alModal = [this, haz](QObject* o) {
            auto* w = qobject_cast<Lib_FrmCons3*>(o);
            EXPECT_NE(w, nullptr);
            if (!w) return 0;
            ++ventanas;
            sentencia = w->SentenciaActual();
            haz(*w);
            return w->result();
        };
    }
    int ventanas = 0;
    QString sentencia;
};

TEST_F(Solicitud, ConditionsAreBracketedAndArticleViewsReadTheirTable)
{
    alAbrir([](Lib_FrmCons3& w) { BotonDe(w, "CmdAceptar")->click(); });
    Pedido p(QStringLiteral("select IDARTICULO,DESCRIPCION from V_MA_ARTICULOS"));
    p.where = QStringLiteral("stock>0");
    pide(p);
    EXPECT_EQ(p.where, QStringLiteral(" WHERE  (stock>0) "));
    EXPECT_EQ(sentencia, QStringLiteral("select IDARTICULO,DESCRIPCION from VT_MA_ARTICULOS WHERE  (stock>0)  "));

    // Already bracketed, or a single character: left as they are.
    Pedido q(QStringLiteral("select IDCajas,DESCRIPCION from V_TA_CAJAS"));
    q.where = QStringLiteral("(Moneda='ARS')");
    pide(q);
    EXPECT_EQ(q.where, QStringLiteral(" WHERE (Moneda='ARS')"));
    Pedido u(QStringLiteral("select IDCajas,DESCRIPCION from V_TA_CAJAS"));
    u.where = QStringLiteral("1");
    pide(u);
    EXPECT_EQ(sentencia, QStringLiteral("select IDCajas,DESCRIPCION from V_TA_CAJAS WHERE 1 "));
}

TEST_F(Solicitud, ResultsOfAcceptCancelAndTicks)
{
    ClsCons3().CampoDevuelto = QStringLiteral("IDCajas");
    alAbrir([](Lib_FrmCons3& w) {
        w.SeleccionaFila(w.Busqueda(QStringLiteral("Caja Sucursal"), 1) - 1);
        BotonDe(w, "CmdAceptar")->click();
    });
    Pedido p(QStringLiteral("select IDCajas,DESCRIPCION,Cuenta from V_TA_CAJAS order by IDCajas"));
    p.devueltos = std::make_shared<QStringList>(
        QStringList{QStringLiteral("Cuenta"), QStringLiteral("DESCRIPCION"), QStringLiteral("NOHAY")});
    Coleccion mismos = p.devueltos;
    pide(p);
    EXPECT_EQ(ClsCons3().ValorDevuelto, QStringLiteral("2"));
    ASSERT_TRUE(ClsCons3().Valores);
    EXPECT_EQ(*ClsCons3().Valores, (QStringList{QStringLiteral("11010101002"), QStringLiteral("Caja Sucursal Rosario")}));
    EXPECT_FALSE(p.devueltos) << "the caller's collection is released";
    EXPECT_TRUE(mismos->isEmpty()) << "and emptied";
    EXPECT_TRUE(ClsCons3().CampoDevuelto.isEmpty());

    alAbrir([](Lib_FrmCons3& w) { BotonDe(w, "cmdCancelar")->click(); });
    Pedido c(QStringLiteral("select IDCajas,DESCRIPCION from V_TA_CAJAS"));
    ClsCons3().CampoDevuelto = QStringLiteral("IDCajas");
    pide(c);
    EXPECT_EQ(ClsCons3().ValorDevuelto, QString());
    EXPECT_FALSE(ClsCons3().Valores) << "Cancel leaves no collection at all";

    // Check-box mode: the rows ticked in the window, in list order; the mode is spent.
    ClsCons3().Checks = true;
    ClsCons3().CampoDevuelto = QStringLiteral("IDCajas");
    alAbrir([](Lib_FrmCons3& w) {
        EXPECT_TRUE(w.CheckBoxes);
        for (int i = 0; i < w.Modelo()->rowCount(); ++i)
            EXPECT_EQ(w.Modelo()->Marcada(i), w.Modelo()->Texto(i, 0) == QLatin1String("2")) << "only the default starts ticked";
        w.SeleccionaFila(2);
        QTest::keyClick(ListaDe(w), Qt::Key_Space);
        w.SeleccionaFila(0);
        QTest::keyClick(ListaDe(w), Qt::Key_Space);
        QTest::keyClick(ListaDe(w), Qt::Key_Return);
    });
    Pedido m(QStringLiteral("select IDCajas,DESCRIPCION from V_TA_CAJAS order by IDCajas"));
    m.defecto = QStringLiteral("2");
    pide(m);
    ASSERT_TRUE(ClsCons3().Valores);
    EXPECT_EQ(*ClsCons3().Valores, (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_FALSE(ClsCons3().Checks);
    EXPECT_EQ(ventanas, 3);
}

TEST_F(Solicitud, NamesResolveThroughTheDefinitionsOrTheTable)
{
    escribeVrl({MascaraConsulta::Registro{{}, QStringLiteral("V_TA_CAJAS"), QStringLiteral("IDCajas|DESCRIPCION|Moneda"), {}},
                MascaraConsulta::Registro{{}, QStringLiteral("TA_DEPOSITO"), QStringLiteral("IDDEPOSITO"), {}}});
    PreparaConsultas();
    alAbrir([](Lib_FrmCons3& w) { BotonDe(w, "cmdCancelar")->click(); });

    Pedido p(QStringLiteral("V_TA_CAJAS"));
    p.where = QStringLiteral("Moneda = 'USD'");
    pide(p);
    EXPECT_EQ(sentencia, QStringLiteral("SELECT TOP 1000 IDCajas,DESCRIPCION,Moneda FROM V_TA_CAJAS with(nolock)  WHERE  (Moneda "
                                        "= 'USD')  ORDER BY IDCajas "));
    EXPECT_EQ(p.campo, QStringLiteral("IDCajas"));

    // A record that names one column cannot search: the operator is told, no window opens.
    Pedido q(QStringLiteral("ta_deposito"));
    ClsCons3().ValorDevuelto = QStringLiteral("viejo");
    pide(q);
    EXPECT_EQ(ventanas, 1);
    EXPECT_EQ(ClsCons3().ValorDevuelto, QString());
    EXPECT_EQ(guion.op.mensajes(), QStringList{QStringLiteral("Debe configurar la consulta para esta tabla")});

    // Definitions switched off: the table's own columns.
    ClsCons3().gUsarMascarasConsultas = false;
    Pedido d(QStringLiteral("TA_VENDEDORES"));
    pide(d);
    EXPECT_EQ(sentencia,
              QStringLiteral("SELECT TOP 1000 Activo,Zona,Comision,NOMBRE,IDVENDEDOR FROM TA_VENDEDORES  ORDER BY NOMBRE "));
}
