// The report and the data sheet on a real database: content, PDF read back
// with poppler, workbook read back with openpyxl, and the windows.
#include "reports/rtplanilla.h"
#include "reports/rtreporte.h"
#include "reports/vista_previa.h"

#include "../aplicacion.h"
#include "../lectores.h"
#include "../sesion_db.h"
#include "runtime/rttexto.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>

using namespace reportes;

namespace {

class Salidas : public SesionDb {
protected:
    void SetUp() override
    {
        aplicacion();
        SesionDb::SetUp();
        // Codes as another program may leave them: zero-padded, some with
        // trailing blanks; descriptions with accents, quotes and separators.
        prepara(QStringLiteral(
            "CREATE TABLE MA_CUENTAS (Codigo varchar(15) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(60), DV varchar(1), "
            "titulo bit, Saldo numeric(12,2), Orden int);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 120) "
            "INSERT INTO MA_CUENTAS SELECT printf('%05d', i) || CASE WHEN i % 10 = 0 THEN '  ' ELSE '' END, "
            "'Descripción Ñandú ' || i, CAST(i % 10 AS TEXT), i % 3 = 0, i * 1.5, 121 - i FROM n;"
            "UPDATE MA_CUENTAS SET DESCRIPCION = 'Punto; y \"comillas\" de O''Brien' WHERE Codigo = '00002';"));
        conecta();
        RtReporte::CarpetaReportes(dir.path());
        escribe(QStringLiteral("Cuentas.rep"), "# prueba\n"
                                               "titulo = Listado de Cuentas\n"
                                               "origen = MA_CUENTAS\n"
                                               "orden = -{MA_CUENTAS.CODIGO}\n"
                                               "columna = {MA_CUENTAS.CODIGO} | Cuenta | 10\n"
                                               "columna = {MA_CUENTAS.DESCRIPCION} | Descripción | 40\n"
                                               "columna = {MA_CUENTAS.Saldo} | Saldo | 10\n");
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets()) delete w;
        RtReporte::CarpetaReportes({});
        RtTexto::ArchivoLog({});
        SesionDb::TearDown();
    }
    void escribe(const QString& nombre, const char* texto)
    {
        QFile f(dir.filePath(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(texto);
    }
};

}  // namespace

TEST_F(Salidas, ReportContentFollowsDefinitionSortSelectionAndPages)
{
    RtReporte r;
    auto inf = r.ArmaInforme(QStringLiteral("cuentas"), {QString(), QString()}, QStringLiteral("not {MA_CUENTAS.titulo}"),
                             QStringLiteral("empresa = 'Mayorista O''Brien S.A.'"));
    EXPECT_EQ(inf->empresa, "Mayorista O'Brien S.A.");
    EXPECT_EQ(inf->titulo, "Listado de Cuentas");
    ASSERT_EQ(inf->cantidad(), 80);
    EXPECT_EQ(inf->celda(0, 0), "00119");  // the definition's descending order
    EXPECT_EQ(inf->celda(0, 2), "178.5");
    EXPECT_TRUE(inf->numerica(2));
    EXPECT_FALSE(inf->numerica(0));
    EXPECT_EQ(inf->paginas(), 2);
    EXPECT_EQ(inf->filasDePagina(1), std::make_pair(56L, 80L));
    EXPECT_EQ(inf->textoPagina(1), "Página 2 de 2");

    // Sort fields passed by the caller win over the definition's.
    inf = r.ArmaInforme(QStringLiteral("CUENTAS"), {QStringLiteral("+{MA_CUENTAS.Orden}")}, QString(), QString());
    EXPECT_EQ(inf->cantidad(), 120);
    EXPECT_EQ(inf->celda(0, 0).trimmed(), "00120");
    EXPECT_EQ(inf->paginas(), 3);
}

TEST_F(Salidas, ACountThatFillsTheLastPageGetsAPageOfItsOwn)
{
    RtReporte r;
    prepara(QStringLiteral("DELETE FROM MA_CUENTAS WHERE rowid > %1").arg(Informe::kFilasPorPagina));
    auto inf = r.ArmaInforme(QStringLiteral("Cuentas"), {}, QString(), QString());
    EXPECT_EQ(inf->cantidad(), Informe::kFilasPorPagina);
    EXPECT_EQ(inf->paginas(), 2);
    EXPECT_EQ(inf->filasDePagina(1), std::make_pair(long(Informe::kFilasPorPagina), long(Informe::kFilasPorPagina)));
    prepara(QStringLiteral("DELETE FROM MA_CUENTAS"));
    inf = r.ArmaInforme(QStringLiteral("Cuentas"), {}, QString(), QString());
    EXPECT_EQ(inf->paginas(), 1);
    EXPECT_EQ(inf->textoCantidad(), "Cantidad de registros: 0");
}

TEST_F(Salidas, PdfReadBackHasHeaderColumnsRowsAndCount)
{
    RtReporte r;
    r.ArchivoSalida = dir.filePath(QStringLiteral("cuentas.pdf"));
    QString valor = QStringLiteral("empresa='Distribuidora Ñandú S.A.'");
    ASSERT_TRUE(r.ImprimeReporte(QStringLiteral("Cuentas"), {}, QString(), QString(), valor));
    EXPECT_TRUE(guion.op.preguntas.empty());
    const QString texto = TextoPdf(r.ArchivoSalida);
    ASSERT_FALSE(texto.isEmpty());
    EXPECT_EQ(texto.count(QStringLiteral("Distribuidora Ñandú S.A.")), 3);
    EXPECT_EQ(texto.count(QStringLiteral("Listado de Cuentas")), 3);
    EXPECT_TRUE(texto.contains(QStringLiteral("Página 1 de 3")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Página 3 de 3")));
    EXPECT_EQ(texto.count(QStringLiteral("Descripción Ñandú")), 119);  // one row has another description
    EXPECT_TRUE(texto.contains(QStringLiteral("00001")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Cantidad de registros: 120")));
    const QStringList paginas = texto.split(QChar(u'\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(paginas.size(), 3);
    EXPECT_TRUE(paginas[0].contains(QStringLiteral("00120")));  // descending
    EXPECT_FALSE(paginas[0].contains(QStringLiteral("Cantidad de registros")));
}

TEST_F(Salidas, ReportFailuresAreToldAndLogged)
{
    RtTexto::ArchivoLog(dir.filePath(QStringLiteral("VLErr.Log")));
    RtReporte r;
    QString valor;
    EXPECT_FALSE(r.ImprimeReporte(QStringLiteral("NOEXISTE"), {}, QString(), QString(), valor));
    EXPECT_FALSE(r.ImprimeReporte(QStringLiteral("Cuentas"), {}, QStringLiteral("{MA_CUENTAS.CODIGO} = 'x"), QString(), valor));
    escribe(QStringLiteral("Mal.rep"), "titulo = X\norigen = MA_CUENTAS; DROP TABLE MA_CUENTAS\ncolumna = {A}\n");
    EXPECT_FALSE(r.ImprimeReporte(QStringLiteral("Mal"), {}, QString(), QString(), valor));
    const QStringList m = guion.op.mensajes();
    ASSERT_EQ(m.size(), 3);
    EXPECT_TRUE(m[0].startsWith(QStringLiteral("No se encuentra el reporte NOEXISTE")));
    EXPECT_TRUE(m[1].startsWith(QStringLiteral("La fórmula de selección del reporte no es válida")));
    EXPECT_TRUE(m[2].contains(QStringLiteral("tabla de origen")));
    EXPECT_EQ(lineasLog(dir.filePath(QStringLiteral("VLErr.Log"))).size(), 3);
    EXPECT_EQ(valor, QString());
    EXPECT_EQ(DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS")).Fields(0).Value().toInt64(), 120);
}

TEST_F(Salidas, EveryOutputFailureLeavesItsLineInTheSessionLog)
{
    // No log of the library's own was named: the session's VLERR.LOG takes the lines.
    RtTexto::ArchivoLog({});
    const QString log = DB().RutaLogErrores();
    ASSERT_TRUE(log.endsWith(QStringLiteral("/VLERR.LOG")));
    const QString inalcanzable = QStringLiteral("/nonexistent/dir/salida");
    escribe(QStringLiteral("Cortado.rep"), "titulo = X\norigen\n");
    QString valor;
    struct Caso {
        const char* que;
        std::function<void()> haz;
        const char* rutina;
        const char* mensaje;
    };
    const std::vector<Caso> casos = {
        {"definition missing", [&] { RtReporte().ImprimeReporte(QStringLiteral("NOEXISTE"), {}, {}, {}, valor); },
         "ImprimeReporte", "No se encuentra el reporte NOEXISTE"},
        {"definition malformed", [&] { RtReporte().ImprimeReporte(QStringLiteral("Cortado"), {}, {}, {}, valor); },
         "ImprimeReporte", "Línea 2 del reporte"},
        {"report file not writable",
         [&] {
             RtReporte r;
             r.ArchivoSalida = inalcanzable + QStringLiteral(".pdf");
             r.ImprimeReporte(QStringLiteral("Cuentas"), {}, {}, {}, valor);
         },
         "ImprimeReporte", "No se pudo escribir el archivo /nonexistent/dir/salida.pdf"},
        {"sheet file not writable",
         [&] {
             RtPlanilla p;
             p.ArchivoSalida = inalcanzable + QStringLiteral(".xlsx");
             p.Planilla(QStringLiteral("select Codigo from MA_CUENTAS"), {}, QStringLiteral("Cuentas"));
         },
         "Planilla", "/nonexistent/dir/salida.xlsx"},
        {"printer refused",
         [&] {
             RtReporte r;
             ASSERT_TRUE(r.ImprimeReporte(QStringLiteral("Cuentas"), {}, {}, {}, valor));
             guion.op.alModal = [&](QObject* o) {
                 // A printer that cannot take the job: its output has nowhere to go.
                 static_cast<QPrintDialog*>(o)->printer()->setOutputFileName(inalcanzable + QStringLiteral(".ps"));
                 return int(QDialog::Accepted);
             };
             QTest::mouseClick(r.vista->findChild<QPushButton*>(QStringLiteral("imprimir")), Qt::LeftButton);
             guion.op.alModal = nullptr;
         },
         "Imprime", "No se pudo iniciar la impresión (/nonexistent/dir/salida.ps)"},
    };
    qsizetype antes = 0;
    for (const Caso& c : casos) {
        c.haz();
        const QStringList lineas = lineasLog(log);
        ASSERT_EQ(lineas.size(), antes + 1) << c.que;
        antes = lineas.size();
        EXPECT_TRUE(lineas.back().contains(QStringLiteral(" Rutina: - ") + QString::fromUtf8(c.rutina) + QStringLiteral(" Mensaje ")))
            << c.que << ": " << lineas.back().toStdString();
        EXPECT_TRUE(lineas.back().contains(QString::fromUtf8(c.mensaje))) << c.que << ": " << lineas.back().toStdString();
        EXPECT_EQ(guion.op.mensajes().size(), antes) << c.que;  // and the operator was told
    }
}

TEST_F(Salidas, PreviewShowsTheFirstPageAndPagesThrough)
{
    RtReporte r;
    QString valor = QStringLiteral("empresa = 'X'");
    ASSERT_TRUE(r.ImprimeReporte(QStringLiteral("Cuentas"), {}, QString(), QString(), valor));
    auto* v = dynamic_cast<VistaPrevia*>(r.vista.data());
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->windowTitle(), "Vista previa - Listado de Cuentas");
    EXPECT_EQ(v->pagina(), 0);
    QTest::mouseClick(v->findChild<QPushButton*>(QStringLiteral("ultima")), Qt::LeftButton);
    EXPECT_EQ(v->pagina(), 2);
    EXPECT_FALSE(v->findChild<QPushButton*>(QStringLiteral("siguiente"))->isEnabled());

    // Guardar PDF asks where, through the operator.
    const QString ruta = dir.filePath(QStringLiteral("vista"));
    guion.op.textos.push_back(ruta);
    QTest::mouseClick(v->findChild<QPushButton*>(QStringLiteral("guardarPdf")), Qt::LeftButton);
    EXPECT_TRUE(TextoPdf(ruta + QStringLiteral(".pdf")).contains(QStringLiteral("Cantidad de registros: 120")));
    // Imprimir's dialog is a modal window the operator answers; Cancel prints nothing.
    QTest::mouseClick(v->findChild<QPushButton*>(QStringLiteral("imprimir")), Qt::LeftButton);
    EXPECT_EQ(guion.op.preguntas.back().tipo, "Modal");
    EXPECT_EQ(guion.op.preguntas.back().texto, "dlgImprimir");
}

TEST_F(Salidas, CancellingThePdfLeavesNoFile)
{
    RtReporte r;
    auto inf = r.ArmaInforme(QStringLiteral("Cuentas"), {}, QString(), QString());
    const QString ruta = dir.filePath(QStringLiteral("cancelado.pdf"));
    int vistas = 0;
    EXPECT_FALSE(EscribePdf(*inf, ruta, [&](int hechas, int) { return ++vistas, hechas < 1; }));
    EXPECT_EQ(vistas, 2);
    EXPECT_FALSE(QFile::exists(ruta));
}

// ---------------------------------------------------------------------------

TEST_F(Salidas, WorkbookReadBackKeepsTypesTextsAndLayout)
{
    RtPlanilla p;
    p.ArchivoSalida = dir.filePath(QStringLiteral("cuentas.xlsx"));
    ASSERT_TRUE(p.Planilla(QStringLiteral("select Codigo, DESCRIPCION, Saldo, Orden, titulo from MA_CUENTAS order by Codigo"),
                           QString(), QStringLiteral("Planilla de Datos - Reporte de Cuentas Varias del Mayor")));
    const QJsonObject libro = LeeXlsx(p.ArchivoSalida);
    ASSERT_FALSE(libro.isEmpty());
    EXPECT_EQ(libro[QStringLiteral("congelado")].toString(), "A2");
    EXPECT_EQ(libro[QStringLiteral("hoja")].toString(), "Planilla de Datos - Reporte de");  // a sheet name holds 31 characters
    const QJsonArray filas = libro[QStringLiteral("celdas")].toArray();
    ASSERT_EQ(filas.size(), 121);
    auto celda = [&](int f, int c) { return filas[f].toArray()[c].toObject(); };
    EXPECT_EQ(celda(0, 0)[QStringLiteral("v")].toString(), "Codigo");
    EXPECT_EQ(celda(1, 0)[QStringLiteral("v")].toString(), "00001");  // a code stays text, zeros and all
    EXPECT_EQ(celda(1, 0)[QStringLiteral("t")].toString(), "s");
    EXPECT_EQ(celda(10, 0)[QStringLiteral("v")].toString(), "00010  ");
    EXPECT_EQ(celda(2, 1)[QStringLiteral("v")].toString(), "Punto; y \"comillas\" de O'Brien");
    EXPECT_EQ(celda(3, 1)[QStringLiteral("v")].toString(), "Descripción Ñandú 3");
    EXPECT_EQ(celda(3, 2)[QStringLiteral("t")].toString(), "n");
    EXPECT_DOUBLE_EQ(celda(3, 2)[QStringLiteral("v")].toDouble(), 4.5);
    EXPECT_DOUBLE_EQ(celda(3, 3)[QStringLiteral("v")].toDouble(), 118);
    // The description column is wider than the code column.
    const QJsonObject anchos = libro[QStringLiteral("anchos")].toObject();
    EXPECT_GT(anchos[QStringLiteral("B")].toDouble(), anchos[QStringLiteral("A")].toDouble());
    EXPECT_GE(anchos[QStringLiteral("B")].toDouble(), 22);
}

TEST_F(Salidas, CsvQuotesWhatWouldSplitAField)
{
    RtPlanilla p;
    p.ArchivoSalida = dir.filePath(QStringLiteral("cuentas.CSV"));
    ASSERT_TRUE(p.Planilla(QStringLiteral("select Codigo, DESCRIPCION, Saldo from MA_CUENTAS where Codigo <= '00002' order by 1"),
                           QString(), QStringLiteral("T")));
    QFile f(p.ArchivoSalida);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray datos = f.readAll();
    EXPECT_TRUE(datos.startsWith("\xEF\xBB\xBF"));  // so spreadsheets read the accents as UTF-8
    EXPECT_EQ(QString::fromUtf8(datos.mid(3)), QStringLiteral("Codigo;DESCRIPCION;Saldo\r\n00001;Descripción Ñandú 1;1.5\r\n"
                                                              "00002;\"Punto; y \"\"comillas\"\" de O'Brien\";3\r\n"));
}

TEST_F(Salidas, SheetWindowSortsNumbersAsNumbersAndCopiesTheSelection)
{
    RtPlanilla p;
    ASSERT_TRUE(p.Planilla(QStringLiteral("select Codigo, Orden from MA_CUENTAS"), DB().gConnString,
                           QStringLiteral("Títulos Copiadores")));
    VentanaPlanilla* v = p.ventana;
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->windowTitle(), "Títulos Copiadores");
    QTableView* t = v->tabla();
    EXPECT_EQ(t->model()->rowCount(), 120);
    t->sortByColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(t->model()->index(0, 1).data().toString(), "1");
    EXPECT_EQ(t->model()->index(8, 1).data().toString(), "9");
    EXPECT_EQ(t->model()->index(9, 1).data().toString(), "10");  // not "100"
    t->selectionModel()->select(QItemSelection(t->model()->index(0, 0), t->model()->index(1, 1)), QItemSelectionModel::Select);
    t->setFocus();
    QTest::keySequence(t, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "00120  \t1\n00119\t2");

    // Abrir en hoja de cálculo hands a fresh workbook to the desktop.
    guion.op.pidEjecuta = 0;
    QTest::mouseClick(v->findChild<QPushButton*>(QStringLiteral("abrirHoja")), Qt::LeftButton);
    ASSERT_GE(guion.op.preguntas.size(), 2u);
    const auto& ejecuta = guion.op.preguntas[guion.op.preguntas.size() - 2];
    EXPECT_EQ(ejecuta.tipo, "Ejecuta");
    EXPECT_EQ(ejecuta.texto, "xdg-open");
    EXPECT_EQ(LeeXlsx(ejecuta.titulo)[QStringLiteral("celdas")].toArray().size(), 121);
    EXPECT_TRUE(guion.op.mensajes().back().contains(ejecuta.titulo));  // the desktop could not open it: say where it is
    QFile::remove(ejecuta.titulo);
}

TEST_F(Salidas, ExportAsksForTheFileAndAddsTheExtension)
{
    RtPlanilla p;
    ASSERT_TRUE(p.Planilla(QStringLiteral("select Codigo from MA_CUENTAS"), QString(), QStringLiteral("T")));
    guion.op.textos.push_back(dir.filePath(QStringLiteral("exportada")));
    QTest::mouseClick(p.ventana->findChild<QPushButton*>(QStringLiteral("exportar")), Qt::LeftButton);
    EXPECT_EQ(LeeXlsx(dir.filePath(QStringLiteral("exportada.xlsx")))[QStringLiteral("celdas")].toArray().size(), 121);
    // An unwritable place is told, not a crash.
    guion.op.textos.push_back(QStringLiteral("/nonexistent/dir/x.csv"));
    QTest::mouseClick(p.ventana->findChild<QPushButton*>(QStringLiteral("exportar")), Qt::LeftButton);
    ASSERT_FALSE(guion.op.mensajes().isEmpty());
    EXPECT_TRUE(guion.op.mensajes().back().startsWith(QStringLiteral("No se puede crear el archivo /nonexistent/dir/x.csv")));
}

TEST_F(Salidas, ABadStatementShowsNoWindow)
{
    RtPlanilla p;
    EXPECT_FALSE(p.Planilla(QStringLiteral("select nada from NOEXISTE"), QString(), QStringLiteral("T")));
    EXPECT_EQ(p.ventana, nullptr);
    EXPECT_EQ(guion.op.mensajes().size(), 1);  // the data layer's own error box, once
}
