// A database file on a folder other computers share: never written with
// write-ahead logging, the operator told once, the log told too. The check of
// the filesystem is answered by the test, and, where this machine lets a
// test mount a FUSE filesystem, by a real one.
#include "../sesion_db.h"

#include "adodb/network_folder.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// Read from the file's header (bytes 18 and 19: 2 in write-ahead mode), not
// through a connection, which would set the mode before its first statement.
QString modoDiario(const QString& archivo)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("<no se lee>");
    const QByteArray cabecera = f.read(20);
    if (cabecera.size() < 20) return QStringLiteral("<corto>");
    return cabecera[18] == 2 && cabecera[19] == 2 ? QStringLiteral("wal") : QStringLiteral("delete");
}

}  // namespace

class CarpetaDeRed : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        DB().gLogErr = dir.filePath(QStringLiteral("VLERR.LOG"));
        prepara(QStringLiteral("CREATE TABLE T (a int)"));
    }
    void TearDown() override
    {
        SesionDb::TearDown();
        adodb::SetNetworkFolderProbe({});
    }
    /// Connects, writes twice, reconnects and writes again, as an operator's day would.
    void trabaja()
    {
        conecta();
        DB().gCnn.Execute(QStringLiteral("INSERT INTO T VALUES (1)"));
        DB().gCnn.Execute(QStringLiteral("INSERT INTO T VALUES (2)"));
        DB().gCnn.Close();
        conecta();
        DB().gCnn.Execute(QStringLiteral("INSERT INTO T VALUES (3)"));
        DB().gCnn.Close();
    }
    QStringList avisos() const
    {
        QStringList a;
        for (const QString& m : guion.op.mensajes())
            if (m.contains(QStringLiteral("carpeta de red"))) a << m;
        return a;
    }
};

TEST_F(CarpetaDeRed, ANetworkFileKeepsItsRollbackJournalAndTheOperatorHearsOnce)
{
    struct Caso {
        bool red;
        bool yaEnWal;  // another program left the file in write-ahead mode
        const char* modo;
    };
    for (const Caso c : {Caso{false, false, "wal"}, Caso{true, false, "delete"}, Caso{true, true, "delete"}}) {
        SCOPED_TRACE(c.red ? (c.yaEnWal ? "network, was wal" : "network") : "local");
        path = dir.filePath(QStringLiteral("red%1%2.db").arg(c.red).arg(c.yaEnWal));
        DB().gDBName = path;
        QFile(path).open(QIODevice::WriteOnly);
        prepara(QStringLiteral("CREATE TABLE T (a int)"));
        if (!c.yaEnWal) prepara(QStringLiteral("PRAGMA journal_mode=DELETE"));
        guion.op.preguntas.clear();
        QFile::remove(DB().gLogErr);
        adodb::SetNetworkFolderProbe([&](const QString& archivo) { return c.red && archivo == path; });

        trabaja();

        EXPECT_EQ(modoDiario(path), QLatin1String(c.modo));
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")) && c.red);
        ASSERT_EQ(avisos().size(), c.red ? 1 : 0) << guion.op.mensajes().join(" | ").toStdString();
        const QStringList log = lineasLog(DB().gLogErr);
        ASSERT_EQ(log.size(), c.red ? 1 : 0);
        if (c.red) {
            EXPECT_TRUE(avisos()[0].contains(QFileInfo(path).absoluteFilePath()));
            EXPECT_TRUE(avisos()[0].contains(QStringLiteral("PostgreSQL o SQL Server")));
            EXPECT_TRUE(log[0].contains(QStringLiteral("Rutina: - OpenServerADODB Mensaje La base de datos ")));
            EXPECT_TRUE(log[0].contains(QStringLiteral("carpeta de red")));
        }
        adodb::Connection cn;
        cn.Open(CadenaDeArchivo(path));
        EXPECT_EQ(cn.Execute(QStringLiteral("SELECT COUNT(*) FROM T")).Fields(0).Value().toInt64(), 3) << "nothing is refused";
    }
}

// A real FUSE mount (bindfs) of a folder of the test: the kernel's answer,
// not the test's. Needs root, /dev/fuse and bindfs; skipped otherwise.
TEST_F(CarpetaDeRed, AFileOnARealFuseMountIsTreatedAsANetworkFolderAndAReadOnlyOneIsLeftAsItIs)
{
    if (geteuid() != 0 || !QFile::exists(QStringLiteral("/dev/fuse")))
        GTEST_SKIP() << "mounting a FUSE filesystem needs root and /dev/fuse";
    const QString bindfs = QStandardPaths::findExecutable(QStringLiteral("bindfs"));
    if (bindfs.isEmpty()) GTEST_SKIP() << "bindfs is not installed (scripts/setup.sh installs it)";
    const QString origen = dir.filePath(QStringLiteral("origen")), montaje = dir.filePath(QStringLiteral("montaje")),
                  soloLectura = dir.filePath(QStringLiteral("solo-lectura"));
    ASSERT_TRUE(QDir().mkpath(origen) && QDir().mkpath(montaje) && QDir().mkpath(soloLectura));
    // As another program left it: in write-ahead mode.
    ASSERT_EQ(modoDiario(path), QStringLiteral("wal"));
    ASSERT_TRUE(QFile::copy(path, origen + QStringLiteral("/conta.db")));
    prepara(QStringLiteral("PRAGMA journal_mode=DELETE"));
    ASSERT_TRUE(QFile::copy(path, origen + QStringLiteral("/ro.db")));
    struct Montajes {
        QStringList puntos;
        ~Montajes()
        {
            for (const QString& p : puntos) QProcess::execute(QStringLiteral("umount"), {p});
        }
    } montajes;
    const auto monta = [&](const QStringList& opciones, const QString& donde) {
        QProcess p;
        p.start(bindfs, opciones + QStringList{origen, donde});
        const bool ok = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (ok) montajes.puntos.prepend(donde);
        return ok;
    };
    if (!monta({}, montaje)) GTEST_SKIP() << "this machine does not let a test mount a FUSE filesystem";
    const bool ro = monta({QStringLiteral("-r")}, soloLectura);
    const auto desmonta = [&](const QString& donde) {
        QProcess::execute(QStringLiteral("umount"), {donde});
        montajes.puntos.removeAll(donde);
    };

    path = montaje + QStringLiteral("/conta.db");
    DB().gDBName = path;
    trabaja();
    EXPECT_EQ(modoDiario(path), QStringLiteral("delete"));
    EXPECT_EQ(avisos().size(), 1);

    // A file no one may write, on a folder taken for local: never converted
    // to write-ahead logging, not even when a write is tried.
    if (ro) {
        adodb::SetNetworkFolderProbe([](const QString&) { return false; });
        DB().gDBName = soloLectura + QStringLiteral("/ro.db");
        conecta();
        EXPECT_EQ(DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM T")).Fields(0).Value().toInt64(), 0);
        EXPECT_ANY_THROW(DB().gCnn.Execute(QStringLiteral("INSERT INTO T VALUES (2)")));
        DB().gCnn.Close();
        desmonta(soloLectura);
        EXPECT_EQ(modoDiario(origen + QStringLiteral("/ro.db")), QStringLiteral("delete"));
    }
    desmonta(montaje);
}
