#include "ventanas.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace rt {

void AjustaVentana(QWidget* ventana, bool centrarEnPadre)
{
    if (!ventana) return;
    QWidget* padre = centrarEnPadre ? ventana->parentWidget() : nullptr;
    QScreen* pantalla = ventana->screen() ? ventana->screen() : QGuiApplication::primaryScreen();
    if (!pantalla) return;
    const QRect area = pantalla->availableGeometry();
    QSize tam = ventana->size().expandedTo(ventana->minimumSizeHint()).boundedTo(area.size());
    ventana->resize(tam);
    const QRect marco = padre ? padre->frameGeometry() : area;
    QPoint origen = marco.center() - QPoint(tam.width() / 2, tam.height() / 2);
    origen.setX(qBound(area.left(), origen.x(), qMax(area.left(), area.right() - tam.width())));
    origen.setY(qBound(area.top(), origen.y(), qMax(area.top(), area.bottom() - tam.height())));
    ventana->move(origen);
}

}  // namespace rt
