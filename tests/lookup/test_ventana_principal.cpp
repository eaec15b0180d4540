// The lookup seen from the main window: F5 on an account box opens the list of
// accounts, and the chosen account is validated as if it had been typed.
#include "fixture.h"

#include "controles.h"
#include "lookup/def_qconsulta.h"
#include "titles/frmta_titcopiadores.h"

#include <QLineEdit>

class VentanaPrincipal : public ConsultasDemo {};

TEST_F(VentanaPrincipal, F5OnDesdeFillsTheBoxWithTheChosenAccountAndValidatesIt)
{
    frmTA_TITCOPIADORES ventana;
    ventana.ConsultarTabla = Def_QConsulta::ConsultaClave;
    ventana.CargaVentana();
    ventana.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana));

    int ventanas = 0;
    guion.op.alModal = [&](QObject* o) {
        auto* w = qobject_cast<Lib_FrmCons3*>(o);
        EXPECT_NE(w, nullptr);
        if (!w) return 0;
        ++ventanas;
        w->show();
        int columna = -1;
        for (int c = 0; c < ListaDe(*w)->model()->columnCount(); ++c)
            if (ListaDe(*w)
                    ->model()
                    ->headerData(c, Qt::Horizontal)
                    .toString()
                    .compare(QStringLiteral("DESCRIPCION"), Qt::CaseInsensitive) == 0)
                columna = c;
        EXPECT_GE(columna, 0);
        if (columna < 0) return 0;
        QTest::keyClicks(CajaDe(*w, columna), QStringLiteral("Caja Central"));
        BotonDe(*w, "CmdAceptar")->click();
        return w->result();
    };

    QLineEdit* codigo = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields0"));
    QLineEdit* desde = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields2"));
    codigo->setFocus();
    codigo->setText(QStringLiteral("50"));
    QTest::keyClick(codigo, Qt::Key_Return);
    ASSERT_TRUE(desde->isEnabled()) << "a new code opens the edit state";
    // Reach the box as an operator does: description, Enter, and the focus moves on.
    QLineEdit* descripcion = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields1"));
    ASSERT_TRUE(descripcion->hasFocus());
    QTest::keyClicks(descripcion, QStringLiteral("Prueba"));
    QTest::keyClick(descripcion, Qt::Key_Return);
    ASSERT_TRUE(desde->hasFocus());
    QTest::keyClick(desde, Qt::Key_F5);

    EXPECT_EQ(ventanas, 1);
    EXPECT_EQ(desde->text(), QStringLiteral("11010101001"));
    EXPECT_FALSE(ventana.HayError());
    for (const QString& m : guion.op.mensajes()) EXPECT_NE(m, QStringLiteral("La cuenta ingresada es inexistente."));
}
