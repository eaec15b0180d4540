// What the operator types in a lookup's search box reaches the server as part
// of a LIKE: its wildcards work, and nothing typed breaks the statement.
#include "fixture.h"

#include "busqueda_hostil.h"

class BusquedaHostil : public ConsultasDemo {
protected:
    void SetUp() override
    {
        ConsultasDemo::SetUp();
        hostil::CreaTabla();
    }
    void SinDaños()
    {
        EXPECT_EQ(hostil::Filas().size(), static_cast<size_t>(hostil::Descripciones().size() + 1));
        EXPECT_EQ(hostil::Codigos(QStringLiteral("SELECT CODIGO FROM TA_TITCOPIADORES")).size(), 10u);
        EXPECT_TRUE(guion.op.preguntas.empty()) << hostil::Mensajes(guion.op).toStdString();
    }
};

TEST_F(BusquedaHostil, ListF5FindsWhatTheTypedPatternMeansWithOrWithoutContains)
{
    hostil::BuscaEnLista(guion.op);
    SinDaños();
}

TEST_F(BusquedaHostil, TypedStarPercentAndUnderscoreAreWildcards)
{
    Lib_FrmCons3 lista;
    lista.GrabarCfg = false;
    lista.sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM HOSTIL ORDER BY CODIGO");
    muestra(lista);
    auto busca = [&](const QString& texto) {
        QTest::keyClicks(CajaDe(lista, 1), texto);
        QTest::keyClick(CajaDe(lista, 1), Qt::Key_F5);
        std::set<QString> halladas;
        for (int i = 0; i < lista.Modelo()->rowCount(); ++i) halladas.insert(lista.Modelo()->Texto(i, 1));
        QTest::mouseClick(BotonDe(lista, "CmdNueva"), Qt::LeftButton);
        return halladas;
    };
    const std::set<QString> a = busca(QStringLiteral("a*b"));
    EXPECT_TRUE(a.count(QStringLiteral("a_b")) && a.count(QStringLiteral("axb")) && a.count(QStringLiteral("abc!d")));
    EXPECT_FALSE(a.count(QStringLiteral("az")));
    EXPECT_EQ(busca(QStringLiteral("a_b")), (std::set<QString>{QStringLiteral("a_b"), QStringLiteral("axb"),
                                                               QStringLiteral("a!b"), QString::fromUtf16(u"a\0b", 3)}));
    EXPECT_EQ(busca(QStringLiteral("100%s")), (std::set<QString>{QStringLiteral("100 pesos")}));
    EXPECT_EQ(busca(QStringLiteral("a!_b")), (std::set<QString>{QStringLiteral("a!_b"), QStringLiteral("a!xb")}))
        << "the escape sign is a sign like any other";
    SinDaños();
}

TEST_F(BusquedaHostil, TreeF5NarrowsToDescriptionsMatchingTheTypedPattern)
{
    hostil::BuscaEnArbol(guion.op);
    SinDaños();
}
