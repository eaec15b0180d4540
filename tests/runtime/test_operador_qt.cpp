#include "../aplicacion.h"
#include "runtime/operador_qt.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace rt;

namespace {

// Runs `f` on the modal window once the code under test has opened it.
void alAbrirse(std::function<void(QWidget*)> f, int intentos = 200)
{
    QTimer::singleShot(10, [f, intentos] {
        if (QWidget* w = QApplication::activeModalWidget())
            f(w);
        else if (intentos > 0)
            alAbrirse(f, intentos - 1);
    });
}

// Answers the next message box with the button reading `pulsar`; keeps what it showed.
struct Caja {
    QStringList botones;
    QString porDefecto;
    QMessageBox::Icon icono{};
    void responde(const QString& pulsar)
    {
        alAbrirse([this, pulsar](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) {
                ADD_FAILURE() << "no message box";
                w->close();
                return;
            }
            QAbstractButton* elegido = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                botones.append(b->text().remove('&'));
                if (botones.back() == pulsar) elegido = b;
            }
            botones.sort();  // laid out in the desktop's order, not in the order added
            porDefecto = box->defaultButton()->text().remove('&');
            icono = box->icon();
            if (elegido)
                elegido->click();
            else
                box->reject();
        });
    }
};

}  // namespace

TEST(OperadorQt, MensajeEnEspanolDevuelveElBotonPulsado)
{
    InstalaTraduccionEspanola(aplicacion());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString::fromUtf8("&Sí"));
    OperadorQt op;
    Caja c1;
    c1.responde("Cancelar");
    EXPECT_EQ(op.MsgBox("¿Guardar?", vbYesNoCancel | vbQuestion | vbDefaultButton2, "Títulos"), vbCancel);
    EXPECT_EQ(c1.botones, QStringList({"Cancelar", "No", QString::fromUtf8("Sí")}));
    EXPECT_EQ(c1.porDefecto, "No");
    EXPECT_EQ(c1.icono, QMessageBox::Question);

    Caja c2;
    c2.responde("Reintentar");
    EXPECT_EQ(op.MsgBox("Error", vbAbortRetryIgnore | vbCritical), vbRetry);
    EXPECT_EQ(c2.botones, QStringList({"Anular", "Ignorar", "Reintentar"}));
    EXPECT_EQ(c2.icono, QMessageBox::Critical);
}

TEST(OperadorQt, EntradaModalYEjecucion)
{
    aplicacion();
    OperadorQt op;
    bool cancelado = true;
    alAbrirse([](QWidget* w) {
        auto* dlg = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        dlg->findChild<QLineEdit*>()->setText("Ana");
        dlg->accept();
    });
    EXPECT_EQ(op.InputBox("Nombre", "Alta", "x", &cancelado), "Ana");
    EXPECT_FALSE(cancelado);

    QDialog ventana;
    alAbrirse([](QWidget* w) { qobject_cast<QDialog*>(w)->done(3); });
    EXPECT_EQ(op.Modal(&ventana), 3);
    EXPECT_EQ(op.Modal(nullptr), 0);
    EXPECT_GT(op.Ejecuta("/bin/true", "x"), 0);
    EXPECT_EQ(op.Ejecuta("/no/existe", ""), 0);
}

TEST(OperadorQt, LaCajaSeAbreSobreLaVentanaQueLaPideYLeDevuelveElFoco)
{
    aplicacion();
    QWidget principal, vista;
    principal.setWindowTitle("principal");
    vista.setWindowTitle("vista");
    OperadorQt op(&principal);
    principal.show();
    vista.show();
    vista.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&vista));

    // Named: over its window, even with another window active.
    principal.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&principal));
    QWidget* sobre = nullptr;
    alAbrirse([&](QWidget* w) {
        sobre = w->parentWidget();
        static_cast<QDialog*>(w)->accept();
    });
    op.MsgBox(&vista, "Aviso");
    EXPECT_EQ(sobre, &vista);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&vista));

    // Unnamed: over the window the operator is in, not the main window.
    sobre = nullptr;
    alAbrirse([&](QWidget* w) {
        sobre = w->parentWidget();
        static_cast<QDialog*>(w)->accept();
    });
    op.MsgBox("Aviso");
    EXPECT_EQ(sobre, &vista);
}

TEST(OperadorQt, FiltroDeArchivos)
{
    EXPECT_EQ(OperadorQt::FiltroQt("Text |*.MDB"), "Text (*.MDB *.mdb)");
    EXPECT_EQ(OperadorQt::FiltroQt("Text|*.a;*.b|Todos|*.*"), "Text (*.a *.A *.b *.B);;Todos (*.*)");
    EXPECT_EQ(OperadorQt::FiltroQt("Sin patron|"), "");
}
