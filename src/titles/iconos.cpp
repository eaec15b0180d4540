#include "titles/iconos.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

// Drawn on a 32-unit grid and rendered at several sizes, so the icon stays sharp
// in the title bar, the task bar and on the buttons alike.
QPixmap dibujaEn(const std::function<void(QPainter&)>& pinta, int lado)
{
    QPixmap px(lado, lado);
    px.fill(Qt::transparent);
    QPainter p(&px);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lado / 32.0, lado / 32.0);
    pinta(p);
    p.end();
    return px;
}

QIcon dibuja(const std::function<void(QPainter&)>& pinta)
{
    QIcon icono;
    for (int lado : {16, 24, 32, 48, 64}) icono.addPixmap(dibujaEn(pinta, lado));
    return icono;
}

QBrush degradado(const QColor& c, QPointF a, QPointF b)
{
    QLinearGradient g(a, b);
    g.setColorAt(0, c.lighter(130));
    g.setColorAt(1, c.darker(115));
    return g;
}

}  // namespace

namespace iconos {

namespace {

// The program's own icon, on the 32-unit grid.
void pintaLibro(QPainter& p)
{
    const QColor tapa(36, 92, 160);
    p.setPen(QPen(tapa.darker(160), 1.2));
    // pages seen from the fore-edge
    p.setBrush(QColor(250, 248, 238));
    p.drawRoundedRect(QRectF(7, 4, 21, 25), 2, 2);
    p.setPen(QPen(QColor(190, 184, 165), 0.8));
    for (double y = 7; y < 27; y += 3) p.drawLine(QPointF(10, y), QPointF(26, y));
    // cover and spine
    p.setPen(QPen(tapa.darker(160), 1.2));
    p.setBrush(degradado(tapa, {4, 3}, {22, 29}));
    p.drawRoundedRect(QRectF(4, 3, 19, 26), 2, 2);
    p.setBrush(tapa.darker(140));
    p.drawRect(QRectF(4, 3, 4, 26));
    // label
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 240, 220));
    p.drawRect(QRectF(11, 8, 9, 6));
    p.setPen(QPen(QColor(90, 90, 90), 0.8));
    p.drawLine(QPointF(12.5, 10), QPointF(18.5, 10));
    p.drawLine(QPointF(12.5, 12), QPointF(17, 12));
    // bookmark ribbon
    QPainterPath cinta;
    cinta.moveTo(17, 3);
    cinta.lineTo(21, 3);
    cinta.lineTo(21, 31);
    cinta.lineTo(19, 28.5);
    cinta.lineTo(17, 31);
    cinta.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawPath(cinta);
}

}  // namespace

QIcon Libro()
{
    return dibuja(pintaLibro);
}

QPixmap LibroEn(int lado)
{
    return dibujaEn(pintaLibro, lado);
}

QIcon Impresora()
{
    return dibuja([](QPainter& p) {
        const QPen borde(QColor(60, 60, 70), 1.2);
        // sheet going in at the back
        p.setPen(borde);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        // body
        p.setBrush(degradado(QColor(150, 155, 165), {3, 11}, {3, 24}));
        p.drawRoundedRect(QRectF(3, 11, 26, 12), 2.5, 2.5);
        // status light
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 200, 80));
        p.drawEllipse(QPointF(24.5, 15), 1.5, 1.5);
        // printed sheet coming out at the front
        p.setPen(borde);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 19, 16, 11));
        p.setPen(QPen(QColor(40, 90, 170), 1));
        p.drawLine(QPointF(10.5, 22.5), QPointF(21.5, 22.5));
        p.drawLine(QPointF(10.5, 25), QPointF(21.5, 25));
        p.drawLine(QPointF(10.5, 27.5), QPointF(17, 27.5));
    });
}

QIcon Planilla()
{
    return dibuja([](QPainter& p) {
        const QRectF hoja(4, 4, 24, 24);
        p.setPen(QPen(QColor(30, 110, 60), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(hoja);
        // header row
        p.setPen(Qt::NoPen);
        p.setBrush(degradado(QColor(40, 150, 80), {4, 4}, {4, 10}));
        p.drawRect(QRectF(4.6, 4.6, 22.8, 5.4));
        // grid
        p.setPen(QPen(QColor(120, 170, 135), 0.8));
        for (double y = 14; y < 28; y += 4.5) p.drawLine(QPointF(4.6, y), QPointF(27.4, y));
        for (double x = 11; x < 28; x += 8) p.drawLine(QPointF(x, 10), QPointF(x, 27.4));
        // a few filled cells
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 60, 70));
        p.drawRect(QRectF(13, 11.5, 5, 1.2));
        p.drawRect(QRectF(20, 16, 5, 1.2));
        p.drawRect(QRectF(13, 20.5, 4, 1.2));
        p.drawRect(QRectF(20, 25, 6, 1.2));
    });
}

}  // namespace iconos
