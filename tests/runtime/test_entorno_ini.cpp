#include "runtime/rtentorno.h"
#include "runtime/rtini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    escribe(config.filePath("titulos.ini"), "[S]\nA=Espa\xf1" "a \x80\n");
    EXPECT_EQ(lee("S", "A"), QString::fromUtf8("España €"));
    escribe(config.filePath("titulos.ini"), "\xEF\xBB\xBF[S]\nA=Espa\xc3\xb1" "a\n");
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
