// icono_programa: writes the program's icon as PNG files, drawn by the same
// code as the window's icon, for the menu entry and the desktop shortcut.
//   icono_programa <carpeta>
// gives <carpeta>/titulos-copiadores.png (256 px) and
// <carpeta>/hicolor/<n>x<n>/apps/titulos-copiadores.png for the theme sizes.
#include "titles/iconos.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: icono_programa <carpeta>\n");
        return 2;
    }
    const QString carpeta = QString::fromLocal8Bit(argv[1]);
    const QString nombre = QStringLiteral("titulos-copiadores.png");
    bool bien = iconos::LibroEn(256).save(carpeta + u'/' + nombre);
    for (int lado : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(carpeta).arg(lado);
        bien = QDir().mkpath(dir) && iconos::LibroEn(lado).save(dir + u'/' + nombre) && bien;
    }
    if (!bien) std::fprintf(stderr, "no se pudieron escribir los iconos en %s\n", argv[1]);
    return bien ? 0 : 1;
}
