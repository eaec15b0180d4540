// The lookups' searches with hostile texts on a PostgreSQL server, where LIKE
// reads a backslash as its escape and the statements pass the translation.
#include "../aplicacion.h"
#include "../sesion_pg.h"
#include "busqueda_hostil.h"
#include "runtime/rtentorno.h"

#include <QTemporaryDir>

class BusquedaHostilPg : public ::testing::Test {
protected:
    void SetUp() override
    {
        aplicacion();
        ServidorPg* servidor = ServidorConAdministrador();
        if (!servidor) GTEST_SKIP() << "PostgreSQL no disponible";
        static int n = 0;
        const QString base = QStringLiteral("hostil%1").arg(++n);
        ASSERT_TRUE(servidor->CreaBase(base)) << qPrintable(servidor->error());
        ASSERT_TRUE(servidor->PsqlArchivo(base, QStringLiteral(DEMO_DIR "/schema_postgres.sql")))
            << qPrintable(servidor->error());
        RtEntorno::FijaCarpetaPrograma(dir.path() + QStringLiteral("/"));
        ConectaComoAdministrador(*servidor, base, dir.filePath(QStringLiteral("VLERR.LOG")));
        ASSERT_TRUE(DB().gOpenFlag);
        hostil::CreaTabla();
    }
    void TearDown() override
    {
        if (DB().gCnn.State()) DB().gCnn.Close();
        DB().gServidor.clear();
        DB().gLogErr.clear();
        RtEntorno::FijaCarpetaPrograma(QString());
    }
    QTemporaryDir dir;
    rt::GuionDePrueba guion;
};

TEST_F(BusquedaHostilPg, ListAndTreeF5FindWhatTheTypedPatternMeans)
{
    EXPECT_GE(hostil::Filas().size(), static_cast<size_t>(hostil::Descripciones().size())) << "all rows but one with a NUL";
    hostil::BuscaEnLista(guion.op);
    hostil::BuscaEnArbol(guion.op);
    EXPECT_TRUE(guion.op.preguntas.empty()) << hostil::Mensajes(guion.op).toStdString();
}
