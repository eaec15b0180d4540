#pragma once
// The demo database in a fresh file per test, the session connected to it as
// ADMIN, and the program folder pinned to the test's folder.
#include "../aplicacion.h"
#include "../sesion_db.h"

#include "lookup/lib_clscons3.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/mascara_consulta.h"
#include "lookup/modelo_consulta.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class ConsultasDemo : public SesionDb {
protected:
    void SetUp() override
    {
        aplicacion();
        SesionDb::SetUp();
        prepara(lee(DEMO_DIR "/schema.sql"));
        prepara(lee(DEMO_DIR "/demo.sql"));
        conecta();
        DescartaClsCons3();
    }
    void TearDown() override
    {
        DescartaClsCons3();
        SesionDb::TearDown();
    }
    static QString lee(const char* ruta)
    {
        QFile f(QString::fromUtf8(ruta));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << ruta;
        return QString::fromUtf8(f.readAll());
    }
    void ejecuta(const QString& sql) { DB().gCnn.Execute(sql); }
    void configura(const QString& clave, const QString& valor)
    {
        ejecuta(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = '%1'").arg(clave));
        ejecuta(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('%1', '%2')").arg(clave, valor));
    }
    QString rutaVrl() const { return dir.filePath(QStringLiteral("consultas.vrl")); }
    void escribeVrl(const QList<MascaraConsulta::Registro>& registros)
    {
        QFile f(rutaVrl());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const auto& r : registros) f.write(*MascaraConsulta::Escribe(r));
    }
    /// Shows the window as the operator sees it, with the keyboard focus in it.
    static void muestra(Lib_FrmCons3& w)
    {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
};
