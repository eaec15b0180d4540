#include "boton_enfocado.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

namespace rt {

namespace {

// A push button takes Enter only when it is a dialog's default or auto-default
// one, and a picture button never does: the key went up to the window, where
// a dialog pressed its default button instead.
class EnterEnBoton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (evento->type() != QEvent::KeyPress) return false;
        const auto* k = static_cast<QKeyEvent*>(evento);
        if (k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter) return false;
        if ((k->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        auto* boton = qobject_cast<QAbstractButton*>(objeto);
        if (!boton || !boton->isEnabled()) return false;
        boton->click();
        return true;
    }
};

}  // namespace

void EnterPulsaElBotonEnfocado(QWidget* ventana)
{
    if (!ventana) return;
    static const QString nombre = QStringLiteral("EnterPulsaElBotonEnfocado");
    QObject* filtro = ventana->findChild<QObject*>(nombre, Qt::FindDirectChildrenOnly);
    if (!filtro) {
        filtro = new EnterEnBoton(ventana);
        filtro->setObjectName(nombre);
    }
    // Installing it twice on a button keeps one.
    for (QAbstractButton* b : ventana->findChildren<QAbstractButton*>()) {
        if (auto* p = qobject_cast<QPushButton*>(b)) {
            p->installEventFilter(filtro);
            // The mark of the button Enter presses follows the focus: a dialog
            // draws its auto-default buttons as the default while they hold the
            // focus, and gives the mark back to its own default when the focus
            // leaves the buttons.
            if (qobject_cast<QDialog*>(p->window())) p->setAutoDefault(true);
        } else if (qobject_cast<QToolButton*>(b)) {
            b->installEventFilter(filtro);
        }
    }
}

}  // namespace rt
