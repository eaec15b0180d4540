// INI files edited by hand or damaged on the way: every read answers the
// default or the value, never fails.
#include "runtime/rtentorno.h"
#include "runtime/rtini.h"

#include "../archivos_prueba.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

class ArchivoIni : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid() && programa.isValid());
        RtIni::FijaCarpetaConfiguracion(config.path());
        RtEntorno::FijaCarpetaPrograma(programa.path());
    }
    void TearDown() override
    {
        RtIni::FijaCarpetaConfiguracion({});
        RtEntorno::FijaCarpetaPrograma({});
    }
    void archivo(const QByteArray& contenido) { escribeArchivo(config.filePath(QStringLiteral("CN000p.INI")), contenido); }
    QString lee(const QString& seccion, const QString& clave) { return RtIni::LeeIni("CN000p.INI", seccion, clave, "DEF"); }
    QTemporaryDir config, programa;
};

}  // namespace

TEST_F(ArchivoIni, SinSeccionesNingunaClaveSeEncuentra)
{
    archivo("Styles=3\r\nExtendido=Encrypt=yes;\r\n");
    EXPECT_EQ(lee("Conexion", "Extendido"), "DEF");
    EXPECT_EQ(lee("", "Styles"), "DEF");
}

TEST_F(ArchivoIni, ClaveRepetidaValeLaPrimeraComoEnWindows)
{
    archivo("[Conexion]\r\nExtendido=primera;\r\nExtendido=segunda;\r\n[Conexion]\r\nExtendido=tercera;\r\n");
    EXPECT_EQ(lee("Conexion", "Extendido"), "primera;");
}

TEST_F(ArchivoIni, BasuraBinariaDaElValorPorOmision)
{
    QByteArray junk;
    auto* azar = QRandomGenerator::global();
    for (int i = 0; i < 64 * 1024; ++i) junk.append(static_cast<char>(azar->bounded(256)));
    junk.replace('[', 'x');  // no section by chance
    archivo(junk);
    EXPECT_EQ(lee("Conexion", "Extendido"), "DEF");
}

TEST_F(ArchivoIni, BasuraAlrededorNoTapaLaSeccionLegible)
{
    archivo(QByteArrayLiteral("\x00\x01\xff\xfe\x80\r\n[Conexion\r\nExtendido=sin cierre\r\n"
                              "\r\n\x01\x02=\x03\r\n[Iconos]\r\nIconoDelSistema=ICONVARN\x00junk\r\n[Conexion]\r\nExtendido=bien\r\n"));
    EXPECT_EQ(lee("Conexion", "Extendido"), "sin cierre") << "a section without ']' runs to the line end";
    EXPECT_EQ(lee("Iconos", "IconoDelSistema"), QStringLiteral("ICONVARN") + QChar(u'\0') + QStringLiteral("junk"))
        << "the NUL is kept: the value is the caller's to judge";
}

TEST_F(ArchivoIni, LineaSinIgualSeSaltea)
{
    archivo("[Conexion]\r\nExtendido\r\n=solo valor\r\nExtendido=ok\r\n");
    EXPECT_EQ(lee("Conexion", "Extendido"), "ok");
}

TEST_F(ArchivoIni, ArchivoVacioOCarpetaConSuNombreDanElValorPorOmision)
{
    archivo("");
    EXPECT_EQ(lee("Conexion", "Extendido"), "DEF");
    QFile::remove(config.filePath(QStringLiteral("CN000p.INI")));
    ASSERT_TRUE(QDir(config.path()).mkdir(QStringLiteral("CN000p.INI")));
    EXPECT_EQ(lee("Conexion", "Extendido"), "DEF");
}

TEST_F(ArchivoIni, ArchivoSinPermisoDeLecturaDaElValorPorOmision)
{
    archivo("[Conexion]\r\nExtendido=secreto\r\n");
    QFile::setPermissions(config.filePath(QStringLiteral("CN000p.INI")), QFileDevice::WriteOwner);
    if (QFile(config.filePath(QStringLiteral("CN000p.INI"))).open(QIODevice::ReadOnly)) GTEST_SKIP() << "running as root";
    EXPECT_EQ(lee("Conexion", "Extendido"), "DEF");
}
