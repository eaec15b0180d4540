// Report definitions (*.rep) cut short, edited by hand or damaged: each
// problem is told with its line and logged; nothing is printed from half a
// definition and the program carries on.
#include "reports/expresion.h"
#include "reports/rtreporte.h"

#include "../aplicacion.h"
#include "../archivos_prueba.h"
#include "../sesion_db.h"
#include "runtime/rttexto.h"

using namespace reportes;

namespace {

class ArchivoReporte : public SesionDb {
protected:
    void SetUp() override
    {
        aplicacion();
        SesionDb::SetUp();
        prepara(QStringLiteral("CREATE TABLE MA_CUENTAS (Codigo varchar(15) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(60));"
                               "INSERT INTO MA_CUENTAS VALUES ('1','Caja'),('2','Banco');"));
        conecta();
        RtReporte::CarpetaReportes(dir.path());
        RtTexto::ArchivoLog(dir.filePath(QStringLiteral("VLErr.Log")));
    }
    void TearDown() override
    {
        RtReporte::CarpetaReportes({});
        RtTexto::ArchivoLog({});
        SesionDb::TearDown();
    }
    QString rep(const QByteArray& contenido)
    {
        const QString ruta = dir.filePath(QStringLiteral("Prueba.rep"));
        escribeArchivo(ruta, contenido);
        return ruta;
    }
    /// The reason LeeDefinicion gives, or "" when it reads.
    QString motivo(const QByteArray& contenido)
    {
        try {
            LeeDefinicion(rep(contenido));
            return {};
        } catch (const ErrorReporte& e) {
            return e.texto();
        }
    }
    /// The report run as the window runs it: false, one message, one log line.
    void fallaInformada(const QString& nombre, const QString& parte)
    {
        RtReporte r;
        QString valor;
        const size_t antes = guion.op.preguntas.size();
        EXPECT_FALSE(r.ImprimeReporte(nombre, {}, QString(), QString(), valor));
        ASSERT_EQ(guion.op.preguntas.size(), antes + 1);
        EXPECT_TRUE(guion.op.preguntas.back().texto.contains(parte)) << guion.op.preguntas.back().texto.toStdString();
        EXPECT_EQ(lineasLog(dir.filePath(QStringLiteral("VLErr.Log"))).size(), static_cast<qsizetype>(antes + 1));
    }
    const QByteArray buena = "titulo = Cuentas\norigen = MA_CUENTAS\ncolumna = {MA_CUENTAS.CODIGO} | Cuenta | 10\n";
};

}  // namespace

TEST_F(ArchivoReporte, CortadoAntesDeSusColumnasSeInforma)
{
    EXPECT_TRUE(motivo("titulo = Cuentas\norigen = MA_CUENTAS\n").contains(QStringLiteral("no tiene columnas")));
    EXPECT_TRUE(motivo("titulo = Cuentas\norigen = MA_CUENTAS\ncolum").contains(QStringLiteral("Línea 3")));
    EXPECT_TRUE(motivo("titulo = Cuentas\nori").contains(QStringLiteral("Línea 2")));
    EXPECT_TRUE(motivo("").contains(QStringLiteral("tabla de origen")));
    rep("titulo = Cuentas\norigen = MA_CUENTAS\ncolum");
    fallaInformada(QStringLiteral("Prueba"), QStringLiteral("Línea 3"));
}

TEST_F(ArchivoReporte, ColumnaCortadaTrasSuTituloTomaElAnchoPorOmision)
{
    const DefinicionReporte d = LeeDefinicion(rep("titulo = Cuentas\norigen = MA_CUENTAS\ncolumna = {MA_CUENTAS.CODIGO} | Cue"));
    ASSERT_EQ(d.columnas.size(), 1u);
    EXPECT_EQ(d.columnas[0].titulo, QStringLiteral("Cue"));
    EXPECT_EQ(d.columnas[0].ancho, 10);
    EXPECT_TRUE(motivo("origen = MA_CUENTAS\ncolumna = {MA_CUENTAS.CODIGO} | Cuenta | 1").isEmpty());
    EXPECT_TRUE(motivo("origen = MA_CUENTAS\ncolumna = {MA_CUENTAS.CODIGO} | Cuenta | x")
                    .contains(QStringLiteral("columna mal escrita")));
    EXPECT_TRUE(motivo("origen = MA_CUENTAS\ncolumna = | Cuenta | 5").contains(QStringLiteral("columna mal escrita")));
}

TEST_F(ArchivoReporte, ClaveDesconocidaSeInformaConSuLineaYSuNombre)
{
    const QString m = motivo(buena + "papel = A4\n");
    EXPECT_TRUE(m.contains(QStringLiteral("Línea 4"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("clave desconocida \"papel\""))) << m.toStdString();
    rep(buena + "papel = A4\n");
    fallaInformada(QStringLiteral("prueba"), QStringLiteral("clave desconocida"));
}

TEST_F(ArchivoReporte, ArchivoQueFaltaSeInformaSinCaerse)
{
    EXPECT_TRUE(ArchivoDefinicion(dir.path(), QStringLiteral("NOEXISTE")).isEmpty());
    EXPECT_THROW(LeeDefinicion(dir.filePath(QStringLiteral("NOEXISTE.rep"))), ErrorReporte);
    fallaInformada(QStringLiteral("NOEXISTE"), QStringLiteral("No se encuentra el reporte NOEXISTE"));
    // A folder with the report's name is no definition either.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Carpeta.rep")));
    EXPECT_TRUE(ArchivoDefinicion(dir.path(), QStringLiteral("Carpeta")).isEmpty());
}

TEST_F(ArchivoReporte, BasuraBinariaSeInformaSinCaerse)
{
    QByteArray junk;
    for (int i = 0; i < 30000; ++i) junk.append(static_cast<char>((i * 97 + 3) % 256));
    EXPECT_FALSE(motivo(junk).isEmpty());
    EXPECT_FALSE(motivo(QByteArray("\x00\x00\x00", 3) + buena).isEmpty());
    rep(junk);
    fallaInformada(QStringLiteral("Prueba"), QStringLiteral("Prueba.rep"));
    EXPECT_EQ(DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS")).Fields(0).Value().toInt64(), 2);
}

TEST_F(ArchivoReporte, EscritoEnWindows1252SeLeeConSusAcentos)
{
    // Notepad on the suite's Windows installations saves in Windows-1252.
    const DefinicionReporte d =
        LeeDefinicion(rep("titulo = T\xedtulos A\xd1O\norigen = MA_CUENTAS\ncolumna = {MA_CUENTAS.CODIGO} | C\xf3"
                          "digo \x80 | 10\n"));
    EXPECT_EQ(d.titulo, QStringLiteral("Títulos AÑO"));
    EXPECT_EQ(d.columnas.at(0).titulo, QStringLiteral("Código €"));
    const DefinicionReporte u =
        LeeDefinicion(rep("\xEF\xBB\xBFtitulo = T\xc3\xadtulos\norigen = MA_CUENTAS\ncolumna = {MA_CUENTAS.CODIGO}\n"));
    EXPECT_EQ(u.titulo, QStringLiteral("Títulos")) << "UTF-8, with or without its mark, as before";
}
