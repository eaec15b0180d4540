#pragma once
// The titles window with the report definitions in its program folder; the
// preview and data-sheet windows its outputs open are closed after each test.
#include "entorno.h"
#include "reports/rtplanilla.h"
#include "reports/vista_previa.h"

#include <QDir>

class VentanaConSalidas : public VentanaTitulos {
public:
    static void CierraVentanasDeSalida()
    {
        for (QWidget* v : QApplication::topLevelWidgets())
            if (dynamic_cast<reportes::VistaPrevia*>(v) || dynamic_cast<reportes::VentanaPlanilla*>(v)) delete v;
    }

protected:
    void SetUp() override
    {
        VentanaTitulos::SetUp();
        for (const QString& f : QDir(QStringLiteral(REPORTES_DIR)).entryList({QStringLiteral("*.rep")}))
            QFile::copy(QStringLiteral(REPORTES_DIR "/") + f, dir_.filePath(f));
    }
    void TearDown() override
    {
        CierraVentanasDeSalida();
        VentanaTitulos::TearDown();
    }
    /// The lines of a CSV the data sheet wrote (UTF-8 with its mark, CR LF).
    static QStringList lineasCsv(const QString& ruta)
    {
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll().mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};
