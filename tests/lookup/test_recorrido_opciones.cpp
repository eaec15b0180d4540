// The option lookups (a menu, ticks, the lines of a file) as the keyboard
// operator uses them: the same list window, with one column.
#include "fixture.h"

#include "../teclado.h"
#include "controles.h"

using namespace teclado;

class RecorridoOpciones : public ConsultasDemo {
protected:
    /// `teclas` runs on the option window once it is on screen.
    void alAbrir(std::function<void(Lib_FrmCons3&)> teclas)
    {
        guion.op.alModal = [teclas](QObject* o) {
            auto* w = qobject_cast<Lib_FrmCons3*>(o);
            EXPECT_NE(w, nullptr);
            if (!w) return 0;
            EXPECT_TRUE(Muestra(*w));
            teclas(*w);
            return w->result();
        };
    }
};

TEST_F(RecorridoOpciones, AMenuIsPickedByTypingOrArrowsAndEscPicksNothing)
{
    alAbrir([](Lib_FrmCons3& w) {
        EXPECT_EQ(Foco(), CajaDe(w, 0));
        Teclea(QStringLiteral("d"));
        Pulsa(Qt::Key_Return);
    });
    EXPECT_EQ(ClsCons3().MenuOpciones(QStringLiteral("Moneda"), QStringLiteral("Pesos"), QStringLiteral("Dólares"),
                                      QStringLiteral("Euros")),
              QStringLiteral("Dólares"));

    // Tab to the list, then the arrows; the hidden and disabled buttons are passed by.
    alAbrir([](Lib_FrmCons3& w) {
        Tab();
        EXPECT_EQ(Foco(), ListaDe(w));
        Pulsa(Qt::Key_Down);
        Pulsa(Qt::Key_Down);
        Tab();
        EXPECT_EQ(Foco(), BotonDe(w, "CmdAceptar"));
        Tab();
        EXPECT_EQ(Foco(), BotonDe(w, "cmdCancelar"));
        Tab();
        EXPECT_EQ(Foco(), CajaDe(w, 0));
        ShiftTab(2);
        Pulsa(Qt::Key_Space);  // a button takes Space as a click
    });
    EXPECT_EQ(ClsCons3().MenuOpciones(QStringLiteral("Moneda"), QStringLiteral("Pesos"), QStringLiteral("Dólares"),
                                      QStringLiteral("Euros")),
              QStringLiteral("Euros"));

    alAbrir([](Lib_FrmCons3&) {
        Teclea(QStringLiteral("yen"));
        Pulsa(Qt::Key_Return);  // nothing matches: the window stays
        Pulsa(Qt::Key_Escape);
    });
    EXPECT_EQ(ClsCons3().MenuOpciones(QStringLiteral("Moneda"), QStringLiteral("Pesos"), QStringLiteral("Dólares")), QString());
}

TEST_F(RecorridoOpciones, SpaceTicksTheChosenRowsAndEnterReturnsThem)
{
    alAbrir([](Lib_FrmCons3& w) {
        Tab();
        ASSERT_EQ(Foco(), ListaDe(w));
        Pulsa(Qt::Key_Space);  // A, ticked at the start, is unticked
        Pulsa(Qt::Key_Down);
        Pulsa(Qt::Key_Space);  // B ticked
        Pulsa(Qt::Key_Return);
    });
    ClsCons3().CheckOpciones(QStringLiteral("Medios"), nullptr, QStringLiteral("1A"), QStringLiteral("0B"), QStringLiteral("1C"));
    ASSERT_TRUE(ClsCons3().Valores);
    EXPECT_EQ(*ClsCons3().Valores, (QStringList{"B", "C"}));

    alAbrir([](Lib_FrmCons3& w) {
        // Marcar, reached by Tab from the buttons before it, inverts every tick.
        Tab(4);
        EXPECT_EQ(Foco(), BotonDe(w, "CmdTodos"));
        Pulsa(Qt::Key_Space);
        ShiftTab(2);
        EXPECT_EQ(Foco(), BotonDe(w, "CmdAceptar"));
        Pulsa(Qt::Key_Return);
    });
    ClsCons3().CheckOpciones(QStringLiteral("Medios"), nullptr, QStringLiteral("1A"), QStringLiteral("0B"), QStringLiteral("1C"));
    EXPECT_EQ(*ClsCons3().Valores, QStringList{"B"});
}

TEST_F(RecorridoOpciones, EnterOnAButtonPressesItAndAfterANoMatchReturnsTheTickedRows)
{
    // Cancelar reached by Tab picks nothing, whatever row is chosen.
    alAbrir([](Lib_FrmCons3& w) {
        Teclea(QStringLiteral("d"));
        Tab(3);
        ASSERT_EQ(Foco(), BotonDe(w, "cmdCancelar"));
        Pulsa(Qt::Key_Return);
    });
    EXPECT_EQ(ClsCons3().MenuOpciones(QStringLiteral("Moneda"), QStringLiteral("Pesos"), QStringLiteral("Dólares")), QString());

    // Enter on Marcar inverts the ticks; a search that matches no row takes
    // nothing away from them, and Enter returns them.
    alAbrir([](Lib_FrmCons3& w) {
        Tab(4);
        ASSERT_EQ(Foco(), BotonDe(w, "CmdTodos"));
        Pulsa(Qt::Key_Return);
        EXPECT_TRUE(w.isVisible());
        ShiftTab(4);
        ASSERT_EQ(Foco(), CajaDe(w, 0));
        Teclea(QStringLiteral("zz"));
        Pulsa(Qt::Key_Return);
    });
    ClsCons3().CheckOpciones(QStringLiteral("Medios"), nullptr, QStringLiteral("1A"), QStringLiteral("0B"), QStringLiteral("1C"));
    ASSERT_TRUE(ClsCons3().Valores);
    EXPECT_EQ(*ClsCons3().Valores, QStringList{"B"});
}
