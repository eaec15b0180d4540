#pragma once
// Driving the windows as the operator does: keys go to the widget that has
// the focus, clicks land on a widget, Tab moves, and a real message box or
// dialog is answered by the keys a person would press (Enter takes its
// default button). Journeys built from these go through focus, selection and
// default buttons, where calling handler methods would not.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <memory>

namespace teclado {

/// The widget that receives the next key.
inline QWidget* Foco()
{
    QWidget* w = QApplication::focusWidget();
    return w ? w : QApplication::activeWindow();
}

/// Shows `w`, makes it the active window and waits until it is.
inline bool Muestra(QWidget& w)
{
    w.show();
    w.activateWindow();
    // Offscreen, Qt 6.4 makes a shown window active only when told this way.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(&w);
    QT_WARNING_POP
    return QTest::qWaitForWindowActive(&w);
}

/// One key to the focused widget.
inline void Pulsa(Qt::Key tecla, Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    QTest::keyClick(Foco(), tecla, mod);
    QApplication::processEvents();
}

/// One key to `ventana` while another window of the program may be on top:
/// to its control with the focus, else to the window itself.
inline void Pulsa(QWidget& ventana, Qt::Key tecla, Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    QWidget* destino = QApplication::focusWidget();
    if (!destino || destino->window() != ventana.window()) destino = &ventana;
    QTest::keyClick(destino, tecla, mod);
    QApplication::processEvents();
}

/// Text typed into the focused widget, key by key.
inline void Teclea(const QString& texto)
{
    QTest::keyClicks(Foco(), texto);
    QApplication::processEvents();
}

namespace detalle {
template <class Destino>
void Letras(Destino destino, const QString& texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const qsizetype largo = texto.at(i).isHighSurrogate() && i + 1 < texto.size() ? 2 : 1;
        const QString letra = texto.mid(i, largo);
        if (largo == 1 && letra.at(0).unicode() < 128)
            QTest::keyClicks(destino(), letra);
        else
            QTest::sendKeyEvent(QTest::Click, destino(), Qt::Key_unknown, letra, Qt::NoModifier);
        i += largo - 1;
    }
    QApplication::processEvents();
}
}  // namespace detalle

/// Text typed key by key, letters outside ASCII too (as a keyboard layout or
/// a compose key gives them: a key event that carries its text).
inline void TecleaLetras(const QString& texto)
{
    detalle::Letras(Foco, texto);
}
/// The same into `destino`, wherever the focus is.
inline void TecleaLetras(QWidget* destino, const QString& texto)
{
    detalle::Letras([destino] { return destino; }, texto);
}

inline void Tab(int veces = 1)
{
    for (int i = 0; i < veces; ++i) Pulsa(Qt::Key_Tab);
}
inline void ShiftTab(int veces = 1)
{
    for (int i = 0; i < veces; ++i) Pulsa(Qt::Key_Backtab, Qt::ShiftModifier);
}

/// A click on `w` (its centre, or `p`), as the mouse gives it: the widget
/// takes the focus by its own policy.
inline void Clic(QWidget* w, Qt::MouseButton boton = Qt::LeftButton, QPoint p = {})
{
    QTest::mouseClick(w, boton, Qt::NoModifier, p.isNull() ? w->rect().center() : p);
    QApplication::processEvents();
}

/// Runs `accion` on the next modal window (message box, dialog) when it
/// appears over `ahora`, the modal widget at the time of the call (nullptr
/// when none). Call before the key that opens it: the window runs its own
/// event loop and the test is back only when it closes.
inline void AlAparecer(std::function<void(QWidget*)> accion, int esperaMs = 5000)
{
    QWidget* ahora = QApplication::activeModalWidget();
    auto* t = new QTimer(qApp);
    auto restante = std::make_shared<int>(esperaMs / 10);
    QObject::connect(t, &QTimer::timeout, t, [=]() {
        QWidget* m = QApplication::activeModalWidget();
        if ((m && m != ahora && m->isVisible()) || --*restante <= 0) {
            t->stop();
            t->deleteLater();
            if (m && m != ahora) accion(m);
        }
    });
    t->start(10);
}

/// The text of a message box (empty for other windows).
inline QString TextoDe(QWidget* ventana)
{
    auto* box = qobject_cast<QMessageBox*>(ventana);
    return box ? box->text() : QString();
}

/// Answers the next message box or dialog with `tecla` (Enter: its default
/// button; Esc: its escape button) on the widget focused inside it, and
/// keeps its text in `*visto` when given.
inline void Contesta(Qt::Key tecla = Qt::Key_Return, QString* visto = nullptr)
{
    AlAparecer([=](QWidget* m) {
        if (visto) *visto = TextoDe(m);
        QWidget* destino = m->focusWidget() ? m->focusWidget() : m;
        QTest::keyClick(destino, tecla);
    });
}

/// The window a modal window opened over (its parent's window; nullptr when
/// it has none).
inline QWidget* DuenoDe(QWidget* modal)
{
    return modal && modal->parentWidget() ? modal->parentWidget()->window() : nullptr;
}

/// Like Contesta, and keeps in `*sobre` the window the box opened over.
inline void ContestaSobre(Qt::Key tecla, QPointer<QWidget>* sobre, QString* visto = nullptr)
{
    AlAparecer([=](QWidget* m) {
        if (sobre) *sobre = DuenoDe(m);
        if (visto) *visto = TextoDe(m);
        QWidget* destino = m->focusWidget() ? m->focusWidget() : m;
        QTest::keyClick(destino, tecla);
    });
}

/// Answers the next file dialog as a person does: replaces the name in its
/// focused box by `ruta` and clicks its default button (Guardar, Abrir) once
/// the dialog has caught up with the name (it reads folders as they are typed).
/// Keeps in `*sobre` the window it opened over.
inline void ContestaArchivo(const QString& ruta, QPointer<QWidget>* sobre = nullptr)
{
    AlAparecer([=](QWidget* m) {
        if (sobre) *sobre = DuenoDe(m);
        QWidget* destino = m->focusWidget() ? m->focusWidget() : m;
        if (auto* caja = qobject_cast<QLineEdit*>(destino)) caja->selectAll();
        QTest::keyClicks(destino, ruta);
        const QPointer<QWidget> dialogo(m);
        for (int intento = 0; intento < 40 && dialogo && dialogo->isVisible(); ++intento) {
            QTest::qWait(50);
            for (QPushButton* b : dialogo->findChildren<QPushButton*>())
                if (b->isDefault() && b->isVisible() && b->isEnabled()) {
                    QTest::mouseClick(b, Qt::LeftButton);
                    break;
                }
        }
    });
}

/// The window's close box (or Alt+F4): the window manager asks the window to
/// close, and the window may refuse. True when it closed.
inline bool CierraConLaCruz(QWidget* ventana)
{
    QWindow* w = ventana->windowHandle();
    const bool cerrada = w ? w->close() : ventana->close();
    QApplication::processEvents();
    return cerrada;
}

}  // namespace teclado
