#include "toolbar/utilvarn_logica.h"

#include "runtime/rtentorno.h"
#include "runtime/rtini.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// VB key codes.
constexpr int kEsc = 27, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116, kF6 = 117, kF10 = 121;

QStringList textos(const QSignalSpy& spy)
{
    QStringList r;
    for (const auto& args : spy) r << args.at(0).toString();
    return r;
}
}  // namespace

TEST(UtilVarnTeclas, EscCancelsBeforeClosing)
{
    UtilVarnLogica l;
    QSignalSpy spy(&l, &UtilVarnLogica::click);
    l.setCerrarEnabled(false);
    l.KeyAnalisis(kEsc);  // Cancelar wins whatever Cerrar says
    l.setCerrarEnabled(true);
    l.KeyAnalisis(kEsc);
    l.setCancelarEnabled(false);
    l.KeyAnalisis(kEsc);
    l.setCerrarEnabled(false);
    EXPECT_FALSE(l.KeyAnalisis(kEsc));
    EXPECT_EQ(textos(spy), (QStringList{"CANCELAR", "CANCELAR", "CERRAR"}));
}

TEST(UtilVarnTeclas, FunctionKeysHeedOnlyTheirEnableFlag)
{
    UtilVarnLogica l;
    QSignalSpy spy(&l, &UtilVarnLogica::click);
    for (int k : {kF2, kF3, kF4, kF5, kF6, kF10}) l.KeyAnalisis(k);
    EXPECT_EQ(textos(spy), (QStringList{"GRABAR", "NUEVO", "REPORTE", "CONSULTAR", "PLANILLA", "BORRAR"}));
    EXPECT_TRUE(l.BorrarEnabled());  // F3 is not the Nuevo button: Borrar stays

    l.setBorrarEnabled(false);
    EXPECT_FALSE(l.KeyAnalisis(kF10));
    // Hidden but enabled still answers, and the control's Enabled never blocks.
    l.setBorrarEnabled(true);
    l.setBorrarVisible(false);
    l.setEnabled(false);
    EXPECT_TRUE(l.KeyAnalisis(kF10));

    for (int k : {118, 119, 120, 122, 123, 13, 65, 90, 0, -1}) EXPECT_FALSE(l.KeyAnalisis(k)) << k;
    EXPECT_EQ(spy.count(), 7);
}

TEST(UtilVarnBotones, NuevoLocksBorrarGrabarAndCerrarReleaseItQuietly)
{
    UtilVarnLogica l;
    QSignalSpy clicks(&l, &UtilVarnLogica::click);
    QSignalSpy avisos(&l, &UtilVarnLogica::propertyChanged);
    l.BotonEjecutado("Nuevo");
    EXPECT_FALSE(l.BorrarEnabled());
    l.BotonEjecutado("Cancelar");
    EXPECT_FALSE(l.BorrarEnabled());
    l.BotonEjecutado("Grabar");
    EXPECT_TRUE(l.BorrarEnabled());
    l.BotonEjecutado("Nuevo");
    l.BotonEjecutado("   Cerrar");
    EXPECT_TRUE(l.BorrarEnabled());
    EXPECT_EQ(textos(clicks), (QStringList{"NUEVO", "CANCELAR", "GRABAR", "NUEVO", "CERRAR"}));
    EXPECT_EQ(avisos.count(), 0);
}

TEST(UtilVarnPropiedades, OddlyNamedPropertiesAnnounceTheirSavedName)
{
    UtilVarnLogica l;
    QSignalSpy spy(&l, &UtilVarnLogica::propertyChanged);
    l.setconsultarVisible(false);
    l.setConsultaEnabled(false);
    l.setConTitulo(false);
    l.setEnabled(false);
    EXPECT_EQ(textos(spy), (QStringList{"ConsultarVisible", "ConsultaEnabled", "ConTitulo", "Enabled"}));
    EXPECT_FALSE(l.Visible(3));
    EXPECT_FALSE(l.Habilitado(3));
}

TEST(UtilVarnPropiedades, ThemeKeepsOnlyZeroToTwo)
{
    UtilVarnLogica l;
    EXPECT_EQ(l.Theme(), 0);
    l.setTheme(2);
    EXPECT_EQ(l.Theme(), 2);
    for (int malo : {5, -1, 65538}) {  // 65538 would wrap to 2 in 16 bits
        l.setTheme(1);
        l.setTheme(malo);
        EXPECT_EQ(l.Theme(), 0) << malo;
    }
}

TEST(UtilVarnPropiedades, InitialisationRestoresFlagsAndAnnouncesTheEnableOnes)
{
    UtilVarnLogica l;
    for (int i = 0; i < UtilVarnLogica::kBotones; ++i) {
        l.setHabilitado(i, false);
        l.setVisible(i, false);
    }
    l.setConTitulo(false);
    l.setEnabled(false);
    l.setTheme(2);
    QSignalSpy spy(&l, &UtilVarnLogica::propertyChanged);
    l.Inicializa();
    for (int i = 0; i < UtilVarnLogica::kBotones; ++i) EXPECT_TRUE(l.Habilitado(i) && l.Visible(i)) << i;
    EXPECT_TRUE(l.ConTitulo() && l.Enabled());
    EXPECT_EQ(l.Theme(), 2);
    EXPECT_EQ(textos(spy), (QStringList{"NuevoEnabled", "BorrarEnabled", "ReporteEnabled", "ConsultaEnabled", "PlanillaEnabled",
                                        "CancelarEnabled", "GrabarEnabled", "CerrarEnabled"}));
}

TEST(UtilVarnPropiedades, SavedValuesComeBackAndMissingNamesReadTrue)
{
    UtilVarnLogica origen;
    origen.setConTitulo(false);
    origen.setConsultaEnabled(false);
    origen.setconsultarVisible(false);
    origen.setCerrarVisible(false);
    QVariantMap bolsa;
    origen.guardaPropiedades(bolsa);
    EXPECT_EQ(bolsa.value("ConsultarVisible"), QVariant(false));

    bolsa.remove("CerrarVisible");
    UtilVarnLogica destino;
    destino.leePropiedades(bolsa);
    EXPECT_FALSE(destino.ConTitulo());
    EXPECT_FALSE(destino.ConsultaEnabled());
    EXPECT_FALSE(destino.consultarVisible());
    EXPECT_TRUE(destino.CerrarVisible());
    EXPECT_TRUE(destino.NuevoEnabled() && destino.Enabled());
}

TEST(UtilVarnForma, WiderThanTallIsHorizontalEverythingElseVertical)
{
    EXPECT_EQ(UtilVarnLogica::OrientacionPara(61, 60), Qt::Horizontal);
    EXPECT_EQ(UtilVarnLogica::OrientacionPara(60, 60), Qt::Vertical);
    EXPECT_EQ(UtilVarnLogica::OrientacionPara(80, 500), Qt::Vertical);
}

TEST(UtilVarnIconos, StyleTextMustMatchExactly)
{
    EXPECT_EQ(UtilVarnLogica::ArchivoIconos("1"), "ABM2021B.bmp");
    EXPECT_EQ(UtilVarnLogica::ArchivoIconos("2"), "ABM2021M.bmp");
    EXPECT_EQ(UtilVarnLogica::ArchivoIconos("3"), "ABM2021V.bmp");
    EXPECT_EQ(UtilVarnLogica::ArchivoIconos("4"), "ABM2021i.bmp");
    for (const char* otro : {"02", "2 ", " 1", "5", ""}) EXPECT_EQ(UtilVarnLogica::ArchivoIconos(otro), "ABM2021.bmp") << otro;
}

TEST(UtilVarnIconos, StripComesFromTheUsersIniSection)
{
    QTemporaryDir programa, config;
    RtEntorno::FijaCarpetaPrograma(programa.path() + "/");
    RtIni::FijaCarpetaConfiguracion(config.path());
    RtEntorno::FijaNombreUsuario("ana");
    const auto escribe = [&](const QByteArray& valor) {
        QFile f(config.filePath("cn000pr.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[OTROStyles]\r\nStyles=3\r\n[ANAStyles]\r\nStyles=" + valor + "\r\n");
    };
    EXPECT_EQ(UtilVarnLogica::ArchivoIconosConfigurado(), "ABM2021B.bmp");  // no INI: style 1
    escribe("4");
    EXPECT_EQ(UtilVarnLogica::RutaIconos(), programa.path() + "/ABM2021i.bmp");
    escribe("02");
    EXPECT_EQ(UtilVarnLogica::ArchivoIconosConfigurado(), "ABM2021.bmp");
    RtEntorno::FijaCarpetaPrograma({});
    RtIni::FijaCarpetaConfiguracion({});
    RtEntorno::FijaNombreUsuario({});
}
