// dibuja_iconos: draws the command toolbar's five icon strips (one per icon
// style) into the folder given as argument, as the BMP files the toolbar loads.
//   dibuja_iconos <carpeta>
// Each strip holds eight 32x32 pictograms side by side in bar order. BMP has no
// alpha, so the background is magenta (255,0,255), which the toolbar keys out.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {
constexpr int kLado = 32;
constexpr int kIconos = 8;
// Semi-transparent edges are settled against the light grey a bar usually has,
// so keyed-out icons show no magenta fringe.
const QColor kFondoBarra(240, 240, 240);

struct Paleta {
    const char* archivo;
    QColor linea, principal, claro, papel, acento, alerta, metal;
    bool degradado;
};

QBrush relleno(const Paleta& p, const QColor& c, QPointF a, QPointF b)
{
    if (!p.degradado) return c;
    QLinearGradient g(a, b);
    g.setColorAt(0, c.lighter(135));
    g.setColorAt(1, c.darker(110));
    return g;
}

QPen trazo(const QColor& c, qreal ancho = 1.4)
{
    return QPen(c, ancho, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void nuevo(QPainter& g, const Paleta& p)
{
    QPainterPath hoja;
    hoja.moveTo(8, 3.5);
    hoja.lineTo(19.5, 3.5);
    hoja.lineTo(26, 10);
    hoja.lineTo(26, 28.5);
    hoja.lineTo(8, 28.5);
    hoja.closeSubpath();
    g.setPen(trazo(p.linea));
    g.setBrush(relleno(p, p.papel, {8, 3}, {26, 29}));
    g.drawPath(hoja);
    QPainterPath pliegue;
    pliegue.moveTo(19.5, 3.5);
    pliegue.lineTo(19.5, 10);
    pliegue.lineTo(26, 10);
    pliegue.closeSubpath();
    g.setBrush(p.claro);
    g.drawPath(pliegue);
    g.setPen(trazo(p.principal, 1.6));
    for (qreal y : {14.5, 18.5, 22.5}) g.drawLine(QPointF(11.5, y), QPointF(22.5, y));
    // A sparkle: the document is brand new.
    QPainterPath estrella;
    const QPointF c(8, 8);
    for (int i = 0; i < 8; ++i) {
        const qreal r = (i % 2 == 0) ? 6.5 : 2.0;
        const qreal a = i * M_PI / 4 - M_PI / 2;
        const QPointF q(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i == 0 ? estrella.moveTo(q) : estrella.lineTo(q);
    }
    estrella.closeSubpath();
    g.setPen(trazo(p.acento.darker(150), 1.0));
    g.setBrush(p.acento);
    g.drawPath(estrella);
}

void borrar(QPainter& g, const Paleta& p)
{
    g.setPen(trazo(p.linea));
    // Bin body, slightly tapered.
    QPainterPath cuerpo;
    cuerpo.moveTo(8.5, 10.5);
    cuerpo.lineTo(23.5, 10.5);
    cuerpo.lineTo(22, 28.5);
    cuerpo.lineTo(10, 28.5);
    cuerpo.closeSubpath();
    g.setBrush(relleno(p, p.principal, {8, 0}, {24, 0}));
    g.drawPath(cuerpo);
    g.setPen(trazo(p.claro, 1.6));
    for (qreal x : {12.5, 16.0, 19.5}) g.drawLine(QPointF(x, 13.5), QPointF(x, 25.5));
    // Lid and handle.
    g.setPen(trazo(p.linea));
    g.setBrush(relleno(p, p.principal, {0, 6}, {0, 10}));
    g.drawRoundedRect(QRectF(6, 6.5, 20, 3.5), 1.2, 1.2);
    g.setBrush(Qt::NoBrush);
    g.drawRoundedRect(QRectF(12.5, 3.5, 7, 3), 1, 1);
    // The cross says "remove".
    g.setPen(QPen(p.alerta, 3.2, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(20.5, 18.5), QPointF(28.5, 26.5));
    g.drawLine(QPointF(28.5, 18.5), QPointF(20.5, 26.5));
}

void reporte(QPainter& g, const Paleta& p)
{
    g.setPen(trazo(p.linea));
    // Paper going in.
    g.setBrush(p.papel);
    g.drawRect(QRectF(9.5, 3.5, 13, 10));
    // Body.
    g.setBrush(relleno(p, p.principal, {0, 11}, {0, 24}));
    g.drawRoundedRect(QRectF(3.5, 11.5, 25, 12), 2.5, 2.5);
    g.setBrush(p.metal);
    g.drawRect(QRectF(7.5, 19.5, 17, 2.5));
    // Printed page coming out.
    g.setBrush(p.papel);
    g.drawRect(QRectF(9.5, 20.5, 13, 8));
    g.setPen(trazo(p.principal, 1.2));
    g.drawLine(QPointF(11.5, 23.5), QPointF(20.5, 23.5));
    g.drawLine(QPointF(11.5, 26), QPointF(18, 26));
    // Power light.
    g.setPen(Qt::NoPen);
    g.setBrush(p.acento);
    g.drawEllipse(QPointF(24.5, 15), 1.6, 1.6);
}

void consultar(QPainter& g, const Paleta& p)
{
    // Handle first, so the ring covers its end.
    g.setPen(QPen(p.linea, 5.5, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(20, 20), QPointF(27.5, 27.5));
    g.setPen(QPen(p.principal.lighter(120), 2.5, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(21, 21), QPointF(27, 27));
    QRadialGradient lente(QPointF(11, 10), 10);
    lente.setColorAt(0, Qt::white);
    lente.setColorAt(1, p.claro);
    g.setBrush(p.degradado ? QBrush(lente) : QBrush(p.claro));
    g.setPen(QPen(p.principal, 3.2));
    g.drawEllipse(QPointF(13, 13), 8.5, 8.5);
    g.setPen(QPen(p.linea, 1.0));
    g.setBrush(Qt::NoBrush);
    g.drawEllipse(QPointF(13, 13), 10.2, 10.2);
    // Glint.
    g.setPen(QPen(QColor(255, 255, 255, 220), 1.8, Qt::SolidLine, Qt::RoundCap));
    g.drawArc(QRectF(8, 8, 10, 10), 100 * 16, 70 * 16);
}

void planilla(QPainter& g, const Paleta& p)
{
    const QRectF hoja(3.5, 5.5, 25, 21);
    g.setPen(Qt::NoPen);
    g.setBrush(p.papel);
    g.drawRect(hoja);
    g.setBrush(relleno(p, p.principal, {0, 5}, {0, 11}));
    g.drawRect(QRectF(3.5, 5.5, 25, 5));
    g.setBrush(p.claro);
    g.drawRect(QRectF(3.5, 10.5, 6, 16));
    g.setPen(trazo(p.linea.lighter(140), 1.0));
    for (qreal y : {10.5, 15.75, 21.0}) g.drawLine(QPointF(3.5, y), QPointF(28.5, y));
    for (qreal x : {9.5, 16.0, 22.25}) g.drawLine(QPointF(x, 5.5), QPointF(x, 26.5));
    g.setPen(trazo(p.linea));
    g.setBrush(Qt::NoBrush);
    g.drawRect(hoja);
    // One highlighted cell, the one being edited.
    g.setPen(QPen(p.acento.darker(120), 1.6));
    g.drawRect(QRectF(16, 15.75, 6.25, 5.25));
}

void cancelar(QPainter& g, const Paleta& p)
{
    QColor tinte = p.alerta.lighter(190);
    g.setBrush(tinte);
    g.setPen(QPen(p.alerta, 3.6));
    g.drawEllipse(QPointF(16, 16), 11, 11);
    g.setPen(QPen(p.alerta, 3.6, Qt::SolidLine, Qt::FlatCap));
    g.drawLine(QPointF(8.4, 8.4), QPointF(23.6, 23.6));
    g.setPen(QPen(p.alerta.darker(140), 0.8));
    g.setBrush(Qt::NoBrush);
    g.drawEllipse(QPointF(16, 16), 12.8, 12.8);
}

void grabar(QPainter& g, const Paleta& p)
{
    QPainterPath disco;
    disco.moveTo(4.5, 6);
    disco.quadTo(4.5, 4.5, 6, 4.5);
    disco.lineTo(24, 4.5);
    disco.lineTo(27.5, 8);
    disco.lineTo(27.5, 26);
    disco.quadTo(27.5, 27.5, 26, 27.5);
    disco.lineTo(6, 27.5);
    disco.quadTo(4.5, 27.5, 4.5, 26);
    disco.closeSubpath();
    g.setPen(trazo(p.linea));
    g.setBrush(relleno(p, p.principal, {4, 4}, {28, 28}));
    g.drawPath(disco);
    // Metal shutter with its window.
    g.setBrush(relleno(p, p.metal, {10, 0}, {22, 0}));
    g.drawRect(QRectF(9.5, 4.5, 12.5, 8));
    g.setPen(Qt::NoPen);
    g.setBrush(p.linea);
    g.drawRect(QRectF(17, 6, 2.6, 5));
    // Label.
    g.setPen(trazo(p.linea, 1.0));
    g.setBrush(p.papel);
    g.drawRoundedRect(QRectF(8, 16, 16, 11.5), 1, 1);
    g.setPen(trazo(p.principal, 1.2));
    g.drawLine(QPointF(10.5, 19.5), QPointF(21.5, 19.5));
    g.drawLine(QPointF(10.5, 23), QPointF(21.5, 23));
}

void cerrar(QPainter& g, const Paleta& p)
{
    // Door frame and the open door.
    g.setPen(trazo(p.linea));
    g.setBrush(p.claro.darker(115));
    g.drawRect(QRectF(4.5, 3.5, 14, 25));
    QPainterPath puerta;
    puerta.moveTo(4.5, 3.5);
    puerta.lineTo(13.5, 6.5);
    puerta.lineTo(13.5, 30.5);
    puerta.lineTo(4.5, 28.5);
    puerta.closeSubpath();
    g.setBrush(relleno(p, p.principal, {4, 0}, {14, 0}));
    g.drawPath(puerta);
    g.setPen(Qt::NoPen);
    g.setBrush(p.acento);
    g.drawEllipse(QPointF(11.5, 18), 1.3, 1.3);
    // Arrow walking out.
    QPainterPath flecha;
    flecha.moveTo(15, 14);
    flecha.lineTo(22, 14);
    flecha.lineTo(22, 9.5);
    flecha.lineTo(29.5, 16.5);
    flecha.lineTo(22, 23.5);
    flecha.lineTo(22, 19);
    flecha.lineTo(15, 19);
    flecha.closeSubpath();
    g.setPen(trazo(p.alerta.darker(140), 1.0));
    g.setBrush(relleno(p, p.alerta, {0, 9}, {0, 24}));
    g.drawPath(flecha);
}

QImage dibujaTira(const Paleta& p)
{
    // Bar order: Nuevo, Borrar, Reporte, Consultar, Planilla, Cancelar, Grabar, Cerrar.
    const std::function<void(QPainter&, const Paleta&)> iconos[kIconos] = {nuevo,    borrar,   reporte, consultar,
                                                                           planilla, cancelar, grabar,  cerrar};
    QImage capa(kLado * kIconos, kLado, QImage::Format_ARGB32_Premultiplied);
    capa.fill(Qt::transparent);
    for (int i = 0; i < kIconos; ++i) {
        QPainter g(&capa);
        g.setRenderHint(QPainter::Antialiasing);
        g.translate(i * kLado, 0);
        g.setClipRect(0, 0, kLado, kLado);
        iconos[i](g, p);
    }
    QImage tira(capa.size(), QImage::Format_RGB32);
    const QRgb clave = qRgb(255, 0, 255);
    for (int y = 0; y < capa.height(); ++y) {
        for (int x = 0; x < capa.width(); ++x) {
            const QColor c = QColor::fromRgba(capa.pixel(x, y));
            const qreal a = c.alphaF();
            if (a < 0.15) {
                tira.setPixel(x, y, clave);
                continue;
            }
            const auto mezcla = [a](int frente, int fondo) { return qRound(frente * a + fondo * (1 - a)); };
            const QRgb px = qRgb(mezcla(c.red(), kFondoBarra.red()), mezcla(c.green(), kFondoBarra.green()),
                                 mezcla(c.blue(), kFondoBarra.blue()));
            // A drawn pixel must never collide with the key colour.
            tira.setPixel(x, y, px == clave ? qRgb(254, 0, 254) : px);
        }
    }
    return tira;
}
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: dibuja_iconos <carpeta>\n");
        return 2;
    }
    const QDir destino(QString::fromLocal8Bit(argv[1]));
    if (!destino.exists() && !QDir().mkpath(destino.path())) {
        std::fprintf(stderr, "no se puede crear %s\n", argv[1]);
        return 1;
    }
    // Blue, metallic grey, green, orange, and the classic 16-colour look.
    const Paleta paletas[] = {
        {"ABM2021B.bmp", QColor("#1b3f7a"), QColor("#2f6fce"), QColor("#cfe0fa"), QColor("#ffffff"), QColor("#f2b705"),
         QColor("#d33c3c"), QColor("#b8c4d6"), true},
        {"ABM2021M.bmp", QColor("#373d44"), QColor("#7b8794"), QColor("#e4e8ec"), QColor("#fbfbfb"), QColor("#3f86c9"),
         QColor("#b84545"), QColor("#c8ced4"), true},
        {"ABM2021V.bmp", QColor("#1c5a2f"), QColor("#2f9e55"), QColor("#d7f0de"), QColor("#ffffff"), QColor("#f0c419"),
         QColor("#d04a2a"), QColor("#b9cbbf"), true},
        {"ABM2021i.bmp", QColor("#8a4308"), QColor("#f08a24"), QColor("#fde3c8"), QColor("#ffffff"), QColor("#2c7fd8"),
         QColor("#d8372a"), QColor("#d8c6b4"), true},
        {"ABM2021.bmp", QColor("#000000"), QColor("#000080"), QColor("#c0c0c0"), QColor("#ffffff"), QColor("#ffff00"),
         QColor("#c00000"), QColor("#808080"), false},
    };
    for (const Paleta& p : paletas) {
        const QString ruta = destino.filePath(QString::fromLatin1(p.archivo));
        if (!dibujaTira(p).save(ruta, "BMP")) {
            std::fprintf(stderr, "no se pudo escribir %s\n", qPrintable(ruta));
            return 1;
        }
    }
    return 0;
}
