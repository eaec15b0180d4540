// Icon strips, style sheets and the program icon missing or damaged in the
// program folder: the window keeps a usable look and every command works.
#include "entorno.h"

#include <QDir>
#include <QToolButton>

class ArchivoApariencia : public VentanaTitulos {
protected:
    void archivo(const QString& nombre, const QByteArray& contenido)
    {
        QDir(dir_.path()).mkpath(QFileInfo(dir_.filePath(nombre)).path());
        QFile f(dir_.filePath(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    static QByteArray basura(int n)
    {
        QByteArray b;
        for (int i = 0; i < n; ++i) b.append(static_cast<char>((i * 151 + 5) % 256));
        return b;
    }
    int conIcono()
    {
        int n = 0;
        for (const auto& b : UtilVarnLogica::Botones())
            if (!barra()->boton(b.id)->icon().isNull()) ++n;
        return n;
    }
    /// F3 still starts a new title: the window answers its keys.
    void responde()
    {
        teclado::Pulsa(Qt::Key_F3);
        EXPECT_TRUE(w().EsNuevo());
        EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    }
};

TEST_F(ArchivoApariencia, TiraDeIconosQueFaltaDejaLosBotonesConSuTitulo)
{
    abre();
    EXPECT_EQ(conIcono(), 0);
    for (const auto& b : UtilVarnLogica::Botones()) EXPECT_FALSE(barra()->boton(b.id)->text().trimmed().isEmpty()) << b.id;
    responde();
}

TEST_F(ArchivoApariencia, TiraDeIconosConBasuraOMasAngostaQueLaBarraSeIgnora)
{
    archivo(QStringLiteral("ABM2021B.bmp"), "BM" + basura(5000));
    abre();
    EXPECT_EQ(conIcono(), 0);
    QImage angosta(3, 16, QImage::Format_RGB32);
    angosta.fill(Qt::blue);
    ASSERT_TRUE(angosta.save(dir_.filePath(QStringLiteral("ABM2021B.bmp")), "BMP"));
    abre();
    EXPECT_EQ(conIcono(), 0) << "narrower than one pixel a button";
    QImage buena(16 * UtilVarnLogica::kBotones, 16, QImage::Format_RGB32);
    buena.fill(Qt::blue);
    ASSERT_TRUE(buena.save(dir_.filePath(QStringLiteral("ABM2021B.bmp")), "BMP"));
    abre();
    EXPECT_EQ(conIcono(), UtilVarnLogica::kBotones);
    responde();
}

TEST_F(ArchivoApariencia, HojaDeEstiloBinariaDejaElAspectoDeLaPlataforma)
{
    // A skin of the suite's Windows installations: another toolkit's binary file.
    archivo(QStringLiteral("Styles/Vista.cjstyles"), basura(20000) + "QWidget { background: red; }");
    abre();
    EXPECT_TRUE(w().ArchivoSkin().isEmpty());
    EXPECT_TRUE(w().styleSheet().isEmpty());
    responde();
}

TEST_F(ArchivoApariencia, HojaDeEstiloEnWindows1252ConservaSusAcentos)
{
    archivo(QStringLiteral("Styles/Vista.cjstyles"), "/* t\xedtulo */ QLabel { color: #123456; }");
    abre();
    EXPECT_EQ(w().styleSheet(), QStringLiteral("/* título */ QLabel { color: #123456; }"));
}

TEST_F(ArchivoApariencia, HojaDeEstiloQueEsUnaCarpetaOMalEscritaNoDetieneLaVentana)
{
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("Styles/Vista.cjstyles")));
    abre();
    EXPECT_TRUE(w().ArchivoSkin().isEmpty());
    responde();
    QDir(dir_.filePath(QStringLiteral("Styles/Vista.cjstyles"))).removeRecursively();
    archivo(QStringLiteral("Styles/Vista.cjstyles"), "QWidget { color: ; background: url(\n}}} {{ QLabel");
    abre();
    responde();
}

TEST_F(ArchivoApariencia, IconoDelProgramaConBasuraConservaElDibujado)
{
    archivo(QStringLiteral("CN000p.INI"), "[Iconos]\r\nIconoDelSistema=PROPIO\r\n");
    archivo(QStringLiteral("propio.ico"), basura(3000));
    abre();
    EXPECT_FALSE(w().windowIcon().isNull());
    responde();
}
