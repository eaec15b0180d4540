#include "../aplicacion.h"
#include "toolbar/utilvarn.h"

#include "runtime/rtentorno.h"
#include "runtime/rtini.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {
const int kIdsEnOrden[] = {1, 2, 3, 6, 7, 8, 4, 5};

// Distinct per strip slot, never magenta.
QColor colorDeRanura(int i)
{
    return QColor::fromHsv(i * 40, 200, 200);
}

class UtilVarnWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        aplicacion();
        // An empty program folder and no INI: style 1's strip is asked for and missing.
        RtEntorno::FijaCarpetaPrograma(programa_.path() + "/");
        RtIni::FijaCarpetaConfiguracion(programa_.path());
    }
    void TearDown() override
    {
        RtEntorno::FijaCarpetaPrograma({});
        RtIni::FijaCarpetaConfiguracion({});
    }
    void escribeTira()
    {
        QImage tira(256, 32, QImage::Format_RGB32);
        tira.fill(QColor(255, 0, 255));
        for (int i = 0; i < 8; ++i)
            for (int y = 8; y < 24; ++y)
                for (int x = 8; x < 24; ++x) tira.setPixelColor(i * 32 + x, y, colorDeRanura(i));
        ASSERT_TRUE(tira.save(programa_.filePath("ABM2021B.bmp"), "BMP"));
    }
    QTemporaryDir programa_;
};
}  // namespace

TEST_F(UtilVarnWidget, ReinitialisingKeepsOneBarAndRestoresEveryFlag)
{
    UtilVarn v;
    v.resize(800, 70);
    v.show();
    v.setBorrarVisible(false);
    v.setGrabarEnabled(false);
    v.setConTitulo(false);
    v.setEnabledPropiedad(false);
    EXPECT_FALSE(v.boton(2)->isVisible());
    EXPECT_FALSE(v.boton(4)->isEnabled());
    EXPECT_TRUE(v.isEnabled());  // the control's Enabled never greys it

    v.ActualizarBotones();
    v.ActualizarBotones();
    const auto barras = v.findChildren<QFrame*>("Standard");
    ASSERT_EQ(barras.size(), 1);
    EXPECT_EQ(barras.first()->findChildren<QToolButton*>().size(), 8);
    EXPECT_EQ(v.findChildren<QToolButton*>().size(), 8);
    EXPECT_TRUE(v.ConTitulo() && v.Enabled());

    const QStringList titulos{"Nuevo", "Borrar", " Reporte", " Consultar", "  Planilla", "Cancelar", "Grabar", "   Cerrar"};
    int xAnterior = -1;
    for (int i = 0; i < 8; ++i) {
        QToolButton* b = v.boton(kIdsEnOrden[i]);
        EXPECT_EQ(b->text(), titulos[i]);
        EXPECT_TRUE(b->isVisible() && b->isEnabled()) << i;
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
        EXPECT_GT(b->x(), xAnterior) << i;
        xAnterior = b->x();
    }
}

TEST_F(UtilVarnWidget, MouseClicksRaiseWordsAndMoveBorrar)
{
    UtilVarn v;
    v.resize(800, 70);
    v.show();
    QSignalSpy spy(&v, &UtilVarn::click);
    QTest::mouseClick(v.boton(7), Qt::LeftButton);
    QTest::mouseClick(v.boton(1), Qt::LeftButton);
    EXPECT_FALSE(v.boton(2)->isEnabled());
    QTest::mouseClick(v.boton(2), Qt::LeftButton);  // greyed: nothing
    QTest::mouseClick(v.boton(4), Qt::LeftButton);
    EXPECT_TRUE(v.boton(2)->isEnabled());
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(0).at(0).toString(), "PLANILLA");
    EXPECT_EQ(spy.at(1).at(0).toString(), "NUEVO");
    EXPECT_EQ(spy.at(2).at(0).toString(), "GRABAR");
}

TEST_F(UtilVarnWidget, ReinitialisingFromInsideAClickHandlerIsSafe)
{
    UtilVarn v;
    v.resize(800, 70);
    v.show();
    int veces = 0;
    QObject::connect(&v, &UtilVarn::click, &v, [&] {
        ++veces;
        v.ActualizarBotones();
    });
    QTest::mouseClick(v.boton(5), Qt::LeftButton);
    QTest::mouseClick(v.boton(5), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(veces, 2);
}

TEST_F(UtilVarnWidget, ShapeDecidesTheBarsDirection)
{
    UtilVarn v;
    v.resize(700, 700);
    v.show();
    QApplication::processEvents();
    EXPECT_EQ(v.orientacion(), Qt::Vertical);
    EXPECT_EQ(v.boton(1)->x(), v.boton(2)->x());
    EXPECT_LT(v.boton(1)->y(), v.boton(2)->y());

    v.resize(900, 200);
    QApplication::processEvents();
    EXPECT_EQ(v.orientacion(), Qt::Horizontal);
    EXPECT_EQ(v.boton(1)->y(), v.boton(2)->y());
    EXPECT_LT(v.boton(1)->x(), v.boton(2)->x());
}

TEST_F(UtilVarnWidget, MissingStripLeavesCaptionsEvenWithoutTitles)
{
    UtilVarn v;
    EXPECT_EQ(v.archivoIconos(), programa_.path() + "/ABM2021B.bmp");
    v.setConTitulo(false);  // icon-only would leave blank buttons
    for (int id : kIdsEnOrden) {
        EXPECT_TRUE(v.boton(id)->icon().isNull()) << id;
        EXPECT_EQ(v.boton(id)->toolButtonStyle(), Qt::ToolButtonTextOnly) << id;
    }
}

TEST_F(UtilVarnWidget, StripImagesGoToButtonsInBarOrderWithMagentaKeyedOut)
{
    escribeTira();
    UtilVarn v;
    for (int i = 0; i < 8; ++i) {
        QToolButton* b = v.boton(kIdsEnOrden[i]);
        const QImage img = b->icon().pixmap(QSize(32, 32)).toImage();
        ASSERT_FALSE(img.isNull()) << i;
        EXPECT_EQ(img.pixelColor(16, 16).rgb(), colorDeRanura(i).rgb()) << i;
        EXPECT_EQ(img.pixelColor(1, 1).alpha(), 0) << i;
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }
    v.setConTitulo(false);
    EXPECT_EQ(v.boton(1)->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

TEST_F(UtilVarnWidget, QtKeysBecomeVbCodesAndFireThroughTheWidget)
{
    const std::pair<int, int> casos[] = {
        {Qt::Key_Escape, 27}, {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Tab, 9},
        {Qt::Key_F1, 112},    {Qt::Key_F10, 121},   {Qt::Key_F12, 123},  {Qt::Key_A, 65},
        {Qt::Key_Z, 90},      {Qt::Key_0, 48},      {Qt::Key_9, 57},     {Qt::Key_Left, 37},
        {Qt::Key_Down, 40},   {Qt::Key_Delete, 46}, {Qt::Key_F13, 0},    {Qt::Key_Ntilde, 0},
    };
    for (const auto& [qt, vb] : casos) {
        QKeyEvent e(QEvent::KeyPress, qt, Qt::NoModifier);
        EXPECT_EQ(UtilVarn::CodigoTecla(&e), vb) << qt;
    }
    EXPECT_EQ(UtilVarn::CodigoTecla(nullptr), 0);

    UtilVarn v;
    QSignalSpy spy(&v, &UtilVarn::click);
    QKeyEvent f10(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
    v.KeyAnalisis(UtilVarn::CodigoTecla(&f10));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), "BORRAR");
}
