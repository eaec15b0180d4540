#pragma once
// What the X-server benchmarks share: the benchmark database in a folder of
// their own, and the main window loaded on it and shown as the program does.
#include "adodb/connection.h"
#include "lookup/def_qconsulta.h"
#include "lookup/lib_clscons3.h"
#include "runtime/operador_qt.h"
#include "session/cnstuff.h"
#include "titles/frmta_titcopiadores.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

inline QString LeeArchivo(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no se pudo leer %s\n", qPrintable(ruta));
        std::exit(2);
    }
    return QString::fromUtf8(f.readAll());
}

/// Runs the event loop for `ms` milliseconds.
inline void Espera(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

inline void AvisaSiNoHayX()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        std::printf("ATENCION: plataforma offscreen; este banco mide un servidor X real (QT_QPA_PLATFORM=xcb)\n");
}

/// Writes `base` from the demo schema and the benchmark data, then `ajuste`.
inline void CreaBaseDeBanco(const QString& base, const QString& ajuste)
{
    {
        QFile f(base);
        f.open(QIODevice::WriteOnly);
    }
    adodb::Connection cn;
    cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(base));
    cn.Execute(LeeArchivo(QStringLiteral(DEMO_DIR "/schema.sql")));
    cn.Execute(LeeArchivo(QStringLiteral(DEMO_DIR "/bench.sql")));
    cn.Execute(ajuste);
}

/// Loads the main window on `base` as ADMIN and shows it, settled; false when it did not load.
inline bool MuestraVentana(frmTA_TITCOPIADORES& ventana, rt::OperadorQt& operador, const QString& base)
{
    CNStuffContable::PreparaConsulta = [] { PreparaConsultas(); };
    ventana.ConsultarTabla = Def_QConsulta::ConsultaClave;
    operador.fijaPadre(&ventana);
    const QStringList args{QStringLiteral("@Server=;"), QStringLiteral("@DbName=") + base + u';',
                           QStringLiteral("@Usuario=ADMIN;"), QStringLiteral("@Password=;")};
    if (!ventana.Form_Load(CNStuffContable::LineaComandos(args))) return false;
    ventana.show();
    ventana.activateWindow();
    Espera(500);
    return true;
}
