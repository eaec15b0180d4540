// Faults on purpose while the operator is editing a title: the database file
// taken away, unreadable, read-only, locked by another program or full; a save
// cut between its delete and its insert; the program killed while saving.
// Whatever happens, the title stored before stays whole, the operator is told
// in Spanish and the error log keeps a line.
#include "entorno.h"
#include "version_titulo.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <sqlite3.h>
#include <unistd.h>

namespace {
const QString kCambio = QStringLiteral("Cambio que no llega");

QString conexion(const QString& archivo)
{
    return CadenaDeArchivo(archivo);
}

// Permissions do not stop root (CI runs the tests as root).
bool permisosMandan()
{
    return geteuid() != 0;
}
}  // namespace

class Fallas : public VentanaTitulos {
protected:
    void SetUp() override
    {
        VentanaTitulos::SetUp();
        log_ = dir_.filePath(QStringLiteral("VLERR.LOG"));
        DB().gLogErr = log_;
    }
    void TearDown() override
    {
        VentanaTitulos::TearDown();
        DB().gLogErr.clear();
        DB().gCnn.ConnectionTimeout = 15;
        QFile::setPermissions(ruta_, QFile::ReadOwner | QFile::WriteOwner);
    }

    /// Title 3 taken into editing with a new description, not saved yet.
    void editaTitulo3(const QString& descripcion = kCambio)
    {
        abre();
        escribeYEnter(0, QStringLiteral("3"));
        ASSERT_TRUE(w().EsExistente());
        escribe(1, descripcion);
        guion.op.preguntas.clear();
    }
    /// Title 3 exactly as the demo stores it, read by another program on `archivo`.
    static void esperaTitulo3Intacto(const QString& archivo)
    {
        adodb::Connection cn;
        cn.Open(conexion(archivo));
        adodb::Recordset ok = cn.Execute(QStringLiteral("PRAGMA integrity_check"));
        EXPECT_EQ(RtTexto::ValorCampo(ok.Fields(0).Value()), "ok");
        adodb::Recordset rs = cn.Execute(QStringLiteral("SELECT CODIGO, DESCRIPCION, DESDE, HASTA, TC FROM TA_TITCOPIADORES "
                                                        "WHERE LTRIM(RTRIM(CODIGO)) = '3'"));
        ASSERT_FALSE(rs.EOF_()) << "el título 3 desapareció";
        QStringList fila;
        for (int c = 0; c < 5; ++c) fila << RtTexto::ValorCampo(rs.Fields(c).Value());
        EXPECT_EQ(fila.join(QLatin1Char('|')), "   3|Deudores por Ventas|11030101001|11030201001|  FC,  NC,  ND,  RC");
        rs.MoveNext();
        EXPECT_TRUE(rs.EOF_()) << "el título 3 quedó duplicado";
    }
    /// After a refused save the operator's work is still on screen, still being edited.
    void esperaEdicionViva(const QString& descripcion = kCambio)
    {
        EXPECT_EQ(caja(1)->text(), descripcion);
        EXPECT_TRUE(w().Modificado());
        EXPECT_TRUE(barra()->GrabarEnabled());
    }
    QStringList lineasLog() const
    {
        QFile f(log_);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    /// The operator was shown `texto` in an error box, and the log has its line.
    void esperaInforme(const QString& texto)
    {
        const QStringList m = mensajes();
        EXPECT_FALSE(m.filter(texto).isEmpty()) << m.join(" | ").toStdString();
        for (const QString& t : m) {
            EXPECT_FALSE(t.trimmed().isEmpty());
            EXPECT_FALSE(t.contains(QLatin1String("database")) || t.contains(QLatin1String("attempt"))) << t.toStdString();
        }
        EXPECT_FALSE(lineasLog().filter(texto).isEmpty()) << lineasLog().join(" / ").toStdString();
    }
    /// Reconnects the session, e.g. after changing the file or the wait for a lock.
    void reconecta()
    {
        DB().gCnn.Close();
        DB().OpenServerADODB();
        ASSERT_TRUE(DB().gOpenFlag);
    }

    /// Title 3 being edited while another program is in the middle of a long
    /// write; the session waits a second for a lock. Null when it could not be set up.
    sqlite3* editaBloqueado()
    {
        DB().gCnn.ConnectionTimeout = 1;
        DB().gCnn.Close();
        DB().OpenServerADODB();
        editaTitulo3();
        sqlite3* otro = nullptr;
        if (sqlite3_open(ruta_.toUtf8().constData(), &otro) != SQLITE_OK ||
            sqlite3_exec(otro, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_close(otro);
            return nullptr;
        }
        return otro;
    }

    QString log_;
};

TEST_F(Fallas, AFileReplacedUnderTheOpenWindowRefusesTheSaveAndTheOriginalKeepsTheTitle)
{
    editaTitulo3();
    // A copy from a backup, or a sync tool, puts another file in its place:
    // the program still holds the old one open.
    const QString original = ruta_ + QStringLiteral(".original");
    ASSERT_TRUE(QFile::rename(ruta_, original));
    const QByteArray basura(8192, 'x');
    {
        QFile f(ruta_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(basura);
    }
    teclado::Pulsa(Qt::Key_F2);
    esperaInforme(QStringLiteral("fue reemplazado, movido o borrado"));
    esperaEdicionViva();
    DB().gCnn.Close();
    esperaTitulo3Intacto(original);
    QFile f(ruta_);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), basura) << "the file put in its place was written to";
}

TEST_F(Fallas, AFileDeletedUnderTheOpenWindowRefusesTheSave)
{
    editaTitulo3();
    const QString copia = ruta_ + QStringLiteral(".copia");
    ASSERT_TRUE(QFile::copy(ruta_, copia));
    ASSERT_TRUE(QFile::remove(ruta_));
    teclado::Pulsa(Qt::Key_F2);
    esperaInforme(QStringLiteral("fue reemplazado, movido o borrado"));
    esperaEdicionViva();
    EXPECT_FALSE(QFileInfo::exists(ruta_));
    esperaTitulo3Intacto(copia);
}

TEST_F(Fallas, AnUnreadableFileIsRefusedAtStartWithAMessageAndLeftAsItWas)
{
    DB().gCnn.Close();
    DB().gOpenFlag = false;
    QByteArray antes;
    if (permisosMandan()) {
        ASSERT_TRUE(QFile::setPermissions(ruta_, {}));
    } else {
        // Root reads any file: unreadable here means its pages cannot be read as a database.
        QFile f(ruta_);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        antes = f.readAll();
        f.seek(0);
        f.write(QByteArray(100, '\xff'));
    }
    frmTA_TITCOPIADORES ventana;
    EXPECT_FALSE(ventana.Form_Load(QStringLiteral("@Server=; @DbName=%1; @Usuario=ADMIN; @Password=;").arg(ruta_)));
    ASSERT_FALSE(guion.op.preguntas.empty());
    const QString texto = guion.op.preguntas.front().texto;
    const QString motivo = permisosMandan() ? QStringLiteral("No se puede abrir el archivo de la base de datos.")
                                            : QStringLiteral("El archivo no es una base de datos.");
    EXPECT_TRUE(texto.contains(QStringLiteral("Descripcion: ") + motivo)) << texto.toStdString();
    // The log names the file the operator could not open.
    const QStringList lineas = lineasLog().filter(QStringLiteral("Rutina: - OpenServerADODB"));
    ASSERT_EQ(lineas.size(), 1) << lineasLog().join(" / ").toStdString();
    EXPECT_TRUE(lineas.front().contains(motivo)) << lineas.front().toStdString();
    EXPECT_EQ(guion.op.preguntas.front().titulo, " Error de Conexion a Base de Datos");
    EXPECT_EQ(fines, std::vector<int>{}) << "ended by the test's script, not by a crash";
    QFile::setPermissions(ruta_, QFile::ReadOwner | QFile::WriteOwner);
    if (!antes.isEmpty()) {
        QFile f(ruta_);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        EXPECT_EQ(f.readAll().mid(100), antes.mid(100)) << "the refused file was changed";
        f.seek(0);
        f.write(antes.left(100));
    }
    esperaTitulo3Intacto(ruta_);
}

TEST_F(Fallas, AReadOnlyDatabaseRefusesTheSaveWithAClearMessage)
{
    if (permisosMandan()) {
        // The file as an installation without write rights leaves it.
        ASSERT_TRUE(QFile::setPermissions(ruta_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        reconecta();
        editaTitulo3();
    } else {
        // Root writes any file; the connection itself is made read-only instead.
        editaTitulo3();
        ejecuta(QStringLiteral("PRAGMA query_only = 1"));
    }
    teclado::Pulsa(Qt::Key_F2);
    esperaInforme(QStringLiteral("sólo lectura"));
    esperaEdicionViva();
    esperaTitulo3Intacto(ruta_);
}

TEST_F(Fallas, ALockedDatabaseWaitsItsTimeoutThenSaysSoAndSavesOnceFree)
{
    sqlite3* otro = editaBloqueado();
    ASSERT_TRUE(otro);
    QElapsedTimer reloj;
    reloj.start();
    teclado::Pulsa(Qt::Key_F2);  // Abort, the box's default
    EXPECT_GE(reloj.elapsed(), 900) << "gave up without waiting for the other program";
    esperaInforme(QStringLiteral("bloqueada por otro usuario"));
    EXPECT_EQ(guion.op.preguntas.front().botones, rt::vbAbortRetryIgnore + rt::vbCritical);
    esperaEdicionViva();
    sqlite3_exec(otro, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(otro);
    esperaTitulo3Intacto(ruta_);

    guion.op.preguntas.clear();
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(valor(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'")), kCambio);
}

TEST_F(Fallas, ADeleteOnALockedFileWaitsThenSaysSoAndKeepsTheTitle)
{
    sqlite3* otro = editaBloqueado();
    ASSERT_TRUE(otro);
    guion.op.respuestas = {rt::vbYes};  // the confirmation; Abort for the error
    teclado::Pulsa(Qt::Key_F10);
    ASSERT_EQ(mensajes().size(), 2) << mensajes().join(" | ").toStdString();
    esperaInforme(QStringLiteral("bloqueada por otro usuario"));
    sqlite3_exec(otro, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(otro);
    esperaTitulo3Intacto(ruta_);
    // Nothing was deleted: the title stays on screen for another try.
    EXPECT_EQ(caja(0)->text(), "3");
    EXPECT_EQ(caja(1)->text(), kCambio);
}

TEST_F(Fallas, ALockReleasedWhileTheOperatorReadsTheMessageSavesOnRetry)
{
    sqlite3* otro = editaBloqueado();
    ASSERT_TRUE(otro);
    // The other program ends its write while the box is up; the operator answers Retry.
    struct Reintenta : rt::OperadorGuionado {
        sqlite3* otro;
        int MsgBox(const QString& t, int b, const QString& ti) override
        {
            OperadorGuionado::MsgBox(t, b, ti);
            sqlite3_exec(otro, "ROLLBACK", nullptr, nullptr, nullptr);
            return rt::vbRetry;
        }
    } op;
    op.otro = otro;
    rt::fijaOperador(&op);
    teclado::Pulsa(Qt::Key_F2);
    rt::fijaOperador(&guion.op);
    sqlite3_close(otro);
    ASSERT_EQ(op.mensajes().size(), 1) << op.mensajes().join(" | ").toStdString();
    EXPECT_TRUE(op.mensajes().front().contains(QStringLiteral("bloqueada"))) << op.mensajes().front().toStdString();
    EXPECT_EQ(valor(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'")), kCambio);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '3'")), 1);
    EXPECT_FALSE(w().Modificado());
}

TEST_F(Fallas, AFullDiskStopsTheSaveAndTheTitleStaysAsItWas)
{
    const QString larga = QStringLiteral("Deudores por ventas en cuenta corriente y a plazo");
    editaTitulo3(larga);
    // The database may not grow by a page: the limit SQLite keeps per connection.
    ejecuta(QStringLiteral("PRAGMA max_page_count = %1").arg(cuenta(QStringLiteral("PRAGMA page_count"))));
    // Titles written by another program fill what room the pages had left.
    int n = 0;
    for (int ancho : {40, 20, 8, 3, 1}) {
        for (;;) {
            try {
                ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION) VALUES ('X%1', '%2')")
                            .arg(n++, 3, 36, QLatin1Char('0'))
                            .arg(QString(ancho, QLatin1Char('r'))));
            } catch (const adodb::AdoException&) {
                break;
            }
        }
    }
    guion.op.preguntas.clear();
    teclado::Pulsa(Qt::Key_F2);
    esperaInforme(QStringLiteral("disco está lleno"));
    esperaEdicionViva(larga);
    esperaTitulo3Intacto(ruta_);
}

TEST_F(Fallas, ASaveCutBetweenItsDeleteAndItsInsertLeavesThePreviousTitle)
{
    editaTitulo3();
    // The insert fails after the delete ran, as a failing disk sector or a
    // broken link would cut it; another program sets the trap.
    auto otroPrograma = [&](const char* sql) {
        sqlite3* otro = nullptr;
        ASSERT_EQ(sqlite3_open(ruta_.toUtf8().constData(), &otro), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(otro, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(otro);
        sqlite3_close(otro);
    };
    otroPrograma("CREATE TRIGGER corta BEFORE INSERT ON TA_TITCOPIADORES BEGIN SELECT RAISE(ABORT, 'corte de prueba'); END");
    // Abort (the default), and Ignore, which goes on past the failed insert.
    for (const int respuesta : {static_cast<int>(rt::vbAbort), static_cast<int>(rt::vbIgnore)}) {
        SCOPED_TRACE(respuesta);
        guion.op.preguntas.clear();
        guion.op.respuestas = {respuesta, respuesta, respuesta, respuesta};
        teclado::Pulsa(Qt::Key_F2);
        esperaInforme(QStringLiteral("no cumplen una condición"));
        esperaEdicionViva();
        esperaTitulo3Intacto(ruta_);
    }
    otroPrograma("DROP TRIGGER corta");
    guion.op.preguntas.clear();
    guion.op.respuestas.clear();
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_TRUE(mensajes().isEmpty()) << mensajes().join(" | ").toStdString();
    EXPECT_EQ(valor(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE CODIGO = '   3'")), kCambio);
}

TEST_F(Fallas, AProgramKilledWhileSavingLeavesEveryTitleWholeOldOrNew)
{
    DB().gCnn.Close();
    const QStringList codigos{QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    QMap<QString, QString> demo;  // each title as the demo stores it
    {
        adodb::Connection cn;
        cn.Open(conexion(ruta_));
        for (const QString& c : codigos) {
            adodb::Recordset rs =
                cn.Execute(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '%1'").arg(c));
            demo[c] = RtTexto::ValorCampo(rs.Fields(0).Value());
        }
    }
    QRandomGenerator azar(20261209);
    int guardados = 0;
    const int kMuertes = 8;
    for (int vez = 0; vez < kMuertes; ++vez) {
        SCOPED_TRACE(vez);
        QProcess hijo;
        hijo.start(QStringLiteral(OPERADOR_TITULOS), {ruta_, QStringLiteral("bucle")});
        ASSERT_TRUE(hijo.waitForStarted(5000));
        ASSERT_TRUE(hijo.waitForReadyRead(15000)) << hijo.readAllStandardError().toStdString();
        // Killed anywhere in its loop of saves: between statements, inside a
        // transaction, halfway through a write to the journal.
        QThread::msleep(50 + azar.bounded(400));
        ::kill(static_cast<pid_t>(hijo.processId()), SIGKILL);
        ASSERT_TRUE(hijo.waitForFinished(5000));
        guardados += static_cast<int>(hijo.readAllStandardOutput().count("grabado"));

        adodb::Connection cn;
        cn.Open(conexion(ruta_));
        adodb::Recordset ok = cn.Execute(QStringLiteral("PRAGMA integrity_check"));
        ASSERT_EQ(RtTexto::ValorCampo(ok.Fields(0).Value()), "ok");
        EXPECT_EQ(RtTexto::ValorCampo(cn.Execute(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES")).Fields(0).Value()),
                  "10");
        for (const QString& c : codigos) {
            adodb::Recordset rs = cn.Execute(
                QStringLiteral("SELECT DESCRIPCION, DESDE, HASTA, TC FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '%1'").arg(c));
            ASSERT_FALSE(rs.EOF_()) << "title " << c.toStdString() << " lost";
            const QString desc = RtTexto::ValorCampo(rs.Fields(0).Value());
            const int n = VersionTitulo::DeDescripcion(desc);
            if (n < 0) {
                EXPECT_EQ(desc, demo[c]);
            } else {
                EXPECT_TRUE(VersionTitulo::Entera(c, n, desc, RtTexto::ValorCampo(rs.Fields(1).Value()),
                                                  RtTexto::ValorCampo(rs.Fields(2).Value()),
                                                  RtTexto::ValorCampo(rs.Fields(3).Value())))
                    << "title " << c.toStdString() << " half written: " << desc.toStdString();
            }
            rs.MoveNext();
            EXPECT_TRUE(rs.EOF_()) << "title " << c.toStdString() << " duplicated";
        }
    }
    // The kills fell among saves, not all before the first one.
    EXPECT_GT(guardados, 0);
    std::cout << "[ cifras   ] " << kMuertes << " kills, " << guardados << " saves stored between them" << std::endl;
}
