// What the operator is told while typing, and what each box accepts.
#include "entorno.h"

TEST_F(VentanaTitulos, CodeBoxRefusesEmptyAndFiveCharacterCodesAndTakesFour)
{
    abre();
    escribeYEnter(0, QStringLiteral("   "));
    escribeYEnter(0, QStringLiteral("12345"));
    ASSERT_EQ(guion.op.preguntas.size(), 2u);
    EXPECT_EQ(guion.op.preguntas[0].texto, " Debe informar el Codigo!");
    EXPECT_EQ(guion.op.preguntas[1].texto, " El Codigo no puede tener mas de 4 caracteres!");
    for (const auto& p : guion.op.preguntas) {
        EXPECT_EQ(p.titulo, "Aviso al operador...");
        EXPECT_EQ(p.botones, rt::vbInformation);
    }
    EXPECT_TRUE(w().HayError());
    EXPECT_EQ(caja(0)->text(), "12345");  // kept for the operator to correct
    EXPECT_EQ(QApplication::focusWidget(), caja(0));
    EXPECT_FALSE(caja(1)->isEnabled());
    // "1234" would be stored as is; the 5-character code must not land on title 1234 or 2345.
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 10);

    // Four characters fill the column exactly: a new title, the detail boxes open.
    guion.op.preguntas.clear();
    escribeYEnter(0, QStringLiteral("9999"));
    EXPECT_TRUE(guion.op.preguntas.empty()) << qPrintable(mensajes().join(u'|'));
    EXPECT_FALSE(w().HayError());
    EXPECT_TRUE(caja(1)->isEnabled());
}

TEST_F(VentanaTitulos, RangeBoxesCheckAccountsOrderAndOtherTitles)
{
    abre();
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Rango"));

    escribeYEnter(2, QStringLiteral("99999"));
    EXPECT_EQ(mensajes(), QStringList{"La cuenta ingresada es inexistente."});
    EXPECT_EQ(QApplication::focusWidget(), caja(2));

    // An optional code is replaced by the real one; inside title 2's range: warned, accepted.
    guion.op.preguntas.clear();
    escribeYEnter(2, QStringLiteral("caja"));
    EXPECT_EQ(caja(2)->text(), "11010101001");
    ASSERT_EQ(mensajes(), QStringList{"El Codigo de Cuenta esta en el rango de otro Copiador!"});
    EXPECT_EQ(guion.op.preguntas[0].titulo, "AVISO AL OPERADOR!");
    EXPECT_EQ(guion.op.preguntas[0].botones, rt::vbInformation);
    EXPECT_FALSE(w().HayError());
    EXPECT_EQ(QApplication::focusWidget(), caja(3));

    guion.op.preguntas.clear();
    escribeYEnter(3, QStringLiteral("1100"));
    EXPECT_EQ(mensajes(), QStringList{"El Codigo de Cuenta Desde no puede ser Mayor que Desde!!"});
    EXPECT_EQ(guion.op.preguntas[0].titulo, "Aviso al operador...");
    EXPECT_EQ(QApplication::focusWidget(), caja(3));

    // From equal to to is a valid range.
    guion.op.preguntas.clear();
    escribeYEnter(3, QStringLiteral("11010101001"));
    EXPECT_FALSE(w().HayError());
    EXPECT_EQ(QApplication::focusWidget(), lista());
}

TEST_F(VentanaTitulos, OwnRangeDoesNotWarnWhenReplacing)
{
    abre();
    escribeYEnter(0, QStringLiteral("2"));
    enter(1);
    enter(2);
    enter(3);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(VentanaTitulos, FocusedBoxIsCyanAndTurnsWhiteOnLeaving)
{
    abre();
    const QColor cian(0, 255, 255);
    EXPECT_EQ(caja(0)->palette().color(QPalette::Base), cian);
    escribeYEnter(0, QStringLiteral("3"));
    EXPECT_EQ(caja(0)->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(caja(1)->palette().color(QPalette::Base), cian);
    EXPECT_EQ(w().CampoActual(), 1);
    caja(2)->setFocus();
    EXPECT_TRUE(barra()->ConsultaEnabled());
    caja(1)->setFocus();
    EXPECT_FALSE(barra()->ConsultaEnabled());  // the description has no lookup
}

TEST_F(VentanaTitulos, UpperCaseSettingConvertsLettersAsTheyAreTyped)
{
    abre();
    escribeYEnter(0, QStringLiteral("20"));
    CNStuffContable::gSoloMayusculas = true;
    escribe(1, QStringLiteral("ñandú 1.a-é"));
    EXPECT_EQ(caja(1)->text(), "ÑANDú 1.A-é");
    CNStuffContable::gSoloMayusculas = false;
    escribe(1, QStringLiteral("ñandú"));
    EXPECT_EQ(caja(1)->text(), "ñandú");
}

TEST_F(VentanaTitulos, LookupFillsTheBoxAndValidatesIt)
{
    abre();
    QStringList pedidas;
    w().ConsultarTabla = [&](const QString& tabla) {
        pedidas << tabla;
        return QStringLiteral(" 3 ");
    };
    QTest::mouseClick(caja(0), Qt::RightButton);
    EXPECT_EQ(pedidas, QStringList{"TA_TITCOPIADORES"});
    EXPECT_EQ(caja(1)->text(), "Deudores por Ventas");
    EXPECT_TRUE(w().EsExistente());

    // F5 on a range box; the lookup returns an optional code.
    w().ConsultarTabla = [&](const QString& tabla) {
        pedidas << tabla;
        return QStringLiteral("DEUDORES");
    };
    caja(2)->setFocus();
    teclado::Pulsa(Qt::Key_F5);
    EXPECT_EQ(pedidas.last(), "MA_CUENTAS");
    EXPECT_EQ(caja(2)->text(), "11030101001");
}

TEST_F(VentanaTitulos, LookupWithoutHookAsksTheOperatorAndCancelLeavesTheCodeAsItWas)
{
    abre();
    guion.op.textos = {QStringLiteral("\x1b")};
    caja(0)->setFocus();
    const QString antes = caja(0)->text();
    teclado::Pulsa(Qt::Key_F5);
    ASSERT_EQ(guion.op.preguntas.size(), 1u) << "no complaint about a code nobody typed";
    EXPECT_EQ(guion.op.preguntas[0].tipo, "InputBox");
    EXPECT_EQ(guion.op.preguntas[0].texto, "Consulta de TA_TITCOPIADORES");
    EXPECT_EQ(caja(0)->text(), antes);
}
