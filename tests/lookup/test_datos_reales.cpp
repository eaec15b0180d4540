// The list lookup on data other programs wrote: accents in any case, values
// that contain each other, definitions written for another chart of accounts.
#include "fixture.h"

#include "controles.h"
#include "lookup/def_qconsulta.h"

class DatosReales : public ConsultasDemo {
protected:
    void SetUp() override
    {
        ConsultasDemo::SetUp();
        ejecuta(QStringLiteral("CREATE TABLE CLIENTES (RAZON varchar(40) COLLATE CI, CODIGO varchar(4) COLLATE CI)"));
        ejecuta(
            QStringLiteral("INSERT INTO CLIENTES VALUES ('Zapatería Pérez','1'),('Ñandú y Cía. SRL','10'),('ángulo recto','2'),"
                           "('Nube SA','3'),('Árbol Verde','20')"));
    }
    std::unique_ptr<Lib_FrmCons3> abre(const QString& sql, bool contiene)
    {
        auto w = std::make_unique<Lib_FrmCons3>();
        w->GrabarCfg = false;
        w->sql = sql;
        w->CfgUsaConsultaLIKE = contiene;
        w->OrdenarPorLwv = !sql.contains(QStringLiteral("ORDER BY"), Qt::CaseInsensitive);
        muestra(*w);
        return w;
    }
    static QStringList columna(const Lib_FrmCons3& w, int c)
    {
        QStringList l;
        for (int i = 0; i < w.Modelo()->rowCount(); ++i) l.append(w.Modelo()->Texto(i, c));
        return l;
    }
};

TEST_F(DatosReales, ServerSearchIgnoresTheCaseOfAccentedLetters)
{
    for (const bool contiene : {false, true}) {
        auto w = abre(QStringLiteral("SELECT RAZON, CODIGO FROM CLIENTES ORDER BY CODIGO"), contiene);
        CajaDe(*w, 0)->setEditText(QStringLiteral("ñandú"));
        QTest::keyClick(CajaDe(*w, 0), Qt::Key_F5);
        EXPECT_EQ(columna(*w, 0), QStringList{"Ñandú y Cía. SRL"}) << contiene;
        BotonDe(*w, "CmdNueva")->click();
        CajaDe(*w, 0)->setEditText(QStringLiteral("ÁNGULO"));
        QTest::keyClick(CajaDe(*w, 0), Qt::Key_F5);
        EXPECT_EQ(columna(*w, 0), QStringList{"ángulo recto"}) << contiene;
    }
    // The wildcards still work, and a literal percent can be escaped.
    adodb::Recordset rs;
    DB().AbrirRecordset(
        QStringLiteral("SELECT CODIGO FROM CLIENTES WHERE RAZON LIKE '_ANDÚ%' OR RAZON LIKE '%a!%%' ESCAPE '!' ORDER BY CODIGO"),
        rs);
    EXPECT_EQ(rs.RecordCount(), 1);
}

TEST_F(DatosReales, ColumnsSortInSpanishOrder)
{
    auto w = abre(QStringLiteral("SELECT RAZON, CODIGO FROM CLIENTES"), false);
    EXPECT_EQ(columna(*w, 0), (QStringList{"ángulo recto", "Árbol Verde", "Nube SA", "Ñandú y Cía. SRL", "Zapatería Pérez"}));
    w->ListView1_ColumnClick(0);
    EXPECT_EQ(columna(*w, 0).first(), QStringLiteral("Zapatería Pérez")) << "descending on the first click";
    EXPECT_EQ(columna(*w, 0).last(), QStringLiteral("ángulo recto"));
}

TEST_F(DatosReales, DefaultsTickRowsWhoseValueIsADefaultAndTheTicksSurviveTheRequest)
{
    ClsCons3().Checks = true;
    ClsCons3().CampoDevuelto = QStringLiteral("codigo");
    QStringList tildadas;
    guion.op.alModal = [&](QObject* o) {
        auto* w = qobject_cast<Lib_FrmCons3*>(o);
        for (int i = 0; i < w->Modelo()->rowCount(); ++i)
            if (w->Modelo()->Marcada(i)) tildadas.append(w->Modelo()->Texto(i, 1));
        BotonDe(*w, "CmdAceptar")->click();
        return w->result();
    };
    Coleccion ninguna;
    QString clave, campo, where, opcional, defecto = QStringLiteral("1, 20");
    bool arbol = false;
    ClsCons3().ConsultaSearch(QStringLiteral("SELECT RAZON, CODIGO FROM CLIENTES ORDER BY CODIGO"), ninguna, clave, campo, where,
                              opcional, arbol, defecto);
    EXPECT_EQ(tildadas, (QStringList{"1", "20"})) << "not 10 nor 2, which a default merely contains";
    ASSERT_TRUE(ClsCons3().Valores);
    EXPECT_EQ(*ClsCons3().Valores, (QStringList{"1", "20"}));
}

TEST_F(DatosReales, ADefinitionNamingAMissingColumnFallsBackWithOneMessage)
{
    // The shipped definitions name only the chart's documented columns.
    QFile txt(QStringLiteral(DEMO_DIR "/consultas.txt"));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    const QString definiciones = QString::fromUtf8(txt.readAll());
    const qsizetype cuentas = definiciones.indexOf(QStringLiteral("[MA_CUENTAS]"));
    ASSERT_GE(cuentas, 0);
    const QString linea = definiciones.mid(definiciones.indexOf(QStringLiteral("columnas ="), cuentas)).section(u'\n', 0, 0);
    for (const QString& c : linea.section(u'=', 1).trimmed().split(u'|'))
        EXPECT_TRUE((QStringList{"Codigo", "CodigoOpcional", "DESCRIPCION", "DV", "titulo"}).contains(c, Qt::CaseInsensitive))
            << c.toStdString();

    // A chart of accounts without Imputable, and a definition that asks for it.
    ejecuta(QStringLiteral("CREATE TABLE CUENTAS2 AS SELECT Codigo, CodigoOpcional, DESCRIPCION, DV, titulo FROM MA_CUENTAS"));
    ejecuta(QStringLiteral("DROP VIEW SS_MA_CUENTAS"));
    ejecuta(QStringLiteral("DROP TABLE MA_CUENTAS"));
    ejecuta(QStringLiteral("ALTER TABLE CUENTAS2 RENAME TO MA_CUENTAS"));
    escribeVrl({MascaraConsulta::Registro{
        {}, QStringLiteral("MA_CUENTAS"), QStringLiteral("Codigo|DESCRIPCION|CodigoOpcional|Imputable"), {}}});
    PreparaConsultas();
    int filas = -1;
    guion.op.alModal = [&](QObject* o) {
        auto* w = qobject_cast<Lib_FrmCons3*>(o);
        filas = w->Modelo()->rowCount();
        w->SeleccionaFila(w->Busqueda(QStringLiteral("11010101001"), w->IndiceColumna(QStringLiteral("CODIGO")) - 1) - 1);
        BotonDe(*w, "CmdAceptar")->click();
        return w->result();
    };
    EXPECT_EQ(Def_QConsulta::ConsultaClave(QStringLiteral("MA_CUENTAS")), QStringLiteral("11010101001"));
    EXPECT_EQ(filas, 350);
    ASSERT_EQ(guion.op.mensajes().size(), 1);
    EXPECT_TRUE(guion.op.mensajes().first().contains(QStringLiteral("Imputable"))) << guion.op.mensajes().first().toStdString();
    Def_QConsulta::ConsultaClave(QStringLiteral("MA_CUENTAS"));
    EXPECT_EQ(guion.op.mensajes().size(), 1) << "told once";
    EXPECT_EQ(filas, 350);
}
