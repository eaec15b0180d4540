// The titles window on a PostgreSQL server, reached natively (libpq) and
// through psqlODBC: the whole editing cycle, and two programs editing titles
// at the same time.
#include "../sesion_pg.h"
#include "../teclado.h"
#include "../titles/entorno.h"
#include "proxy_latencia.h"

#include <atomic>
#include <deque>
#include <thread>

namespace {

/// How the program reaches the server: a "pg:" server goes through libpq
/// unless the administrator's extra settings name psqlODBC.
enum class Ruta { Libpq, Odbc };

std::string NombreRuta(const ::testing::TestParamInfo<Ruta>& p)
{
    return p.param == Ruta::Libpq ? "Libpq" : "Odbc";
}

}  // namespace

class TitulosPg : public VentanaTitulos, public ::testing::WithParamInterface<Ruta> {
protected:
    void SetUp() override
    {
        aplicacion();
        finPropio_ = rt::manejadorFin();
        servidor_ = ServidorConAdministrador();
        if (!servidor_) GTEST_SKIP() << "PostgreSQL no disponible";
        static int n = 0;
        base_ = QStringLiteral("titulos%1").arg(++n);
        ASSERT_TRUE(servidor_->CreaBase(base_)) << qPrintable(servidor_->error());
        ASSERT_TRUE(servidor_->PsqlArchivo(base_, QStringLiteral(DEMO_DIR "/schema_postgres.sql")))
            << qPrintable(servidor_->error());
        ASSERT_TRUE(servidor_->PsqlArchivo(base_, QStringLiteral(DEMO_DIR "/demo.sql"))) << qPrintable(servidor_->error());

        RtEntorno::FijaCarpetaPrograma(dir_.path() + QStringLiteral("/"));
        RtEntorno::FijaNombreUsuario(QStringLiteral("prueba"));
        RtEntorno::FijaNombreMaquina(QStringLiteral("pc-prueba"));
        RtIni::FijaCarpetaConfiguracion(dir_.path());
        DB().gExtended = GetParam() == Ruta::Odbc ? QStringLiteral("Driver={PostgreSQL Unicode};") : QString();
        ConectaComoAdministrador(*servidor_, base_, dir_.filePath(QStringLiteral("VLERR.LOG")));
        ASSERT_TRUE(DB().gOpenFlag);
        ASSERT_TRUE(DB().gEsAdmin);
        rt::manejadorFin() = [this](int codigo) { fines.push_back(codigo); };
    }
    void TearDown() override
    {
        VentanaTitulos::TearDown();
        rt::manejadorFin() = finPropio_;
        DB().gServidor.clear();
        DB().gExtended.clear();
        DB().gLogErr.clear();
    }
    /// Another program on the same database.
    std::unique_ptr<adodb::Connection> otroPrograma()
    {
        auto cn = std::make_unique<adodb::Connection>();
        cn->Open(DB().gConnString);
        return cn;
    }

    ServidorPg* servidor_ = nullptr;
    QString base_;
    std::function<void(int)> finPropio_;
};

TEST_P(TitulosPg, CreateReplaceDeleteAndLookUpEndToEnd)
{
    abre();
    EXPECT_EQ(caja(0)->text(), "11");
    EXPECT_EQ(lista()->count(), 16);

    // Create, with an optional account code typed in lower case.
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Inversiones en el exterior ñ"));
    escribeYEnter(2, QStringLiteral("11020101001"));
    escribeYEnter(3, QStringLiteral("11020103001"));
    itemDe(QStringLiteral("FC"))->setCheckState(Qt::Unchecked);
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), "Inversiones en el exterior ñ");
    EXPECT_EQ(valor("SELECT DESDE + '-' + HASTA FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), "11020101001-11020103001");
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '  20' AND fechahora_grabacion IS NOT NULL"), 1);
    EXPECT_EQ(caja(0)->text(), "21");

    // Replace, validating an optional code and the range against the other titles.
    guion.op.preguntas.clear();
    escribeYEnter(0, QStringLiteral("3"));
    EXPECT_EQ(caja(1)->text(), "Deudores por Ventas");
    EXPECT_EQ(w().CptesMarcados(), "  FC,  NC,  ND,  RC");
    escribe(1, QStringLiteral("Deudores comunes"));
    escribeYEnter(2, QStringLiteral("caja"));
    EXPECT_EQ(caja(2)->text(), "11010101001");
    EXPECT_EQ(mensajes(), QStringList{"El Codigo de Cuenta esta en el rango de otro Copiador!"});
    guion.op.preguntas.clear();
    teclado::Pulsa(Qt::Key_F2);
    // Saving validates again: the warning, and nothing else.
    EXPECT_EQ(mensajes(), QStringList{"El Codigo de Cuenta esta en el rango de otro Copiador!"});
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "Deudores comunes");
    EXPECT_EQ(valor("SELECT DESDE FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "11010101001");
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 11);

    // Look up, then delete what was found.
    w().ConsultarTabla = [](const QString&) { return QStringLiteral(" 3 "); };
    QTest::mouseClick(caja(0), Qt::RightButton);
    EXPECT_TRUE(w().EsExistente());
    guion.op.respuestas = {rt::vbYes};
    teclado::Pulsa(Qt::Key_F10);
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'"), 0);
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 10);
    // As at start-up: the next code proposed, nothing shown.
    EXPECT_EQ(caja(0)->text(), "21");
    EXPECT_TRUE(caja(1)->text().isEmpty());
    EXPECT_FALSE(QFile::exists(DB().gLogErr)) << "no error was reported";
    // The start was recorded in the access log.
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM Control_Acceso WHERE Maquina = 'PC-PRUEBA'"), 1);
}

TEST_P(TitulosPg, DataWrittenByOthersIsFoundWhateverItsCaseAndPadding)
{
    // Another program stored the code padded on the right and the account in lower case.
    auto otro = otroPrograma();
    otro->Execute(QStringLiteral("UPDATE MA_CUENTAS SET CodigoOpcional = 'bna01  ' WHERE Codigo = '11010201001'"));
    abre();
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Bancos"));
    escribeYEnter(2, QStringLiteral("BNA01"));
    EXPECT_EQ(caja(2)->text(), "11010201001");
}

// The uncovered-accounts sheet: an account stored with a trailing blank
// ("11030201001 ", written by another program) that ends a title's range is
// covered by it, as SQL Server and the report see it.
TEST_P(TitulosPg, AnAccountStoredWithATrailingBlankAtARangesEndIsCovered)
{
    otroPrograma()->Execute(QStringLiteral("UPDATE MA_CUENTAS SET Codigo = '11030201001 ' WHERE Codigo = '11030201001'"));
    abre();
    const QString hoja = dir_.filePath(QStringLiteral("varias.csv"));
    w().ArchivoSalida = hoja;
    w().CmdVarias_Click();
    QFile f(hoja);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << mensajes().join(" | ").toStdString();
    const QStringList lineas = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_GT(lineas.size(), 1) << "the sheet lists the accounts no title covers";
    for (const QString& l : lineas) EXPECT_FALSE(l.contains(QStringLiteral("11030201001"))) << l.toStdString();
}

using adodb::Recordset;

TEST_P(TitulosPg, TwoProgramsEditingTitlesAtOnceLoseNothing)
{
    abre();
    auto otro = otroPrograma();
    // This window starts a new title and replaces another while the other program works.
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Desde esta ventana"));
    escribeYEnter(2, QStringLiteral("11020101001"));
    escribeYEnter(3, QStringLiteral("11020103001"));
    otro->Execute(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC) "
                                 "VALUES ('  21', 'Del otro programa', '51010101001', '51010101001', '  AS')"));
    otro->Execute(QStringLiteral("UPDATE TA_TITCOPIADORES SET DESCRIPCION = 'Cambiado por el otro' WHERE CODIGO = '   5'"));
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    // The next free code skips the other program's title.
    EXPECT_EQ(caja(0)->text(), "22");

    escribeYEnter(0, QStringLiteral("4"));
    escribe(1, QStringLiteral("Reemplazado aquí"));
    otro->BeginTrans();
    otro->Execute(QStringLiteral("UPDATE TA_TITCOPIADORES SET TC = '  AS' WHERE CODIGO = '   6'"));
    otro->CommitTrans();
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();

    Recordset todo = otro->Execute(QStringLiteral("SELECT CODIGO, DESCRIPCION, TC FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    EXPECT_EQ(todo.RecordCount(), 12);
    std::map<QString, QString> descripcion;
    for (; !todo.EOF_(); todo.MoveNext()) descripcion[todo.Fields(0).Value().toString()] = todo.Fields(1).Value().toString();
    EXPECT_EQ(descripcion["  20"], "Desde esta ventana");
    EXPECT_EQ(descripcion["  21"], "Del otro programa");
    EXPECT_EQ(descripcion["   5"], "Cambiado por el otro");
    EXPECT_EQ(descripcion["   4"], "Reemplazado aquí");
    EXPECT_EQ(valor("SELECT TC FROM TA_TITCOPIADORES WHERE CODIGO = '   6'"), "  AS");
}

TEST_P(TitulosPg, ReplacingKeepsTheCreationDateAndATableWithoutDateColumnsStillSaves)
{
    abre();
    escribeYEnter(0, QStringLiteral("1"));
    escribe(1, QStringLiteral("Diario de año"));
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE CODIGO = '   1' AND DESCRIPCION = 'Diario de año' AND "
                     "fechahora_grabacion = '2023-01-02 09:12:40' AND fechahora_modificacion > '2024-03-11 16:05:12'"),
              1);

    // Another program's table, without the date columns.
    ASSERT_TRUE(servidor_->Psql(base_, QStringLiteral("ALTER TABLE TA_TITCOPIADORES DROP COLUMN fechahora_grabacion, "
                                                      "DROP COLUMN fechahora_modificacion")))
        << qPrintable(servidor_->error());
    DB().gCnn.Close();
    DB().OpenServerADODB();
    ASSERT_TRUE(DB().gOpenFlag);
    guion.op.preguntas.clear();
    escribeYEnter(0, QStringLiteral("3"));
    escribe(1, QStringLiteral("Deudores"));
    teclado::Pulsa(Qt::Key_F2);
    escribeYEnter(0, QStringLiteral("20"));
    escribeYEnter(1, QStringLiteral("Nuevo"));
    escribeYEnter(2, QStringLiteral("11020101001"));
    escribeYEnter(3, QStringLiteral("11020103001"));
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'"), "Deudores");
    EXPECT_EQ(valor("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '  20'"), "Nuevo");
}

// ---------------------------------------------------------------------------
// The link to the server lost while saving: the save happens once or not at
// all, the operator is told which, and every failure shown is in the log.

namespace {

// The scripted operator, with something done as each Abort/Retry/Ignore box
// appears (the server brought back while the operator reads it).
class OperadorDelCorte : public rt::OperadorGuionado {
public:
    std::function<void(int caja)> alPreguntar;
    int cajas = 0;
    int MsgBox(const QString& texto, int botones, const QString& titulo) override
    {
        if ((botones & 0xF) == rt::vbAbortRetryIgnore) {
            ++cajas;
            if (alPreguntar) alPreguntar(cajas);
        }
        return OperadorGuionado::MsgBox(texto, botones, titulo);
    }
};

QStringList LineasDe(const QString& archivo)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

}  // namespace

class CorteAlGrabar : public TitulosPg {
protected:
    void SetUp() override
    {
        TitulosPg::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        rt::fijaOperador(&op);
    }
    void TearDown() override
    {
        DB().gCnn.OnRequest = nullptr;
        rt::fijaOperador(&guion.op);
        if (servidor_ && !servidor_->Activo()) {
            EXPECT_TRUE(servidor_->Reanuda()) << qPrintable(servidor_->error());
        }
        TitulosPg::TearDown();
    }
    /// Title 3 on screen with another description typed, not saved yet.
    void editaTitulo3()
    {
        abre();
        escribeYEnter(0, QStringLiteral("3"));
        ASSERT_TRUE(w().EsExistente());
        escribe(1, QStringLiteral("Cambiada al cortarse"));
        op.preguntas.clear();
    }
    /// What another program reads of title 3: its rows and its description.
    std::pair<long, QString> titulo3EnLaTabla()
    {
        auto otro = otroPrograma();
        Recordset rs = otro->Execute(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'"));
        return {rs.RecordCount(), rs.EOF_() ? QString() : rs.Fields(0).Value().toString()};
    }
    QStringList avisosNoGrabado() const
    {
        QStringList r;
        for (const QString& m : op.mensajes())
            if (m.contains(QStringLiteral("no se grabó")) || m.contains(QStringLiteral("quedó grabado"))) r << m;
        return r;
    }

    OperadorDelCorte op;
};

TEST_P(CorteAlGrabar, AServerStoppedBeforeF2AbortKeepsTheEditUnsavedAndRetrySavesOnceItIsBack)
{
    struct Caso {
        const char* nombre;
        std::deque<int> respuestas;
        int reanudaEnLaCaja;  // 0: after F2 has returned
        bool grabado;
    };
    const std::vector<Caso> casos = {
        {"Anular", {rt::vbAbort}, 0, false},
        {"Reintentar con el servidor detenido, luego de vuelta", {rt::vbRetry, rt::vbRetry}, 2, true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        editaTitulo3();
        if (HasFatalFailure()) return;
        const QString desde = caja(2)->text();
        QFile::remove(DB().gLogErr);
        op.cajas = 0;
        op.respuestas = c.respuestas;
        op.alPreguntar = [&](int n) {
            if (n == c.reanudaEnLaCaja) {
                ASSERT_TRUE(servidor_->Reanuda()) << qPrintable(servidor_->error());
            }
        };
        servidor_->Detiene();
        teclado::Pulsa(Qt::Key_F2);
        op.alPreguntar = nullptr;
        ASSERT_TRUE(servidor_->Reanuda()) << qPrintable(servidor_->error());

        const QStringList mensajes = op.mensajes();
        EXPECT_TRUE(fines.empty()) << "the program ended";
        EXPECT_EQ(op.cajas, static_cast<int>(c.respuestas.size())) << mensajes.join(" | ").toStdString();
        for (const QString& m : mensajes) EXPECT_FALSE(m.contains(QStringLiteral("inexistente"))) << m.toStdString();
        // Every box shown left its line, with the answer given.
        const QStringList lineas = LineasDe(DB().gLogErr);
        EXPECT_EQ(lineas.size(), op.cajas) << lineas.join("\n").toStdString();
        for (const QString& l : lineas)
            EXPECT_TRUE(l.endsWith(c.grabado ? QStringLiteral("Reintentar") : QStringLiteral("Abortar"))) << l.toStdString();

        if (c.grabado) {
            EXPECT_EQ(titulo3EnLaTabla(), std::make_pair(1L, QStringLiteral("Cambiada al cortarse")));
            EXPECT_TRUE(avisosNoGrabado().isEmpty()) << mensajes.join(" | ").toStdString();
            EXPECT_FALSE(w().Modificado());
            EXPECT_EQ(caja(0)->text(), "11");
            continue;
        }
        // Nothing stored, the edit on screen as typed, and the operator told so once.
        EXPECT_EQ(titulo3EnLaTabla(), std::make_pair(1L, QStringLiteral("Deudores por Ventas")));
        EXPECT_EQ(avisosNoGrabado().size(), 1) << mensajes.join(" | ").toStdString();
        EXPECT_EQ(caja(0)->text(), "3");
        EXPECT_EQ(caja(1)->text(), "Cambiada al cortarse");
        EXPECT_EQ(caja(2)->text(), desde);
        EXPECT_TRUE(w().EsExistente());
        EXPECT_TRUE(w().Modificado());
        EXPECT_TRUE(barra()->GrabarEnabled());
        // The server back, nothing is written until the operator saves.
        QTest::qWait(200);
        EXPECT_EQ(titulo3EnLaTabla().second, QStringLiteral("Deudores por Ventas"));
        op.preguntas.clear();
        teclado::Pulsa(Qt::Key_F2);
        EXPECT_TRUE(op.mensajes().isEmpty()) << op.mensajes().join(" | ").toStdString();
        EXPECT_EQ(titulo3EnLaTabla(), std::make_pair(1L, QStringLiteral("Cambiada al cortarse")));
        // Back as it was, for the next case.
        otroPrograma()->Execute(
            QStringLiteral("UPDATE TA_TITCOPIADORES SET DESCRIPCION = 'Deudores por Ventas' WHERE LTRIM(CODIGO) = '3'"));
    }
}

// The link cut at each statement of the save, the server running: the save's
// transaction happened whole or not at all, and Retry writes it exactly once.
TEST_P(CorteAlGrabar, ALinkCutAtAnyStatementOfTheSaveIsRetriedAsAWholeAndSavedOnce)
{
    struct Corte {
        const char* nombre;
        QString sentencia;
        int inserciones;  // the one cut or rolled back, if it was sent, and the one that stayed
    };
    const std::vector<Corte> cortes = {
        {"al leer el título", QStringLiteral("SELECT * FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO))"), 1},
        {"al borrar la fila anterior", QStringLiteral("DELETE FROM TA_TITCOPIADORES"), 1},
        {"al agregar la fila nueva", QStringLiteral("INSERT INTO"), 2},
        {"al confirmar, antes de que llegue", QStringLiteral("COMMIT"), 2},
    };
    for (const auto& [nombre, sentencia, esperadas] : cortes) {
        SCOPED_TRACE(nombre);
        editaTitulo3();
        if (HasFatalFailure()) return;
        QFile::remove(DB().gLogErr);
        op.cajas = 0;
        op.respuestas = {rt::vbRetry};
        bool enTransaccion = false, cortado = false;
        int inserciones = 0;
        DB().gCnn.OnRequest = [&](const QString& sql) {
            if (sql == QLatin1String("BEGIN")) enTransaccion = true;
            if (sql.startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive)) ++inserciones;
            if (enTransaccion && !cortado && sql.contains(sentencia, Qt::CaseInsensitive)) {
                cortado = true;
                ASSERT_TRUE(servidor_->TerminaSesiones(base_));
            }
        };
        teclado::Pulsa(Qt::Key_F2);
        DB().gCnn.OnRequest = nullptr;
        EXPECT_TRUE(cortado);
        EXPECT_EQ(op.cajas, 1) << op.mensajes().join(" | ").toStdString();
        EXPECT_EQ(inserciones, esperadas);
        EXPECT_TRUE(avisosNoGrabado().isEmpty()) << op.mensajes().join(" | ").toStdString();
        EXPECT_EQ(titulo3EnLaTabla(), std::make_pair(1L, QStringLiteral("Cambiada al cortarse")));
        EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 10);
        const QStringList lineas = LineasDe(DB().gLogErr);
        ASSERT_EQ(lineas.size(), 1);
        EXPECT_TRUE(lineas[0].endsWith(QStringLiteral("Reintentar"))) << lineas[0].toStdString();
        EXPECT_FALSE(w().Modificado());
        otroPrograma()->Execute(
            QStringLiteral("UPDATE TA_TITCOPIADORES SET DESCRIPCION = 'Deudores por Ventas' WHERE LTRIM(CODIGO) = '3'"));
    }
}

// The server gone in the middle of the save, and the operator gives up: the
// delete already sent is undone with the rest, the edit stays, and once the
// server is back the next F2 saves without a question.
TEST_P(CorteAlGrabar, AServerStoppedInsideTheSaveAndAbortLeavesTheTitleWholeAndTheNextF2Saves)
{
    editaTitulo3();
    if (HasFatalFailure()) return;
    QFile::remove(DB().gLogErr);
    // Retry while the server is still down, then give up.
    op.respuestas = {rt::vbRetry, rt::vbAbort};
    bool borrado = false;
    DB().gCnn.OnRequest = [&](const QString& sql) {
        if (!borrado && sql.startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive)) {
            borrado = true;
            servidor_->Detiene();
        }
    };
    teclado::Pulsa(Qt::Key_F2);
    DB().gCnn.OnRequest = nullptr;
    ASSERT_TRUE(borrado);
    ASSERT_TRUE(servidor_->Reanuda()) << qPrintable(servidor_->error());
    EXPECT_EQ(op.cajas, 2) << op.mensajes().join(" | ").toStdString();
    EXPECT_EQ(avisosNoGrabado().size(), 1) << op.mensajes().join(" | ").toStdString();
    EXPECT_EQ(LineasDe(DB().gLogErr).size(), 2);
    EXPECT_EQ(titulo3EnLaTabla(), std::make_pair(1L, QStringLiteral("Deudores por Ventas")));
    EXPECT_EQ(caja(1)->text(), "Cambiada al cortarse");
    EXPECT_TRUE(w().Modificado());

    op.preguntas.clear();
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(op.mensajes().isEmpty()) << op.mensajes().join(" | ").toStdString();
    EXPECT_EQ(titulo3EnLaTabla(), std::make_pair(1L, QStringLiteral("Cambiada al cortarse")));
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM TA_TITCOPIADORES"), 10);
}

// The link lost after the commit reached the server, before its answer came
// back: the failure cannot tell whether the title was saved. The program asks
// the table once the link is back, and does not write the title again.
TEST_P(CorteAlGrabar, ALinkLostAfterTheCommitArrivedIsNotSavedTwice)
{
    // The session goes through a proxy that can hold the server's answer and then drop the link.
    auto otro = otroPrograma();
    ProxyLatencia proxy;
    ASSERT_TRUE(proxy.Inicia(servidor_->Puerto(), 0)) << proxy.error();
    const int puerto = proxy.Puerto();
    DB().gCnn.Close();
    DB().gServidor = QStringLiteral("pg:127.0.0.1,%1").arg(puerto);
    DB().OpenServerADODB();
    ASSERT_TRUE(DB().gOpenFlag);
    editaTitulo3();
    if (HasFatalFailure()) return;
    op.respuestas = {rt::vbRetry};

    std::thread corte;
    std::atomic<bool> llego{false};
    int inserciones = 0;
    DB().gCnn.OnRequest = [&](const QString& sql) {
        if (sql.startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive)) ++inserciones;
        if (sql != QLatin1String("COMMIT") || corte.joinable()) return;
        // The commit and its answer each take 1.5 s on the way; the link is
        // cut as soon as the server has committed, while the answer travels.
        proxy.FijaRetardo(1500);
        corte = std::thread([&] {
            for (int i = 0; i < 100 && !llego; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                Recordset rs =
                    otro->Execute(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'"));
                llego = !rs.EOF_() && rs.Fields(0).Value().toString() == QLatin1String("Cambiada al cortarse");
            }
            proxy.Detiene();
        });
    };
    // The link comes back while the operator reads the box.
    op.alPreguntar = [&](int) {
        if (corte.joinable()) corte.join();
        EXPECT_TRUE(proxy.Inicia(servidor_->Puerto(), 0, puerto)) << proxy.error();
    };
    teclado::Pulsa(Qt::Key_F2);
    DB().gCnn.OnRequest = nullptr;
    op.alPreguntar = nullptr;
    if (corte.joinable()) corte.join();
    EXPECT_TRUE(llego) << "the commit did not reach the server before the cut";

    EXPECT_EQ(inserciones, 1);
    EXPECT_EQ(op.cajas, 1) << op.mensajes().join(" | ").toStdString();
    EXPECT_TRUE(avisosNoGrabado().isEmpty()) << op.mensajes().join(" | ").toStdString();
    EXPECT_EQ(titulo3EnLaTabla(), std::make_pair(1L, QStringLiteral("Cambiada al cortarse")));
    EXPECT_FALSE(w().Modificado());
    EXPECT_EQ(caja(0)->text(), "11");
    const QStringList lineas = LineasDe(DB().gLogErr);
    ASSERT_EQ(lineas.size(), 1) << lineas.join("\n").toStdString();
    EXPECT_TRUE(lineas[0].endsWith(QStringLiteral("Reintentar"))) << lineas[0].toStdString();

    DB().gCnn.Close();
    proxy.Detiene();
}

TEST_P(TitulosPg, ALoginWithoutRightsIsToldOnceAndOfferedTheDialog)
{
    // A login the server lets in, with no right on any table of the suite.
    const QString rol = QStringLiteral("SIN_") + base_.toUpper();
    ASSERT_TRUE(servidor_->Psql(base_, QStringLiteral("CREATE ROLE \"%1\" LOGIN PASSWORD 'clave'").arg(rol)))
        << qPrintable(servidor_->error());
    DB_Dll& db = DB();
    db.gCnn.Close();
    db.gOpenFlag = false;
    db.DialogoAcceso = nullptr;
    const QString linea = QStringLiteral("@Server=pg:127.0.0.1,%1; @DbName=%2; @Usuario=%3; @Password=clave;")
                              .arg(servidor_->Puerto())
                              .arg(base_, rol);

    // Refused: one box that names the right and the table, then the dialog; Cancel ends.
    QStringList dialogos;
    guion.op.alModal = [&](QObject* o) {
        dialogos << o->objectName() + u':' + o->property("usuario").toString();
        return 0;
    };
    EXPECT_FALSE(nueva().Form_Load(linea));
    ASSERT_EQ(mensajes().size(), 1) << mensajes().join(" | ").toStdString();
    EXPECT_TRUE(mensajes()[0].startsWith(QStringLiteral("El usuario %1 no tiene el permiso SELECT sobre la tabla ").arg(rol)))
        << mensajes()[0].toStdString();
    EXPECT_TRUE(mensajes()[0].contains(QStringLiteral(" de la base de datos ") + base_ + u'.'));
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(dialogos, QStringList{QStringLiteral("frmAcceso:") + rol});
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.State(), adodb::adStateClosed);

    // In the dialog the operator logs in as an administrator: the window loads.
    guion.op.preguntas.clear();
    dialogos.clear();
    guion.op.alModal = [&](QObject* o) {
        dialogos << o->objectName();
        o->setProperty("usuario", QStringLiteral("ADMIN"));
        return 1;
    };
    ASSERT_TRUE(nueva().Form_Load(linea));
    EXPECT_EQ(mensajes().size(), 1) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(dialogos, QStringList{QStringLiteral("frmAcceso")});
    EXPECT_EQ(db.gUsuario, QStringLiteral("ADMIN"));
    EXPECT_EQ(caja(0)->text(), "11");
    EXPECT_EQ(lista()->count(), 16);

    // With the grants the README gives, the same login starts without a word.
    QFile permisos(QStringLiteral(DEMO_DIR "/permisos_postgres.sql"));
    ASSERT_TRUE(permisos.open(QIODevice::ReadOnly));
    const QString grants = QString::fromUtf8(permisos.readAll())
                               .replace(QStringLiteral(":\"rol\""), u'"' + rol + u'"')
                               .replace(QStringLiteral(":\"DBNAME\""), u'"' + base_ + u'"');
    ASSERT_TRUE(servidor_->Psql(base_, grants)) << qPrintable(servidor_->error());
    db.gCnn.Close();
    db.gOpenFlag = false;
    guion.op.preguntas.clear();
    guion.op.alModal = nullptr;
    ASSERT_TRUE(nueva().Form_Load(linea));
    EXPECT_TRUE(guion.op.preguntas.empty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(db.gUsuario, rol);
    EXPECT_EQ(caja(0)->text(), "11");
}

INSTANTIATE_TEST_SUITE_P(Rutas, TitulosPg, ::testing::Values(Ruta::Libpq, Ruta::Odbc), NombreRuta);
INSTANTIATE_TEST_SUITE_P(Rutas, CorteAlGrabar, ::testing::Values(Ruta::Libpq, Ruta::Odbc), NombreRuta);
