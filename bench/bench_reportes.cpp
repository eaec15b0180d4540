// Reports and data sheets on 100,000 accounts and 1,500 titles, each against a
// floor measured in the same run:
//   uncovered-accounts sheet   vs  the same sheet of all accounts, no condition
//   our XLSX writer            vs  libxlsxwriter writing the same cells directly
//   rp_cn070 PDF and the time to its first preview page (figures only)
#include "cuentas.h"
#include "data/db_dll.h"
#include "reports/expresion.h"
#include "reports/rtplanilla.h"
#include "reports/rtreporte.h"
#include "reports/vista_previa.h"
#include "resultado.h"
#include "runtime/operador.h"
#include "titles/frmta_titcopiadores.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>
#include <xlsxwriter.h>

namespace {

template <class F>
double mide(int vueltas, F&& f)
{
    std::vector<double> t;
    for (int i = 0; i < vueltas; ++i) {
        QElapsedTimer r;
        r.start();
        f();
        t.push_back(r.nsecsElapsed() / 1e6);
    }
    return Mejor(t);
}

// The floor for the workbook: the same cells, straight into the library.
void XlsxDirecto(const reportes::ContenidoPlanilla& c, const QString& ruta)
{
    lxw_workbook* libro = workbook_new(ruta.toUtf8().constData());
    lxw_worksheet* hoja = workbook_add_worksheet(libro, nullptr);
    for (int col = 0; col < c.columnas(); ++col)
        worksheet_write_string(hoja, 0, col, c.nombreColumna(col).toUtf8().constData(), nullptr);
    for (long f = 0; f < c.cantidad(); ++f)
        for (int col = 0; col < c.columnas(); ++col) {
            const adodb::Variant& v = c.celda(f, col);
            if (v.isNumber())
                worksheet_write_number(hoja, f + 1, col, v.toDouble(), nullptr);
            else if (!v.isNull())
                worksheet_write_string(hoja, f + 1, col, v.toString().toUtf8().constData(), nullptr);
        }
    workbook_close(libro);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rt::GuionDePrueba silencio;  // no boxes in a benchmark
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    // 1,500 titles of 40 accounts each, one every 66 accounts: 60,000 accounts
    // covered, and a fifth of the rest are headings.
    CreaCuentas(path, QString());
    {
        adodb::Connection cn;
        cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(path));
        cn.Execute(QStringLiteral(
            "CREATE TABLE TA_TITCOPIADORES (CODIGO varchar(4) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(50), DESDE "
            "varchar(15), "
            "HASTA varchar(15), TC varchar(255));"
            "WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 1499) "
            "INSERT INTO TA_TITCOPIADORES SELECT printf('%4d', i + 1), 'Titulo ' || i, printf('%011d', 10000000001 + i * 66), "
            "printf('%011d', 10000000040 + i * 66), '' FROM k;"));
    }
    DB_Dll& db = DB();
    db.gCnn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(path));
    db.gOpenFlag = true;
    db.gEsAdmin = true;
    RtReporte::CarpetaReportes(QStringLiteral(REPORTES_DIR));

    frmTA_TITCOPIADORES ventana;
    RtPlanilla planilla;
    std::shared_ptr<reportes::ContenidoPlanilla> todas, varias;
    const double piso = mide(5, [&] {
        todas =
            planilla.ArmaPlanilla(QStringLiteral("select CODIGO,DESCRIPCION,DV from ma_cuentas"), QString(), QStringLiteral("T"));
    });
    const double hoja = mide(5, [&] {
        varias = planilla.ArmaPlanilla(QStringLiteral("select CODIGO,DESCRIPCION,DV from ma_cuentas where ") +
                                           ventana.Cuentas_Varias_de_Mayor(true, false),
                                       QString(), QStringLiteral("T"));
    });
    {
        QString cond;
        const double tCond = mide(3, [&] { cond = ventana.Cuentas_Varias_de_Mayor(true, false); });
        const QString sql = QStringLiteral("select CODIGO,DESCRIPCION,DV from ma_cuentas where ") + cond;
        QString compacta;
        const double tComp = mide(3, [&] { compacta = reportes::CompactaSentencia(sql, true); });
        const double tSql = mide(3, [&] {
            adodb::Recordset rs;
            rs.Open(compacta, &db.gCnn);
        });
        const QString llana = reportes::CompactaSentencia(sql, false);  // the search written as SQL
        const double tLlana = mide(3, [&] {
            adodb::Recordset rs;
            rs.Open(llana, &db.gCnn);
        });
        std::printf("  desglose: condicion %.1f ms, compactar %.1f ms (%lld caracteres), consulta %.1f ms (busqueda escrita en "
                    "SQL %.1f ms)\n",
                    tCond, tComp, static_cast<long long>(compacta.size()), tSql, tLlana);
    }
    std::printf("planilla de todas las cuentas (piso): %ld filas, %.1f ms\n", todas->cantidad(), piso);
    std::printf("planilla de cuentas varias, 1500 titulos: %ld filas, %.1f ms\n", varias->cantidad(), hoja);
    std::printf("proporcion: %.2fx (objetivo <= 3x)\n\n", hoja / piso);
    Resultado("Uncovered-accounts data sheet", "1,500 titles", hoja, "sheet of all accounts", piso, "<=3x", "best of 5 each");

    const QString x1 = dir.filePath(QStringLiteral("directo.xlsx")), x2 = dir.filePath(QStringLiteral("nuestro.xlsx"));
    const double directo = mide(3, [&] { XlsxDirecto(*todas, x1); });
    const double nuestro = mide(3, [&] { reportes::EscribeXlsx(*todas, x2); });
    std::printf("XLSX de %ld filas, libxlsxwriter directo (piso): %.1f ms\n", todas->cantidad(), directo);
    std::printf("XLSX de %ld filas, EscribeXlsx: %.1f ms\n", todas->cantidad(), nuestro);
    std::printf("proporcion: %.2fx (objetivo <= 2x)\n\n", nuestro / directo);
    Resultado("XLSX of the data sheet", "100,000 x 3", nuestro, "libxlsxwriter direct", directo, "<=2x", "best of 3 each");

    RtReporte reporte;
    const QString formula = ventana.Cuentas_Varias_de_Mayor(false, false);
    std::shared_ptr<reportes::Informe> informe;
    const double armado = mide(3, [&] {
        informe = reporte.ArmaInforme(QStringLiteral("rp_cn070"), {QStringLiteral("+{MA_CUENTAS.CODIGO}")}, formula,
                                      QStringLiteral("empresa='X'"));
    });
    const double pdf = mide(3, [&] { reportes::EscribePdf(*informe, dir.filePath(QStringLiteral("rp_cn070.pdf"))); });
    std::printf("rp_cn070, 1500 titulos: %ld filas, %d paginas\n", informe->cantidad(), informe->paginas());
    std::printf("  contenido (consulta y filas): %.1f ms\n", armado);
    std::printf("  PDF completo: %.1f ms (%.1f ms en total)\n", pdf, armado + pdf);
    const double primera = mide(3, [&] {
        QString valor = QStringLiteral("empresa='X'");
        reporte.ImprimeReporte(QStringLiteral("rp_cn070"), {QStringLiteral("+{MA_CUENTAS.CODIGO}")}, formula, QString(), valor);
        reporte.vista->grab();  // the first page painted
        delete reporte.vista.data();
    });
    std::printf("  primera pagina de la vista previa: %.1f ms\n", primera);
    const QByteArray tam = QStringLiteral("%L1 rows, %L2 pages").arg(informe->cantidad()).arg(informe->paginas()).toUtf8();
    Resultado("rp_cn070 PDF (query + file)", tam.constData(), armado + pdf, "", 0, "report", "best of 3");
    Resultado("rp_cn070 first preview page (offscreen)", tam.constData(), primera, "", 0, "report", "best of 3");
    return 0;
}
