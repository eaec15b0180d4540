// Enter on a button reached by Tab presses that button, and that button is the
// one drawn as the default; with the focus elsewhere Enter keeps the window's
// meaning (here a dialog's default button), and the mark goes back to it.
#include "../aplicacion.h"
#include "../teclado.h"
#include "runtime/boton_enfocado.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(BotonEnfocado, EnterPressesTheFocusedButtonAndElsewhereTheDefaultOne)
{
    aplicacion();
    QDialog d;
    auto* fila = new QHBoxLayout(&d);
    auto* caja = new QLineEdit(&d);
    auto* aceptar = new QPushButton(QStringLiteral("Aceptar"), &d);
    auto* cancelar = new QPushButton(QStringLiteral("Cancelar"), &d);
    auto* imagen = new QToolButton(&d);
    imagen->setText(QStringLiteral("Imagen"));
    imagen->setFocusPolicy(Qt::TabFocus);
    aceptar->setDefault(true);
    cancelar->setAutoDefault(false);  // as the lookups have it: the dialog would press Aceptar
    QStringList pulsados;
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{aceptar, cancelar, imagen}) {
        fila->addWidget(b);
        QObject::connect(b, &QAbstractButton::clicked, [&pulsados, b] { pulsados << b->text(); });
    }
    fila->addWidget(caja);
    rt::EnterPulsaElBotonEnfocado(&d);
    ASSERT_TRUE(teclado::Muestra(d));

    const struct {
        QWidget* foco;
        Qt::Key tecla;
        Qt::KeyboardModifiers mod;
        QString pulsado;
        QPushButton* marcado;
    } casos[] = {
        {cancelar, Qt::Key_Return, Qt::NoModifier, QStringLiteral("Cancelar"), cancelar},
        {cancelar, Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("Cancelar"), cancelar},
        {imagen, Qt::Key_Return, Qt::NoModifier, QStringLiteral("Imagen"), aceptar},
        {aceptar, Qt::Key_Return, Qt::NoModifier, QStringLiteral("Aceptar"), aceptar},
        {caja, Qt::Key_Return, Qt::NoModifier, QStringLiteral("Aceptar"), aceptar},
    };
    for (const auto& c : casos) {
        pulsados.clear();
        c.foco->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(c.marcado->isDefault() && !(c.marcado == aceptar ? cancelar : aceptar)->isDefault())
            << "focus on " << c.foco->metaObject()->className() << ": the mark is not on " << c.marcado->text().toStdString();
        teclado::Pulsa(c.tecla, c.mod);
        EXPECT_EQ(pulsados, QStringList{c.pulsado}) << c.foco->metaObject()->className() << " " << c.tecla;
    }
}
