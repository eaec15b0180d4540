#include "runtime/rttexto.h"

#include <gtest/gtest.h>

using adodb::Variant;

TEST(RtTexto, CamposYTextos)
{
    EXPECT_EQ(RtTexto::ValorCampo(Variant::Null()), "");
    EXPECT_EQ(RtTexto::ValorCampo(Variant(42)), "42");
    EXPECT_EQ(RtTexto::AnchoFijo(Variant()), "");
    EXPECT_EQ(RtTexto::QuitaCaracteres(QString::fromUtf8("1-2.ñ😀x"), QString::fromUtf8("-.😀ñ")), "12x");
    EXPECT_EQ(RtTexto::Reemplaza("aAa", "a", "b"), "bAb");
    EXPECT_EQ(RtTexto::CuentaPalabras("   "), 0);
    EXPECT_EQ(RtTexto::CuentaPalabras("  a  b\tc "), 3);
    EXPECT_EQ(RtTexto::AnchoFijo("12", 5), "   12");
    EXPECT_EQ(RtTexto::AnchoFijo("123456", 4), "1234");
    EXPECT_EQ(RtTexto::AnchoFijo("abc", -2), "");
    EXPECT_EQ(RtTexto::RutaCarpeta(""), "");
    EXPECT_EQ(RtTexto::RutaCarpeta("/datos///"), "/datos/");
    EXPECT_EQ(RtTexto::RutaCarpeta("//"), "/");
}

TEST(RtTexto, TextoANumeroYEntero)
{
    EXPECT_DOUBLE_EQ(RtTexto::TextoANumero("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(RtTexto::TextoANumero("1,000.5"), 1);  // both marks: "," stops the reading
    EXPECT_DOUBLE_EQ(RtTexto::TextoANumero("-1,00005"), -1.0001);
    EXPECT_DOUBLE_EQ(RtTexto::TextoANumero("0,00145"), 0.0015);  // 14.4999... once scaled in binary
    EXPECT_DOUBLE_EQ(RtTexto::TextoANumero("0.00004"), 0);
    EXPECT_DOUBLE_EQ(RtTexto::TextoANumero("123456789.12345"), 123456789.1235);
    EXPECT_DOUBLE_EQ(RtTexto::TextoANumero("1e20"), 1e20);
    EXPECT_DOUBLE_EQ(RtTexto::TextoANumero("12 kg"), 12);
    EXPECT_EQ(RtTexto::TextoAEntero("2,5"), 2);
    EXPECT_EQ(RtTexto::TextoAEntero("3.5"), 4);
    EXPECT_EQ(RtTexto::TextoAEntero("2,50001"), 3);
    EXPECT_EQ(RtTexto::TextoAEntero("-7.6x"), -8);
}

TEST(RtTexto, ClaveIdaYVueltaYBasura)
{
    for (const QString& c : {QString(), QString::fromUtf8("contraseña ÁÉ 😀 日本"), QString(200, u'x')}) {
        const QString g = RtTexto::CodificaClave(c);
        for (QChar ch : g) ASSERT_TRUE(ch.unicode() > 32 && ch.unicode() < 127) << g.toStdString();
        EXPECT_EQ(RtTexto::DecodificaClave(g), c);
    }
    for (const char* g : {"xyz", "ABC", "12 4", "ñ1"}) EXPECT_EQ(RtTexto::DecodificaClave(QString::fromUtf8(g)), "") << g;
    // Half of a two-byte character is not text.
    EXPECT_EQ(RtTexto::DecodificaClave(RtTexto::CodificaClave(QString::fromUtf8("ñ")).left(2)), "");
}
