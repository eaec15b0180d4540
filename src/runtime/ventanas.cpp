#include "ventanas.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace rt {

void UbicaSobre(QWidget* ventana, const QWidget* sobre)
{
    if (!ventana) return;
    const QScreen* pantalla = sobre && sobre->screen() ? sobre->screen() : ventana->screen();
    if (!pantalla) pantalla = QGuiApplication::primaryScreen();
    if (!pantalla) return;
    const QRect area = pantalla->availableGeometry();
    // The frame, where the window manager already drew one. Before the first
    // show, and for a while after it, a new window has none yet: the window
    // it opens over was framed by the same manager, so its frame stands in.
    QSize borde = ventana->frameGeometry().size() - ventana->size();
    if (borde.isNull() && sobre) borde = sobre->frameGeometry().size() - sobre->size();
    const QSize tam = ventana->size().expandedTo(ventana->minimumSizeHint()).boundedTo(area.size() - borde);
    ventana->resize(tam);
    const QSize total = tam + borde;
    const QRect marco = sobre ? sobre->frameGeometry() : area;
    QPoint origen = marco.center() - QPoint(total.width() / 2, total.height() / 2);
    origen.setX(qBound(area.left(), origen.x(), qMax(area.left(), area.right() + 1 - total.width())));
    origen.setY(qBound(area.top(), origen.y(), qMax(area.top(), area.bottom() + 1 - total.height())));
    ventana->move(origen);
}

void AjustaVentana(QWidget* ventana, bool centrarEnPadre)
{
    if (!ventana) return;
    UbicaSobre(ventana, centrarEnPadre ? ventana->parentWidget() : nullptr);
}

}  // namespace rt
