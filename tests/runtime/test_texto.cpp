#include "runtime/texto.h"

#include <gtest/gtest.h>

#include <limits>

using namespace rt;

TEST(Val, LeeElNumeroDelPrincipio)
{
    const struct {
        const char* t;
        double v;
    } casos[] = {
        {"12abc", 12},    {" 1.5e2x", 150}, {"abc", 0},    {"", 0},       {"1,5", 1},     {"-.5", -0.5},
        {"1 000", 1000},  {"1.2.3", 1.2},   {"2D3", 2000}, {"1e+", 1},    {"5e-1", 0.5},  {"--5", 0},
        {".", 0},         {"1e999", 0},     {"&H10", 16},  {"&hff", 255}, {"&HFFFF", -1}, {"&H10000", 65536},
        {"&O177777", -1}, {"&H", 0},        {"&X1", 0},
    };
    for (const auto& c : casos) EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(c.t)), c.v) << c.t;
}

TEST(Texto, BusquedasSinCasoYArgumentosFueraDeRango)
{
    EXPECT_EQ(InStr("abcabc", "B", 3), 5);
    EXPECT_EQ(InStr("abc", "x"), 0);
    EXPECT_EQ(InStr("abc", "a", 4), 0);
    EXPECT_EQ(InStr("abc", "", 2), 2);
    EXPECT_EQ(InStr("abc", "a", -3), 1);
    EXPECT_EQ(InStr(QString::fromUtf8("AÑO DE CAMIÓN"), QString::fromUtf8("año de camión")), 1);
    EXPECT_EQ(InStrRev("a.b.c", "."), 4);
    EXPECT_EQ(InStrRev("abc", ""), 3);
    EXPECT_FALSE(Iguales("arbol", QString::fromUtf8("árbol")));
    EXPECT_EQ(ReemplazaSinCaso("Uno uno UNO", "uno", "dos"), "dos dos dos");
    EXPECT_EQ(ReemplazaSinCaso("abc", "", "x"), "abc");
    EXPECT_EQ(Izquierda("abc", -1), "");
    EXPECT_EQ(Derecha("abc", -1), "");
    EXPECT_EQ(Medio("abcdef", 9), "");
    EXPECT_EQ(Medio("abcdef", 0, 2), "ab");
    EXPECT_EQ(Medio("abcdef", 5, 99), "ef");
}

TEST(RedondeoBanquero, MitadAlPar)
{
    const double v[] = {0.5, 1.5, 2.5, -2.5, -3.5, 2.5000001};
    const long long r[] = {0, 2, 2, -2, -4, 3};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(RedondeoBanquero(v[i]), r[i]) << v[i];
    EXPECT_EQ(RedondeoBanquero(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RedondeoBanquero(1e300), std::numeric_limits<long long>::max());
}
