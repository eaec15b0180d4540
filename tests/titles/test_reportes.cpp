// The four outputs of the main window on the demo database, and the selection
// of the ledger accounts that no title covers.
#include "ventanas_salida.h"

#include "../lectores.h"
#include "reports/rtplanilla.h"
#include "reports/rtreporte.h"
#include "reports/vista_previa.h"
#include "session/cndll.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QHeaderView>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <algorithm>
#include <set>

namespace {

class Reportes : public VentanaConSalidas {
protected:
    void titulos(const QString& valores)
    {
        ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES"));
        if (!valores.isEmpty())
            ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA) VALUES ") + valores);
    }
    // The uncovered ledger accounts, worked out here from the tables.
    std::set<QString> descubiertas()
    {
        // Codes compare as SQL Server's default collation does: letter case
        // and surrounding blanks count for nothing.
        const auto menor = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
        std::vector<std::pair<QString, QString>> rangos;
        adodb::Recordset t = DB().gCnn.Execute(QStringLiteral("SELECT DESDE, HASTA FROM TA_TITCOPIADORES"));
        for (; !t.EOF_(); t.MoveNext())
            rangos.emplace_back(t.Fields(0).Value().toString().trimmed(), t.Fields(1).Value().toString().trimmed());
        std::set<QString> r;
        adodb::Recordset c = DB().gCnn.Execute(QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE titulo = 0"));
        for (; !c.EOF_(); c.MoveNext()) {
            const QString x = c.Fields(0).Value().toString().trimmed();
            if (std::all_of(rangos.begin(), rangos.end(),
                            [&](const auto& k) { return menor(x, k.first) || menor(k.second, x); }))
                r.insert(x);
        }
        return r;
    }
};

}  // namespace

TEST_F(Reportes, UncoveredAccountsSelectionInBothModes)
{
    abre();
    const struct {
        const char* caso;
        const char* titulos;
        const char* sql;
        const char* formula;  // nullptr: not looked at
    } casos[] = {
        {"one title", "('   1', 'A', '1000', '1999')", "(ltrim(codigo)< '1000' OR ltrim(codigo)> '1999') and titulo = 0",
         "({ma_cuentas.codigo} < '1000' OR {ma_cuentas.codigo} > '1999') and not {ma_cuentas.titulo}"},
        {"two titles", "('   1', 'A', '1000', '1999'), ('   2', 'B', '3000', '3999')",
         "(ltrim(codigo)< '1000' OR ltrim(codigo)> '1999')  AND (ltrim(codigo)< '3000' OR ltrim(codigo)> '3999') and titulo = 0",
         "({ma_cuentas.codigo} < '1000' OR {ma_cuentas.codigo} > '1999') AND ({ma_cuentas.codigo} < '3000' OR "
         "{ma_cuentas.codigo} > '3999') and not {ma_cuentas.titulo}"},
        // Blanks stored round a range: SQL compares without them, the formula with them.
        {"blanks round a range", "('   1', 'A', ' 1000  ', '1999 ')",
         "(ltrim(codigo)< '1000' OR ltrim(codigo)> '1999') and titulo = 0",
         "({ma_cuentas.codigo} < ' 1000  ' OR {ma_cuentas.codigo} > '1999 ') and not {ma_cuentas.titulo}"},
        // A stray apostrophe stays inside its literal.
        {"a stray apostrophe", "('   1', 'A', '10''00', '1999')",
         "(ltrim(codigo)< '10''00' OR ltrim(codigo)> '1999') and titulo = 0", nullptr},
        // No titles: every ledger account is uncovered, and headings still are not listed.
        {"no titles", "", "titulo = 0", "not {ma_cuentas.titulo}"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        titulos(QString::fromUtf8(c.titulos));
        EXPECT_EQ(w().Cuentas_Varias_de_Mayor(true, false), c.sql);
        if (c.formula) {
            EXPECT_EQ(w().Cuentas_Varias_de_Mayor(false, false), c.formula);
        }
    }
    EXPECT_TRUE(mensajes().isEmpty());
}

TEST_F(Reportes, TitlesSheetAndReportWrittenToFiles)
{
    abre();
    w().ArchivoSalida = dir_.filePath(QStringLiteral("titulos.csv"));
    w().Planilla();
    QStringList filas = lineasCsv(w().ArchivoSalida);
    ASSERT_EQ(filas.size(), 11);
    EXPECT_EQ(filas[0], "CODIGO;DESCRIPCION;DESDE;HASTA");
    EXPECT_TRUE(filas.contains(QStringLiteral("   3;Deudores por Ventas;11030101001;11030201001")));

    w().ArchivoSalida = dir_.filePath(QStringLiteral("titulos.pdf"));
    w().Reporte();
    const QString pdf = TextoPdf(w().ArchivoSalida);
    EXPECT_TRUE(pdf.contains(QStringLiteral("Distribuidora del Litoral S.A.")));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Títulos Copiadores")));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Página 1 de 1")));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Deudores por Ventas")));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Cantidad de registros: 10")));
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(Reportes, UncoveredAccountsSheetAndReportListTheSameAccounts)
{
    abre();
    // Accounts other programs stored with trailing blanks or in lower case,
    // right on and inside the bounds of ranges stored either way.
    ejecuta(QStringLiteral(
        "INSERT INTO MA_CUENTAS (Codigo, DESCRIPCION, DV, titulo) VALUES "
        "('41020101003 ', 'Ventas con blanco', '1', 0), ('41020101004', 'Ventas sin blanco', '1', 0), "
        "('61000000009  ', 'Fin de rango con blancos', '1', 0), ('61000000010', 'Fuera por uno', '1', 0), "
        "('caja5', 'Caja en minúsculas', '1', 0), ('CAJA95', 'Pasada la caja', '1', 0), ('cajb', 'Después', '1', 0)"));
    ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET HASTA = '41020101003' WHERE CODIGO = '   9'"));
    ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA) VALUES "
                           "('  11', 'Con blancos', '61000000001', '61000000009 '), ('  12', 'Letras', 'CAJA0', 'CAJA9')"));
    const std::set<QString> dentro = {"41020101003", "61000000009", "caja5"};
    const std::set<QString> fuera = {"41020101004", "61000000010", "CAJA95", "cajb"};

    // Twelve titles take the embedded engine's range search, three its clause per title.
    for (const bool pocos : {false, true}) {
        if (pocos) ejecuta(QStringLiteral("DELETE FROM TA_TITCOPIADORES WHERE CODIGO NOT IN ('   9', '  11', '  12')"));
        const std::set<QString> esperado = descubiertas();
        ASSERT_GT(esperado.size(), pocos ? 100u : 20u);
        for (const QString& c : dentro) EXPECT_FALSE(esperado.count(c)) << c.toStdString();
        for (const QString& c : fuera) EXPECT_TRUE(esperado.count(c)) << c.toStdString();

        w().ArchivoSalida = dir_.filePath(QStringLiteral("varias.xlsx"));
        w().CmdVarias_Click();
        const QJsonArray celdas = LeeXlsx(w().ArchivoSalida)[QStringLiteral("celdas")].toArray();
        std::set<QString> enHoja;
        for (qsizetype i = 1; i < celdas.size(); ++i) {
            const QJsonObject codigo = celdas[i].toArray()[0].toObject();
            EXPECT_EQ(codigo[QStringLiteral("t")].toString(), "s");
            enHoja.insert(codigo[QStringLiteral("v")].toString().trimmed());
        }
        EXPECT_EQ(enHoja, esperado) << (pocos ? "three titles" : "twelve titles");

        w().ArchivoSalida = dir_.filePath(QStringLiteral("varias.pdf"));
        w().CmdRep_Click();
        const QString pdf = TextoPdf(w().ArchivoSalida);
        EXPECT_TRUE(pdf.contains(QStringLiteral("Cuentas Varias de Mayor")));
        EXPECT_TRUE(pdf.contains(QStringLiteral("Distribuidora del Litoral S.A.")));
        EXPECT_TRUE(pdf.contains(QStringLiteral("Cantidad de registros: %1").arg(esperado.size())))
            << (pocos ? "three titles" : "twelve titles");
        for (const QString& c : esperado) EXPECT_TRUE(pdf.contains(c)) << c.toStdString();
        for (const QString& c : dentro) EXPECT_FALSE(pdf.contains(c)) << c.toStdString();
        if (!pocos) {
            EXPECT_TRUE(pdf.contains(QStringLiteral("Plazo fijo Banco Nación")));  // searchable as typed
        }
    }
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(Reportes, TitlesReportOrdersNumericCodesAsNumbersWhateverTheirPadding)
{
    abre();
    // Codes stored by this window (padded to four) and by other programs (not).
    titulos(QStringLiteral("('   3', 'Tercero', '1', '1'), ('2', 'Segundo', '1', '1'), ('  10', 'Décimo', '1', '1'), "
                           "('1 ', 'Primero', '1', '1'), ('A1', 'Con letra', '1', '1'), ('9', 'Noveno', '1', '1')"));
    w().ArchivoSalida = dir_.filePath(QStringLiteral("orden.pdf"));
    w().Reporte();
    const QString pdf = TextoPdf(w().ArchivoSalida);
    qsizetype anterior = -1;
    for (const char* d : {"Primero", "Segundo", "Tercero", "Noveno", "Décimo", "Con letra"}) {
        const qsizetype p = pdf.indexOf(QString::fromUtf8(d));
        EXPECT_GT(p, anterior) << d;
        anterior = p;
    }
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(Reportes, ManyTitlesAndNoTitlesBothWork)
{
    abre();
    // 1,500 titles of one account each, many more than the engine could nest.
    QStringList valores;
    adodb::Recordset c = DB().gCnn.Execute(QStringLiteral("SELECT Codigo FROM MA_CUENTAS WHERE titulo = 0 ORDER BY Codigo"));
    std::vector<QString> hojas;
    for (; !c.EOF_(); c.MoveNext()) hojas.push_back(c.Fields(0).Value().toString());
    for (int i = 0; i < 1500; ++i) {
        const QString cod = hojas[static_cast<size_t>(i) % (hojas.size() - 5)];
        valores << QStringLiteral("('%1', 'T', '%2', '%2')").arg(i + 1, 4).arg(cod);
    }
    titulos(valores.join(u','));
    ASSERT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 1500);
    w().ArchivoSalida = dir_.filePath(QStringLiteral("muchos.csv"));
    w().CmdVarias_Click();
    EXPECT_EQ(lineasCsv(w().ArchivoSalida).size(), 6);  // the five accounts left out, and the captions
    w().ArchivoSalida = dir_.filePath(QStringLiteral("muchos.pdf"));
    w().CmdRep_Click();
    EXPECT_TRUE(TextoPdf(w().ArchivoSalida).contains(QStringLiteral("Cantidad de registros: 5")));

    titulos(QString());
    w().ArchivoSalida = dir_.filePath(QStringLiteral("ninguno.csv"));
    w().CmdVarias_Click();
    EXPECT_EQ(lineasCsv(w().ArchivoSalida).size(), static_cast<qsizetype>(hojas.size()) + 1);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

TEST_F(Reportes, KeysAndPictureButtonsOpenTheirWindows)
{
    abre();
    auto abiertas = [] {
        QStringList t;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && (dynamic_cast<reportes::VistaPrevia*>(w) || dynamic_cast<reportes::VentanaPlanilla*>(w)))
                t << w->windowTitle();
        t.sort();
        return t;
    };
    teclado::Pulsa(Qt::Key_F4);
    teclado::Pulsa(w(), Qt::Key_F6);  // the preview is on top
    QTest::mouseClick(ControlDe<QToolButton>(w(), "CmdRep"), Qt::LeftButton);
    QTest::mouseClick(ControlDe<QToolButton>(w(), "CmdVarias"), Qt::LeftButton);
    EXPECT_EQ(abiertas(), (QStringList{"Planilla de Datos - Reporte de Cuentas Varias del Mayor", "Títulos Copiadores",
                                       "Vista previa - Cuentas Varias de Mayor", "Vista previa - Títulos Copiadores"}));
    // The tool tips name the buttons' keys after their captions.
    EXPECT_EQ(ControlDe<QToolButton>(w(), "CmdRep")->toolTip(), "Reporte Cuentas Varias de Mayor (F7)");
    EXPECT_EQ(ControlDe<QToolButton>(w(), "CmdVarias")->toolTip(), "Planilla de Datos Cuentas Varias de Mayor (F8)");
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}

// The sheet and the preview open over the main window (as far as the screen
// lets them), and the sheet wide enough for its every column.
TEST_F(Reportes, TheSheetAndThePreviewOpenOverTheMainWindowAndTheSheetShowsEveryColumn)
{
    abre();
    const QRect area = w().screen()->availableGeometry();
    const auto abierta = [](auto* tipo) {
        for (QWidget* v : QApplication::topLevelWidgets())
            if (v->isVisible() && dynamic_cast<decltype(tipo)>(v)) return v;
        return static_cast<QWidget*>(nullptr);
    };
    const auto centrada = [&](QWidget* v) {
        const QRect m = w().frameGeometry(), f = v->frameGeometry();
        const int x = std::clamp(m.center().x() - f.width() / 2, area.left(), std::max(area.left(), area.right() - f.width()));
        const int y = std::clamp(m.center().y() - f.height() / 2, area.top(), std::max(area.top(), area.bottom() - f.height()));
        EXPECT_LE(std::abs(f.x() - x), 2) << v->windowTitle().toStdString();
        EXPECT_LE(std::abs(f.y() - y), 2) << v->windowTitle().toStdString();
        EXPECT_TRUE(area.contains(f)) << v->windowTitle().toStdString();
    };
    w().resize(300, 200);
    w().move(area.right() - 320, area.bottom() - 220);
    QApplication::processEvents();
    teclado::Pulsa(Qt::Key_F6);
    QWidget* hoja = abierta(static_cast<reportes::VentanaPlanilla*>(nullptr));
    ASSERT_NE(hoja, nullptr);
    centrada(hoja);
    EXPECT_NE(hoja->frameGeometry().topLeft(), area.topLeft());
    auto* tabla = hoja->findChild<QTableView*>(QStringLiteral("grilla"));
    QApplication::processEvents();
    const int ultima = tabla->model()->columnCount() - 1;
    EXPECT_LE(tabla->horizontalHeader()->sectionViewportPosition(ultima) + tabla->columnWidth(ultima),
              tabla->viewport()->width())
        << "the last column is cut";
    hoja->close();
    w().activateWindow();
    QApplication::processEvents();
    teclado::Pulsa(Qt::Key_F4);
    QWidget* vista = abierta(static_cast<reportes::VistaPrevia*>(nullptr));
    ASSERT_NE(vista, nullptr);
    centrada(vista);
}

TEST_F(Reportes, MissingCompanyNameAndMissingDefinition)
{
    abre();
    ejecuta(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'NOMBRE'"));
    w().ArchivoSalida = dir_.filePath(QStringLiteral("sin_nombre.pdf"));
    w().Reporte();
    EXPECT_TRUE(TextoPdf(w().ArchivoSalida).contains(QStringLiteral("Cantidad de registros: 10")));
    QFile::remove(dir_.filePath(QStringLiteral("rp_cn070.rep")));
    w().CmdRep_Click();
    ASSERT_EQ(mensajes().size(), 1);
    EXPECT_TRUE(mensajes()[0].startsWith(QStringLiteral("No se encuentra el reporte rp_cn070")));
    // No log was named for the report component: the line goes to VLERR.LOG with the others.
    QFile log(DB().RutaLogErrores());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << log.fileName().toStdString();
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains(QStringLiteral(" Rutina: - ImprimeReporte Mensaje No se encuentra el reporte rp_cn070")));
}

TEST_F(Reportes, TheProgramWritesTheFourOutputsUnattended)
{
    // The program folder must hold the report definitions: it is the build's.
    const QString carpeta = QFileInfo(QStringLiteral(PROGRAMA)).absolutePath();
    ASSERT_TRUE(QFile::exists(carpeta + QStringLiteral("/rp_cn070.rep")));
    DB().gCnn.Close();
    QString base = QStringLiteral("@DbName=%1;").arg(ruta_);
    QString ultimoError;
    auto ejecuta = [&](const QStringList& extra) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the program chooses no screen by itself
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PROGRAMA),
                QStringList{QStringLiteral("@Server=;"), base, QStringLiteral("@Usuario=ADMIN;"), QStringLiteral("@Password=;")} +
                    extra);
        EXPECT_TRUE(p.waitForFinished(60000));
        ultimoError = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    const QString a = dir_.filePath(QStringLiteral("a.pdf")), b = dir_.filePath(QStringLiteral("b.xlsx")),
                  c = dir_.filePath(QStringLiteral("c.pdf")), d = dir_.filePath(QStringLiteral("d.csv"));
    EXPECT_EQ(ejecuta({QStringLiteral("--reporte=") + a, QStringLiteral("--planilla=") + b,
                       QStringLiteral("--reporte-cuentas-varias=") + c, QStringLiteral("--planilla-cuentas-varias=") + d}),
              0);
    EXPECT_TRUE(TextoPdf(a).contains(QStringLiteral("Cantidad de registros: 10")));
    EXPECT_EQ(LeeXlsx(b)[QStringLiteral("celdas")].toArray().size(), 11);
    EXPECT_EQ(lineasCsv(d).size(), 62);
    EXPECT_TRUE(TextoPdf(c).contains(QStringLiteral("Cantidad de registros: 61")));
    // A file that cannot be written is an error the scheduler sees.
    EXPECT_EQ(ejecuta({QStringLiteral("--planilla=/nonexistent/dir/x.xlsx")}), 3);
    // ... and so is a format the program does not write: nothing under that name.
    for (const QString& salida : {QStringLiteral("--planilla=%1/x.ods"), QStringLiteral("--reporte=%1/x.xlsx"),
                                  QStringLiteral("--planilla-cuentas-varias=%1/x.pdf")}) {
        EXPECT_EQ(ejecuta({salida.arg(dir_.path())}), 2) << salida.toStdString();
        EXPECT_TRUE(ultimoError.contains(QStringLiteral("No se puede escribir"))) << ultimoError.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("x.ods"))));
    // Messages end their lines for a terminal: no carriage return left to overwrite the last line.
    ruta_ = dir_.filePath(QStringLiteral("no-existe.db"));
    base = QStringLiteral("@DbName=%1;").arg(ruta_);
    EXPECT_EQ(ejecuta({QStringLiteral("--reporte=") + a}), 1);
    EXPECT_TRUE(ultimoError.contains(QStringLiteral("Estado de Sql: 08001\n"))) << ultimoError.toStdString();
    EXPECT_FALSE(ultimoError.contains(u'\r'));
}

TEST_F(Reportes, TheAccountingErrorLogReceivesTheOutputsFailures)
{
    abre();
    QFile::remove(dir_.filePath(QStringLiteral("rp_cn070.rep")));
    // A blank name means the session's log in the program folder, whatever the case of its name.
    w().Contabilidad().setArchivoError(adodb::Variant(QStringLiteral("  ")));
    EXPECT_EQ(RtTexto::ArchivoLogActual(), dir_.path() + QStringLiteral("/VLERR.LOG"));
    w().CmdRep_Click();
    const QString otro = dir_.filePath(QStringLiteral("otro.log"));
    w().Contabilidad().setArchivoError(adodb::Variant(otro));
    w().CmdRep_Click();
    RtTexto::ArchivoLog({});
    for (const QString& log : {dir_.filePath(QStringLiteral("VLERR.LOG")), otro}) {
        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << log.toStdString();
        const QStringList lineas = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(lineas.size(), 1);
        EXPECT_TRUE(lineas[0].contains(QStringLiteral(" Rutina: - ImprimeReporte Mensaje No se encuentra el reporte rp_cn070")))
            << lineas[0].toStdString();
    }
    EXPECT_EQ(mensajes().size(), 2);
}

// Descriptions as long as their field, in the widest letters, print whole in
// the preview and in its PDF: the titles' and the uncovered accounts'.
TEST_F(Reportes, DescriptionsAsLongAsTheirFieldPrintWhole)
{
    abre();
    const auto ancha = [](int largo) {
        const QString letras = QStringLiteral("WMÑÁÉÍÓÚÜ");
        QString t;
        for (int i = 0; i < largo; ++i) t += letras.at(i % letras.size());
        return t;
    };
    const QString titulo = ancha(50), cuenta = ancha(60);
    ejecuta(QStringLiteral("UPDATE TA_TITCOPIADORES SET DESCRIPCION = '%1' WHERE CODIGO = '   3'").arg(titulo));
    ejecuta(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, DESCRIPCION, DV, titulo) VALUES ('99999999999', '%1', '1', 0)")
                .arg(cuenta));
    const struct {
        Qt::Key tecla;
        QString texto;
    } casos[] = {{Qt::Key_F4, titulo}, {Qt::Key_F7, cuenta}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.tecla == Qt::Key_F4 ? "titles" : "uncovered accounts");
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
        teclado::Pulsa(c.tecla);
        reportes::VistaPrevia* vista = nullptr;
        for (QWidget* v : QApplication::topLevelWidgets())
            if (auto* p = dynamic_cast<reportes::VistaPrevia*>(v); p && p->isVisible()) vista = p;
        ASSERT_NE(vista, nullptr);

        // The last page (the new account's) as the preview paints it.
        QTest::mouseClick(vista->findChild<QPushButton*>(QStringLiteral("ultima")), Qt::LeftButton);
        const QString pantalla = dir_.filePath(QStringLiteral("pantalla.pdf"));
        {
            QPdfWriter pdf(pantalla);
            pdf.setResolution(96);
            QPainter p(&pdf);
            vista->findChild<QWidget*>(QStringLiteral("hoja"))->render(&p);
        }
        EXPECT_TRUE(TextoPdf(pantalla).contains(c.texto)) << TextoPdf(pantalla).toStdString();

        const QString ruta = dir_.filePath(QStringLiteral("salida.pdf"));
        guion.op.textos.push_back(ruta);
        QTest::mouseClick(vista->findChild<QPushButton*>(QStringLiteral("guardarPdf")), Qt::LeftButton);
        EXPECT_TRUE(TextoPdf(ruta).contains(c.texto)) << TextoPdf(ruta).toStdString();
        delete vista;
        w().activateWindow();
    }
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
}
