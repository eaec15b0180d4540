// Two operators, two programs, one database file: each saves, replaces and
// deletes titles at random, some of them the same titles, and keeps a log of
// what it did and what it was told. The file must end as the logs say.
#include "entorno.h"
#include "version_titulo.h"

#include <QMap>
#include <QProcess>
#include <QStandardPaths>

namespace {

struct Operacion {
    QString operador;
    bool borrado = false;
    QString codigo;
    int version = 0;
    long long inicio = 0, fin = 0;  // monotonic clock, shared by both processes
    bool hecho = false;             // the window said it stored (or deleted) the title
    QString tc;                     // the marks as the window stores them
    QString mostrado;               // what the operator was shown, " | " between texts
};

QList<Operacion> leeBitacora(const QString& archivo, const QString& operador)
{
    QList<Operacion> ops;
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) return ops;
    for (const QString& linea : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList c = linea.split(QLatin1Char('\t'));
        if (c.size() < 8) continue;
        ops.push_back({operador, c[0] == QLatin1String("borra"), c[1], c[2].toInt(), c[3].toLongLong(), c[4].toLongLong(),
                       c[5] == QLatin1String("1"), c[6], c[7]});
    }
    return ops;
}

// Everything an operator may be told while another works on the same titles.
bool esperado(const QString& texto)
{
    static const QStringList kTextos{
        QStringLiteral("El Codigo de Cuenta esta en el rango de otro Copiador!"),
        QStringLiteral("Otro operador modificó el título"),
        QStringLiteral("Otro operador borró el título"),
        QStringLiteral("Otro operador grabó un título con el código"),
        QStringLiteral("no se borró: ya no existe en la tabla"),
        // The operator's own steps: F10 asks first, Esc over a title not stored asks too.
        QStringLiteral("Confirma la baja de este registro?"),
        QStringLiteral("¿Está seguro de abandonar la carga de datos?"),
    };
    for (const QString& t : kTextos)
        if (texto.contains(t)) return true;
    return false;
}

}  // namespace

TEST_F(VentanaTitulos, TwoProgramsOnOneFileLoseDuplicateAndHalfWriteNothing)
{
    DB().gCnn.Close();
    const int kOperaciones = 250;
    QProcess a, b;
    const QString bitA = dir_.filePath(QStringLiteral("a.log")), bitB = dir_.filePath(QStringLiteral("b.log"));
    a.start(QStringLiteral(OPERADOR_TITULOS), {ruta_, "operador", "A", "11", QString::number(kOperaciones), bitA});
    b.start(QStringLiteral(OPERADOR_TITULOS), {ruta_, "operador", "B", "29", QString::number(kOperaciones), bitB});
    ASSERT_TRUE(a.waitForFinished(120000)) << a.readAllStandardError().toStdString();
    ASSERT_TRUE(b.waitForFinished(120000)) << b.readAllStandardError().toStdString();
    ASSERT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    ASSERT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();

    const QList<Operacion> ops = leeBitacora(bitA, "A") + leeBitacora(bitB, "B");
    ASSERT_EQ(ops.size(), 2 * kOperaciones);
    QMap<QString, int> preguntas;
    int esperas = 0, hechas = 0;
    for (const Operacion& op : ops) {
        hechas += op.hecho;
        for (const QString& t : op.mostrado.split(QStringLiteral(" | "), Qt::SkipEmptyParts)) {
            // A busy file must make the program wait, never fail.
            esperas += t.contains(QStringLiteral("bloqueada"));
            EXPECT_TRUE(esperado(t)) << op.operador.toStdString() << " " << op.codigo.toStdString() << ": " << t.toStdString();
            if (t.startsWith(QStringLiteral("Otro operador"))) preguntas[t.section(QLatin1Char(' '), 2, 2)]++;
        }
    }
    EXPECT_EQ(esperas, 0);
    EXPECT_GT(hechas, kOperaciones);
    std::cout << "[ cifras   ] " << hechas << " of " << ops.size() << " operations stored; questions about the other operator: "
              << "modificó " << preguntas.value("modificó") << ", borró " << preguntas.value("borró") << ", grabó "
              << preguntas.value("grabó") << std::endl;

    DB().OpenServerADODB();
    ASSERT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(valor(QStringLiteral("PRAGMA integrity_check")), "ok");
    QMap<QString, QList<Operacion>> porCodigo;
    for (const Operacion& op : ops) porCodigo[op.codigo].push_back(op);
    for (auto it = porCodigo.cbegin(); it != porCodigo.cend(); ++it) {
        const QString codigo = it.key();
        SCOPED_TRACE(codigo.toStdString());
        QList<Operacion> hechasAqui;
        for (const Operacion& op : it.value())
            if (op.hecho) hechasAqui.push_back(op);
        // The operations that could have been last: none of the others stored began after they ended.
        QList<Operacion> ultimas;
        for (const Operacion& x : hechasAqui) {
            bool seguida = false;
            for (const Operacion& y : hechasAqui) seguida = seguida || y.inicio > x.fin;
            if (!seguida) ultimas.push_back(x);
        }
        adodb::Recordset rs = DB().gCnn.Execute(
            QStringLiteral("SELECT DESCRIPCION, DESDE, HASTA, TC, CODIGO FROM TA_TITCOPIADORES WHERE LTRIM(RTRIM(CODIGO)) = '%1'")
                .arg(codigo));
        if (rs.EOF_()) {
            bool borradoAlFinal = hechasAqui.isEmpty();
            for (const Operacion& u : ultimas) borradoAlFinal = borradoAlFinal || u.borrado;
            EXPECT_TRUE(borradoAlFinal) << "a stored title was lost";
            continue;
        }
        const QString desc = RtTexto::ValorCampo(rs.Fields(0).Value());
        EXPECT_EQ(RtTexto::ValorCampo(rs.Fields(4).Value()), codigo.rightJustified(4));
        const int version = VersionTitulo::DeDescripcion(desc);
        bool deUnaUltima = false;
        for (const Operacion& u : ultimas) {
            if (u.borrado || u.version != version) continue;
            deUnaUltima = true;
            EXPECT_EQ(VersionTitulo::Cptes(RtTexto::ValorCampo(rs.Fields(3).Value())), VersionTitulo::Cptes(u.tc));
            EXPECT_TRUE(VersionTitulo::Entera(codigo, version, desc, RtTexto::ValorCampo(rs.Fields(1).Value()),
                                              RtTexto::ValorCampo(rs.Fields(2).Value()),
                                              RtTexto::ValorCampo(rs.Fields(3).Value())))
                << "half written: " << desc.toStdString();
        }
        EXPECT_TRUE(deUnaUltima) << "the row is not what the last save stored: " << desc.toStdString();
        rs.MoveNext();
        EXPECT_TRUE(rs.EOF_()) << "duplicated";
    }
}

TEST_F(VentanaTitulos, SavingANewTitleOverOneAnotherOperatorJustStoredReplacesItOnYes)
{
    abre();
    ASSERT_NO_FATAL_FAILURE(tituloNuevoQueOtroGraba());
    guion.op.preguntas.clear();
    guion.op.respuestas = {rt::vbYes};
    teclado::Pulsa(Qt::Key_F2);
    // Only the question: the key of the other's row is no error of the operator's.
    ASSERT_EQ(mensajes().size(), 1) << mensajes().join(" | ").toStdString();
    EXPECT_TRUE(mensajes().front().contains(QStringLiteral("grabó")));
    EXPECT_EQ(valor(QStringLiteral(
                  "SELECT CODIGO || '|' || DESCRIPCION || '|' || DESDE FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '40'")),
              "  40|El mio|11020101001");
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '40'")), 1);
    EXPECT_FALSE(w().Modificado());
}

// Anything in the program may open and close the database file, its log or
// its index (a file dialog reads the first bytes of every file in the folder
// to choose icons). Another program that opens and closes the file meanwhile
// must still see this one on it: a save made afterwards reaches the file, and
// a third program reads it while this one still runs.
TEST_F(VentanaTitulos, AStrayOpenAndCloseOfTheDatabaseFilesLosesNoSave)
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty()) GTEST_SKIP() << "sqlite3 no instalado";
    abre();
    const auto shell = [&](const QString& sql) {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), QStringLiteral("-cmd"),
                                            QStringLiteral(".load %1/ci").arg(QFileInfo(QStringLiteral(PROGRAMA)).path()),
                                            ruta_, sql});
        EXPECT_TRUE(p.waitForFinished(30000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed() + QString::fromUtf8(p.readAllStandardError()).trimmed();
    };
    for (const char* sufijo : {"", "-wal", "-shm"}) {
        QFile f(ruta_ + QLatin1String(sufijo));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << sufijo;
        f.read(100);
    }
    EXPECT_EQ(shell(QStringLiteral("SELECT COUNT(*) > 0 FROM TA_TITCOPIADORES;")), QStringLiteral("1"));
    EXPECT_TRUE(QFile::exists(ruta_ + QStringLiteral("-wal"))) << "the other program took the file for its own";

    escribeYEnter(0, QStringLiteral("40"));
    escribe(1, QStringLiteral("Grabado tras el cierre ajeno"));
    escribeYEnter(2, QStringLiteral("11020101001"));
    escribeYEnter(3, QStringLiteral("11020103001"));
    teclado::Pulsa(Qt::Key_F2);
    EXPECT_FALSE(w().Modificado());
    EXPECT_EQ(shell(QStringLiteral("SELECT DESCRIPCION FROM TA_TITCOPIADORES WHERE LTRIM(CODIGO) = '40';")),
              QStringLiteral("Grabado tras el cierre ajeno"));
}
