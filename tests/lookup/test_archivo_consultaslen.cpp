// CONSULTASLEN.VRL edited by hand or damaged: every width the window cannot
// use falls back to one it can; the lookup always opens and saves again.
#include "fixture.h"

#include "controles.h"
#include "lookup/cabecera_busqueda.h"
#include "lookup/consultaslen.h"

#include <QHeaderView>

class ArchivoConsultasLen : public ConsultasDemo {
protected:
    void archivo(const QByteArray& b)
    {
        QFile f(dir.filePath(QStringLiteral("CONSULTASLEN.VRL")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
    }
    std::unique_ptr<Lib_FrmCons3> abre()
    {
        auto v = std::make_unique<Lib_FrmCons3>();
        v->GrabarCfg = false;
        v->sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO");
        v->Form_Load();
        return v;
    }
};

TEST_F(ArchivoConsultasLen, AnchosNoNumericosQuedanEnElMinimoArrastrable)
{
    archivo("\"TA_TITCOPIADORES\",\"abc|-500|\"\r\n");
    auto v = abre();
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(0), CabeceraDe(*v)->minimumSectionSize());
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(1), CabeceraDe(*v)->minimumSectionSize());
    EXPECT_EQ(v->Modelo()->rowCount(), 10);
}

TEST_F(ArchivoConsultasLen, MasAnchosQueColumnasSobranSinEfecto)
{
    archivo("\"TA_TITCOPIADORES\",\"1500|2500|3000|4000|5000|\"\r\n");
    auto v = abre();
    ASSERT_EQ(CabeceraDe(*v)->count(), 2);
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(0), v->Pixeles(1500));
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(1), v->Pixeles(2500));
}

TEST_F(ArchivoConsultasLen, AnchoEnormeQuedaEnElMaximoDeLaCabecera)
{
    archivo("\"TA_TITCOPIADORES\",\"99999999999999999999|1e300|\"\r\n");
    auto v = abre();
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(0), CabeceraDe(*v)->maximumSectionSize());
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(1), CabeceraDe(*v)->maximumSectionSize());
}

TEST_F(ArchivoConsultasLen, MenosAnchosQueColumnasDejaLasDemasComoEstan)
{
    const int delCampo = CabeceraDe(*abre())->sectionSize(0);
    archivo("\"TA_TITCOPIADORES\",\"1500\"\r\n\"TA_TITCOPIADORES\"\r\n");
    auto v = abre();
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(0), delCampo) << "no '|': nothing read";
    EXPECT_NE(CabeceraDe(*v)->sectionSize(0), v->Pixeles(1500));
    EXPECT_EQ(v->Modelo()->rowCount(), 10);
}

TEST_F(ArchivoConsultasLen, BasuraBinariaSeIgnoraYUnaGrabacionLaConserva)
{
    QByteArray junk;
    for (int i = 0; i < 5000; ++i) junk.append(static_cast<char>((i * 37 + 11) % 256));
    junk.replace('\n', ' ');
    archivo(junk + "\r\n\"MA_CUENTAS\",\"1440|\"\r\n");
    auto v = abre();
    EXPECT_EQ(v->Modelo()->rowCount(), 10);
    QString error;
    ASSERT_TRUE(ConsultasLen::Graba(dir.path() + u'/', QStringLiteral("TA_TITCOPIADORES"), {1500, 2500}, &error))
        << error.toStdString();
    EXPECT_EQ(ConsultasLen::Lee(dir.path() + u'/', QStringLiteral("MA_CUENTAS")), QStringList{"1440|"})
        << "other tables' lines survive";
    EXPECT_EQ(ConsultasLen::Lee(dir.path() + u'/', QStringLiteral("TA_TITCOPIADORES")), QStringList{"1500|2500|"});
}
