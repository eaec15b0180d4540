#include "runtime/rtentorno.h"
#include "runtime/rtini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void escribe(const QString& ruta, const QByteArray& contenido)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contenido);
}

class Ini : public ::testing::Test {
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
    QString lee(const QString& seccion, const QString& clave) { return RtIni::LeeIni("Titulos.ini", seccion, clave, "DEF"); }
    QTemporaryDir config, programa;
};

}  // namespace

TEST(RtEntorno, ValoresRealesYFijados)
{
    EXPECT_EQ(RtEntorno::CarpetaPrograma(), QFileInfo("/proc/self/exe").symLinkTarget().section('/', 0, -2) + "/");
    EXPECT_EQ(RtEntorno::NombreEjecutable(), "runtime_tests");
    EXPECT_FALSE(RtEntorno::NombreUsuario().isEmpty());
    const QString tmp = RtEntorno::CarpetaTemporal();
    EXPECT_TRUE(tmp.endsWith('/') && ::access(QFile::encodeName(tmp).constData(), W_OK) == 0) << tmp.toStdString();

    RtEntorno::FijaCarpetaPrograma("/opt/titulos");
    RtEntorno::FijaNombreUsuario("ana");
    EXPECT_EQ(RtEntorno::CarpetaPrograma(), "/opt/titulos/");
    EXPECT_EQ(RtEntorno::NombreUsuario(), "ana");
    RtEntorno::FijaCarpetaPrograma({});
    RtEntorno::FijaNombreUsuario({});
    EXPECT_NE(RtEntorno::CarpetaPrograma(), "/opt/titulos/");
}

TEST_F(Ini, SeccionesClavesYComentarios)
{
    escribe(config.filePath("TITULOS.INI"),
            "clave=fuera\r\n[General]\r\n; Ruta=comentada\r\nRuta =  /datos/a  \r\nruta=segunda\r\n"
            "Vacia=\r\nCitada=\" con blancos \"\r\n[ Otra ]\r\nRuta=otra\r\n[general]\r\nExtra=1\r\n");
    EXPECT_EQ(lee("general", "RUTA"), "/datos/a");
    EXPECT_EQ(lee("Otra", "ruta"), "otra");
    EXPECT_EQ(lee("General", "Vacia"), "");
    EXPECT_EQ(lee("General", "Citada"), " con blancos ");
    EXPECT_EQ(lee("General", "Extra"), "1");
    EXPECT_EQ(lee("Falta", "Ruta"), "DEF");
    EXPECT_EQ(lee("", "clave"), "DEF");
    EXPECT_EQ(RtIni::LeeIni("noexiste.ini", "General", "Ruta", "DEF"), "DEF");
}

TEST_F(Ini, CodificacionDelArchivo)
{
    escribe(config.filePath("titulos.ini"), "[S]\nA=Espa\xf1"
                                            "a \x80\n");
    EXPECT_EQ(lee("S", "A"), QString::fromUtf8("España €"));
    escribe(config.filePath("titulos.ini"), "\xEF\xBB\xBF[S]\nA=Espa\xc3\xb1"
                                            "a\n");
    EXPECT_EQ(lee("S", "A"), QString::fromUtf8("España"));
}

TEST_F(Ini, OrdenDeLasCarpetas)
{
    escribe(programa.filePath("Titulos.ini"), "[S]\nA=programa\n");
    EXPECT_EQ(lee("S", "A"), "programa");
    escribe(config.filePath("titulos.INI"), "[S]\nB=config\n");
    // The first file found is the one read, even when it lacks the key.
    EXPECT_EQ(lee("S", "B"), "config");
    EXPECT_EQ(lee("S", "A"), "DEF");
    EXPECT_EQ(RtIni::LeeIni(programa.filePath("TITULOS.ini"), "s", "a", "DEF"), "programa");
}

// Files edited by hand or damaged on the way: every read answers the default
// or the value, never fails.
class ArchivoIni : public Ini {
protected:
    void archivo(const QByteArray& contenido) { escribe(config.filePath(QStringLiteral("CN000p.INI")), contenido); }
    QString lee(const QString& seccion, const QString& clave) { return RtIni::LeeIni("CN000p.INI", seccion, clave, "DEF"); }
};

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
    archivo(QByteArrayLiteral(
        "\x00\x01\xff\xfe\x80\r\n[Conexion\r\nExtendido=sin cierre\r\n"
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
