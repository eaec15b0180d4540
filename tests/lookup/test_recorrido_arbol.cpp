// The tree lookup as the keyboard operator uses it.
#include "fixture.h"

#include "../teclado.h"
#include "controles.h"
#include "lookup/lib_frmcons3tree.h"
#include "lookup/modelo_arbol.h"

#include <QLabel>
#include <QTreeView>

using namespace teclado;

class RecorridoArbol : public ConsultasDemo {
protected:
    Lib_FrmCons3Tree& abre(bool casillas = false)
    {
        w = std::make_unique<Lib_FrmCons3Tree>();
        w->sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO");
        w->CampoDevuelto = QStringLiteral("Codigo");
        w->CheckBoxes = casillas;
        EXPECT_TRUE(Muestra(*w));
        return *w;
    }
    QString seleccionado() const
    {
        const int n = w->NodoSeleccionado();
        return n < 0 ? QStringLiteral("(ninguno)") : w->Modelo()->NodoN(n).texto;
    }
    void TearDown() override
    {
        w.reset();
        ConsultasDemo::TearDown();
    }
    std::unique_ptr<Lib_FrmCons3Tree> w;
};

TEST_F(RecorridoArbol, TabTypeArrowsAndEnterReturnTheCodeEscNothing)
{
    Lib_FrmCons3Tree& a = abre();
    const QList<QWidget*> orden{CajaDe(a, 0), ArbolDe(a), BotonDe(a, "CmdAceptar"), BotonDe(a, "cmdCancelar"),
                                BotonDe(a, "CmdNueva")};
    ASSERT_EQ(Foco(), orden[0]);
    for (int i = 1; i < orden.size(); ++i) {
        Tab();
        EXPECT_EQ(Foco(), orden[i]) << i;
    }
    ShiftTab(orden.size() - 1);
    ASSERT_EQ(Foco(), orden[0]);

    Teclea(QStringLiteral("tes"));
    EXPECT_EQ(seleccionado(), QStringLiteral("102 - Tesorería"));
    Pulsa(Qt::Key_Up);
    EXPECT_EQ(Foco(), ArbolDe(a)) << "the arrows take the tree";
    Pulsa(Qt::Key_Up);
    EXPECT_EQ(seleccionado(), QStringLiteral("101 - Contaduría"));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(a.result(), QDialog::Accepted);
    EXPECT_EQ(a.ValorDevuelto, QStringLiteral("101"));

    // A text no node starts with: no node is left for Enter, the window says so.
    Lib_FrmCons3Tree& c = abre();
    Teclea(QStringLiteral("zonx"));
    EXPECT_EQ(c.NodoSeleccionado(), -1);
    EXPECT_FALSE(ControlDe<QLabel>(c, QStringLiteral("lblSinCoincidencias"))->text().isEmpty());
    Pulsa(Qt::Key_Return);
    EXPECT_TRUE(c.isVisible()) << "Enter returned a node that does not match";
    Pulsa(Qt::Key_Backspace);
    EXPECT_EQ(seleccionado(), QStringLiteral("20201 - Zona Litoral"));
    EXPECT_TRUE(ControlDe<QLabel>(c, QStringLiteral("lblSinCoincidencias"))->text().isEmpty());
    Pulsa(Qt::Key_Escape);
    EXPECT_EQ(c.result(), QDialog::Rejected);
    EXPECT_EQ(c.ValorDevuelto, QString());
    EXPECT_FALSE(c.Valores);
    EXPECT_TRUE(guion.op.preguntas.empty()) << guion.op.mensajes().join(u'|').toStdString();
}

TEST_F(RecorridoArbol, F5NarrowsWithTheTypedPatternAndSpaceTicksABranch)
{
    Lib_FrmCons3Tree& a = abre();
    Teclea(QStringLiteral("v_ntas"));
    Pulsa(Qt::Key_F5);
    EXPECT_EQ(a.Modelo()->Nodos(), 3) << "the root, 201 and 202";
    Teclea(QStringLiteral("ventas may"));
    EXPECT_EQ(seleccionado(), QStringLiteral("202 - Ventas mayoristas"));
    Pulsa(Qt::Key_Return);
    EXPECT_EQ(a.ValorDevuelto, QStringLiteral("202"));

    Lib_FrmCons3Tree& t = abre(true);
    Teclea(QStringLiteral("comercial"));
    Pulsa(Qt::Key_Down);
    ASSERT_EQ(Foco(), ArbolDe(t));
    Pulsa(Qt::Key_Space);
    Pulsa(Qt::Key_Return);
    ASSERT_TRUE(t.Valores);
    EXPECT_EQ(*t.Valores, (QStringList{"2", "201", "202", "20201", "20202"}));
}

// Enter on a button reached by Tab presses that button, never the default
// Aceptar in its place.
TEST_F(RecorridoArbol, EnterOnEachButtonPressesThatButton)
{
    const struct {
        const char* boton;
        bool abierta;
        QString valor;
    } casos[] = {
        {"CmdAceptar", false, QStringLiteral("102")},
        {"cmdCancelar", false, QString()},
        {"CmdNueva", true, QString()},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.boton);
        Lib_FrmCons3Tree& a = abre();
        Teclea(QStringLiteral("tes"));
        for (int i = 0; i < 6 && Foco() != BotonDe(a, c.boton); ++i) Tab();
        ASSERT_EQ(Foco(), BotonDe(a, c.boton));
        Pulsa(Qt::Key_Return);
        EXPECT_EQ(a.isVisible(), c.abierta);
        EXPECT_EQ(a.ValorDevuelto, c.valor);
    }
}
