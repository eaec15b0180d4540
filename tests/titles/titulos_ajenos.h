#pragma once
// The demo titles as imports and hand-written SQL leave them: unpadded, padded
// on both sides, a letter code, and one code stored twice.
#include "entorno.h"

class TitulosAjenos : public VentanaTitulos {
protected:
    void SetUp() override
    {
        VentanaTitulos::SetUp();
        ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET CODIGO = '2' WHERE CODIGO = '   2'"));
        ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET CODIGO = ' 4 ' WHERE CODIGO = '   4'"));
        ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET CODIGO = 'AB' WHERE CODIGO = '   5'"));
        ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC) "
                               "SELECT '3', 'Deudores (copia)', DESDE, HASTA, TC FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"));
    }
    int filas(const QString& codigo)
    {
        return cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '%1'").arg(codigo));
    }
    void reemplazaDescripcion(const QString& codigo, const QString& descripcion)
    {
        escribeYEnter(0, codigo);
        ASSERT_TRUE(w().EsExistente()) << codigo.toStdString();
        escribe(1, descripcion);
        teclado::Pulsa(Qt::Key_F2);
    }
    void borra(const QString& codigo)
    {
        escribeYEnter(0, codigo);
        guion.op.respuestas.push_back(rt::vbYes);
        teclado::Pulsa(Qt::Key_F10);
    }
};
