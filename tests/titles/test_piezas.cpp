// The window's parts: voucher marks, field services, skin and icon.
#include "entorno.h"

#include "titles/rtcampos.h"

#include <QDir>
#include <QImage>
#include <QPushButton>

TEST(ExistePalabra, EntriesAreComparedWholeTrimmedAndWithoutCase)
{
    EXPECT_TRUE(frmTA_TITCOPIADORES::ExistePalabra(" fc ,RC", "FC", ","));
    EXPECT_TRUE(frmTA_TITCOPIADORES::ExistePalabra(" fc ,RC", " rc", ","));
    EXPECT_FALSE(frmTA_TITCOPIADORES::ExistePalabra("FC,RC", "R", ","));
    EXPECT_FALSE(frmTA_TITCOPIADORES::ExistePalabra("   ", "", ","));
    EXPECT_FALSE(frmTA_TITCOPIADORES::ExistePalabra("FC,", "", ","));
    EXPECT_TRUE(frmTA_TITCOPIADORES::ExistePalabra("FC", "fc", ""));
    EXPECT_TRUE(frmTA_TITCOPIADORES::ExistePalabra("FCxyRC", "rc", "XY"));
}

TEST_F(VentanaTitulos, MarksFollowTheStoredListAndCmdTodosInvertsThem)
{
    ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET TC = ' fc ,RC,  ZZ' WHERE CODIGO = '   3'"));
    abre();
    escribeYEnter(0, QStringLiteral("3"));
    EXPECT_EQ(w().CptesMarcados(), "  FC,  RC");
    QTest::mouseClick(ControlDe<QPushButton>(w(), "CmdTodos"), Qt::LeftButton);
    EXPECT_EQ(w().CptesMarcados().split(',').size(), 14);
    EXPECT_FALSE(w().CptesMarcados().contains("FC"));
    w().CmdTodos_Click();
    EXPECT_EQ(w().CptesMarcados(), "  FC,  RC");
}

TEST_F(VentanaTitulos, NothingMarkedIsStoredAsEmpty)
{
    ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET TC = '' WHERE CODIGO = '   5'"));
    abre();
    escribeYEnter(0, QStringLiteral("5"));
    EXPECT_EQ(w().CptesMarcados(), "");
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_EQ(valor("SELECT TC FROM TA_TITCOPIADORES WHERE CODIGO = '   5'"), "");
}

TEST_F(VentanaTitulos, FieldServicesFillAndClearTheBoxes)
{
    abre();
    const QList<QLineEdit*> cajas{caja(0), caja(1), caja(2), caja(3)};
    EXPECT_EQ(RtCampos::IndiceCampo(" hasta ", cajas), 3);

    adodb::Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT * FROM TA_TITCOPIADORES WHERE CODIGO = '  10'"), rs);
    RtCampos::RegistroACampos(cajas, rs);
    EXPECT_EQ(caja(0)->text(), "10");
    EXPECT_EQ(caja(3)->text(), "53010111001");
    rs.MoveNext();
    RtCampos::RegistroACampos(cajas, rs);
    EXPECT_TRUE(caja(0)->text().isEmpty());

    for (int i = 0; i < 4; ++i) caja(i)->setText("x");
    itemDe("FC")->setCheckState(Qt::Unchecked);
    RtCampos::LimpiaFormulario(&w(), 1);
    EXPECT_EQ(caja(0)->text(), "x");
    EXPECT_TRUE(caja(1)->text().isEmpty());
    EXPECT_EQ(itemDe("FC")->checkState(), Qt::Checked) << "a cleared record starts with every voucher marked";
    RtCampos::LimpiaFormulario(&w());
    EXPECT_TRUE(caja(0)->text().isEmpty());
}

TEST_F(VentanaTitulos, SkinAndIconComeFromTheProgramFolder)
{
    // No INI entry: skin 1. Its file is missing: the platform look, no message.
    abre();
    EXPECT_EQ(w().NumeroSkin(), 1);
    EXPECT_TRUE(w().ArchivoSkin().isEmpty());
    EXPECT_TRUE(w().styleSheet().isEmpty());

    QFile ini(dir_.filePath("cn000pr.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[PRUEBAStyles]\nStyles=2.4\n");
    ini.close();
    QFile iniSistema(dir_.filePath("CN000p.INI"));
    ASSERT_TRUE(iniSistema.open(QIODevice::WriteOnly));
    iniSistema.write("[Iconos]\nIconoDelSistema=propio\n");
    iniSistema.close();
    ASSERT_TRUE(QDir(dir_.path()).mkpath("Styles"));
    QFile skin(dir_.filePath("Styles/WinXP.Luna.cjstyles"));
    ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
    skin.write("QLabel { color: #123456; }");
    skin.close();
    QImage rojo(16, 16, QImage::Format_ARGB32);
    rojo.fill(Qt::red);
    ASSERT_TRUE(rojo.save(dir_.filePath("PROPIO.png")));

    w().CargarSkin();
    w().PreparaFormulario();
    EXPECT_EQ(w().NumeroSkin(), 2);
    EXPECT_TRUE(w().ArchivoSkin().endsWith("Styles/WinXP.Luna.cjstyles"));
    EXPECT_EQ(w().styleSheet(), "QLabel { color: #123456; }");
    EXPECT_EQ(w().windowIcon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
}
