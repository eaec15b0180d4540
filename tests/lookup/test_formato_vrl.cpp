// consultas.vrl as the suite's Windows installations write it, built here from
// literal byte offsets (not from the reader's own constants), so a change of
// the record layout cannot pass unnoticed.
#include "lookup/mascara_consulta.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../qt_print.h"

#include "registro_vrl.h"

TEST(FormatoVrl, RecordsWrittenByTheSuiteAreReadAtTheirOffsetsAndWrittenBackByteForByte)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("consultas.vrl"));
    {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(registro("Clientes", "VT_CLIENTES", "Codigo|Razon", ""));
        // Filled with NUL, as some of the suite's writers leave it.
        f.write(registro("", "TA_DEPOSITO", "Codigo|Descripcion", "Activo = 1", '\0'));
        // Windows-1252 text: "Descripción", "Año".
        f.write(registro("Plan de cuentas", "MA_CUENTAS", "Codigo|Descripci\xf3n|A\xf1o", "titulo = 0"));
    }
    const auto cuentas = MascaraConsulta::Busca(ruta, QStringLiteral("ma_cuentas "));
    ASSERT_TRUE(cuentas.has_value());
    EXPECT_EQ(cuentas->campos, QStringLiteral("Codigo|Descripción|Año"));
    EXPECT_EQ(cuentas->filtro, QStringLiteral("titulo = 0"));
    const auto deposito = MascaraConsulta::Busca(ruta, QStringLiteral("TA_DEPOSITO"));
    ASSERT_TRUE(deposito.has_value());
    EXPECT_EQ(deposito->filtro, QStringLiteral("Activo = 1"));
    EXPECT_TRUE(deposito->nota.isEmpty());

    const auto escrito = MascaraConsulta::Escribe(*cuentas);
    ASSERT_TRUE(escrito.has_value());
    EXPECT_EQ(*escrito, registro("Plan de cuentas", "MA_CUENTAS", "Codigo|Descripci\xf3n|A\xf1o", "titulo = 0"));
}
