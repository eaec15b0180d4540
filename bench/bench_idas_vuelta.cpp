// What a slow link costs the operator: the main window on a PostgreSQL server
// this program starts, driven through the operator's keys (start-up, loading a
// title, the range boxes, F5 on Desde, F2, F10, the uncovered-accounts sheet),
// once straight to the server and once through a loopback proxy that holds
// every packet 15 ms each way (a 30 ms round trip), on both routes to the
// server: psqlODBC and libpq. For each step it reports
// the statements the server received (counted in the server's own log, with
// log_statement = all) and the time on both links. The statements of each
// step are listed in the output, so a regression shows what came back.
#include "data/db_dll.h"
#include "lookup/def_qconsulta.h"
#include "lookup/lib_clscons3.h"
#include "proxy_latencia.h"
#include "resultado.h"
#include "runtime/operador.h"
#include "runtime/rtentorno.h"
#include "runtime/rtini.h"
#include "servidor_pg.h"
#include "session/cnstuff.h"
#include "titles/frmta_titcopiadores.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

// Each statement the server runs leaves one line: "statement: ..." for the
// simple protocol, "execute <name>: ..." for the extended one.
class RegistroServidor {
public:
    explicit RegistroServidor(QString ruta) : ruta_(std::move(ruta)) {}
    void Marca() { desde_ = Tamano(); }
    QStringList Sentencias() const
    {
        QFile f(ruta_);
        QStringList r;
        if (!f.open(QIODevice::ReadOnly)) return r;
        f.seek(desde_);
        static const QRegularExpression linea(QStringLiteral("LOG:  (?:statement|execute [^:]*): (.*)$"));
        const QStringList lineas = QString::fromUtf8(f.readAll()).split(u'\n');
        for (const QString& l : lineas)
            if (const auto m = linea.match(l); m.hasMatch()) r << m.captured(1).simplified();
        return r;
    }

private:
    qint64 Tamano() const { return QFile(ruta_).size(); }
    QString ruta_;
    qint64 desde_ = 0;
};

struct Medida {
    std::vector<double> ms;
    QStringList sentencias;  // of the first round on the direct link
};

QLineEdit* Caja(frmTA_TITCOPIADORES& v, int i)
{
    return v.findChild<QLineEdit*>(QStringLiteral("txtfields%1").arg(i));
}

void Escribe(frmTA_TITCOPIADORES& v, int i, const QString& texto)
{
    QLineEdit* c = Caja(v, i);
    c->setFocus();
    c->selectAll();
    QTest::keyClicks(c, texto);
}

void Tecla(frmTA_TITCOPIADORES& v, Qt::Key k)
{
    QWidget* destino = QApplication::focusWidget();
    if (!destino || destino->window() != &v) destino = &v;
    QTest::keyClick(destino, k);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rt::OperadorGuionado op;
    rt::fijaOperador(&op);

    ServidorPg servidor;
    if (!servidor.Inicia()) {
        std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(servidor.error()));
        return 1;
    }
    const QString base = QStringLiteral("idas");
    if (!servidor.Psql(QStringLiteral("postgres"), QStringLiteral("CREATE ROLE \"ADMIN\" LOGIN SUPERUSER PASSWORD 'clave'")) ||
        !servidor.CreaBase(base) || !servidor.PsqlArchivo(base, QStringLiteral(DEMO_DIR "/schema_postgres.sql")) ||
        !servidor.PsqlArchivo(base, QStringLiteral(DEMO_DIR "/demo.sql")) ||
        !servidor.Psql(QStringLiteral("postgres"), QStringLiteral("ALTER SYSTEM SET log_statement = 'all'")) ||
        !servidor.Psql(QStringLiteral("postgres"), QStringLiteral("SELECT pg_reload_conf()"))) {
        std::fprintf(stderr, "%s\n", qPrintable(servidor.error()));
        return 1;
    }
    ProxyLatencia proxy;
    if (!proxy.Inicia(servidor.Puerto(), 15)) {
        std::fprintf(stderr, "proxy: %s\n", proxy.error().c_str());
        return 1;
    }

    // A program folder of its own, with the demo's lookup definitions.
    QTemporaryDir dir;
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/consultas.vrl"),
                dir.filePath(QStringLiteral("consultas.vrl")));
    RtEntorno::FijaCarpetaPrograma(dir.path() + u'/');
    RtEntorno::FijaNombreUsuario(QStringLiteral("banco"));
    RtEntorno::FijaNombreMaquina(QStringLiteral("pc-banco"));
    RtIni::FijaCarpetaConfiguracion(dir.path());
    CNStuffContable::PreparaConsulta = [] { PreparaConsultas(); };

    RegistroServidor registro(servidor.ArchivoRegistro());
    const char* const pasos[] = {"Start-up until the window shows", "Loading a title (code, Enter)", "F5 on Desde until the list is ready",
                                 "Desde checked (Enter)", "Hasta checked (Enter)", "F2 on a new title", "F10 (delete a title)",
                                 "Uncovered-accounts data sheet"};
    const char* const rutas[] = {"ODBC", "libpq"};
    std::map<QString, Medida> directoPor[2], lentoPor[2];
    QString problemas;

    const int vueltas = 3;
    for (int ruta = 0; ruta < 2; ++ruta)
        for (int enlace = 0; enlace < 2; ++enlace) {
            // A "pg:" server takes libpq; psqlODBC named in the extra settings keeps it on ODBC.
            DB().gExtended = ruta == 0 ? QStringLiteral("Driver={PostgreSQL Unicode};") : QString();
            const int puerto = enlace == 0 ? servidor.Puerto() : proxy.Puerto();
            auto& medidas = enlace == 0 ? directoPor[ruta] : lentoPor[ruta];
            for (int vuelta = 0; vuelta < vueltas; ++vuelta) {
                QElapsedTimer t;
                auto mide = [&](const char* paso, const std::function<void()>& accion) {
                    registro.Marca();
                    t.start();
                    accion();
                    const double ms = t.nsecsElapsed() / 1e6;
                    Medida& m = medidas[QString::fromLatin1(paso)];
                    m.ms.push_back(ms);
                    if (enlace == 0 && vuelta == 0) m.sentencias = registro.Sentencias();
                };
                if (DB().gCnn.State()) DB().gCnn.Close();
                DB().gOpenFlag = false;
                auto ventana = std::make_unique<frmTA_TITCOPIADORES>();
                frmTA_TITCOPIADORES& v = *ventana;
                v.ConsultarTabla = Def_QConsulta::ConsultaClave;
                op.preguntas.clear();
                op.respuestas.clear();
                const QString linea =
                    QStringLiteral("@Server=pg:127.0.0.1,%1; @DbName=%2; @Usuario=ADMIN; @Password=clave;").arg(puerto).arg(base);
                bool cargada = false;
                mide(pasos[0], [&] {
                    cargada = v.Form_Load(linea);
                    v.show();
                });
                if (!cargada) {
                    std::fprintf(stderr, "la ventana no cargo: %s\n", qPrintable(op.mensajes().join(u" | ")));
                    return 1;
                }
                v.activateWindow();
                QCoreApplication::processEvents();

                // An existing title, then back to browsing.
                Escribe(v, 0, QStringLiteral("3"));
                mide(pasos[1], [&] { QTest::keyClick(Caja(v, 0), Qt::Key_Return); });
                if (!v.EsExistente()) problemas += QStringLiteral(" title 3 not loaded;");
                op.respuestas = {rt::vbYes};
                Tecla(v, Qt::Key_Escape);

                // A new title: code and description, then F5 on Desde (left
                // without a choice), then the range typed.
                Escribe(v, 0, QStringLiteral("20"));
                QTest::keyClick(Caja(v, 0), Qt::Key_Return);
                Escribe(v, 1, QStringLiteral("Banco de pruebas"));
                QTest::keyClick(Caja(v, 1), Qt::Key_Return);
                Caja(v, 2)->setFocus();
                double msLista = -1;
                QStringList sentenciasLista;
                op.alModal = [&](QObject*) {
                    msLista = t.nsecsElapsed() / 1e6;
                    if (enlace == 0 && vuelta == 0) sentenciasLista = registro.Sentencias();
                    return 0;
                };
                registro.Marca();
                t.start();
                Tecla(v, Qt::Key_F5);
                op.alModal = nullptr;
                {
                    Medida& m = medidas[QString::fromLatin1(pasos[2])];
                    m.ms.push_back(msLista);
                    if (enlace == 0 && vuelta == 0) m.sentencias = sentenciasLista;
                    if (msLista < 0) problemas += QStringLiteral(" the list did not open;");
                }
                op.preguntas.clear();
                Escribe(v, 2, QStringLiteral("11010101001"));
                mide(pasos[3], [&] { QTest::keyClick(Caja(v, 2), Qt::Key_Return); });
                Escribe(v, 3, QStringLiteral("11010102001"));
                mide(pasos[4], [&] { QTest::keyClick(Caja(v, 3), Qt::Key_Return); });
                mide(pasos[5], [&] { Tecla(v, Qt::Key_F2); });
                if (Caja(v, 0)->text() != QStringLiteral("21")) problemas += QStringLiteral(" F2 did not save;");

                Escribe(v, 0, QStringLiteral("20"));
                QTest::keyClick(Caja(v, 0), Qt::Key_Return);
                op.respuestas = {rt::vbYes};
                mide(pasos[6], [&] { Tecla(v, Qt::Key_F10); });

                const QString hoja = dir.filePath(QStringLiteral("varias.csv"));
                QFile::remove(hoja);
                v.ArchivoSalida = hoja;
                mide(pasos[7], [&] { v.CmdVarias_Click(); });
                if (!QFile::exists(hoja)) problemas += QStringLiteral(" no data sheet;");
                const QStringList vistos = op.mensajes();
                if (enlace == 0 && vuelta == 0 && !vistos.isEmpty())
                    std::printf("mensajes mostrados: %s\n", qPrintable(vistos.join(u" | ")));
                ventana.reset();
            }
        }
    if (DB().gCnn.State()) DB().gCnn.Close();

    // ODBC: the targets the driver allowed; libpq: the ones it was built for.
    const std::map<QString, int> objetivosPor[2] = {
        {{QString::fromLatin1(pasos[0]), 20},
         {QString::fromLatin1(pasos[5]), 10},
         {QString::fromLatin1(pasos[6]), 8},
         {QString::fromLatin1(pasos[2]), 3}},
        {{QString::fromLatin1(pasos[0]), 12}, {QString::fromLatin1(pasos[5]), 6}, {QString::fromLatin1(pasos[2]), 2}}};
    const char* const arranqueObjetivo[2] = {"<=1000ms", "<=500ms"};
    for (int ruta = 0; ruta < 2; ++ruta) {
        auto& directo = directoPor[ruta];
        auto& lento = lentoPor[ruta];
        std::printf("\n== %s\n%-40s %11s %10s %10s\n", rutas[ruta], "paso", "sentencias", "0 ms", "30 ms");
        for (const char* p : pasos) {
            const QString paso = QString::fromLatin1(p);
            const Medida& a = directo[paso];
            const Medida& b = lento[paso];
            std::printf("%-40s %11lld %8.1f ms %8.1f ms\n", p, static_cast<long long>(a.sentencias.size()), Mejor(a.ms),
                        Mejor(b.ms));
        }
        for (const char* p : pasos) {
            const QString paso = QString::fromLatin1(p);
            std::printf("\n-- %s: %lld\n", p, static_cast<long long>(directo[paso].sentencias.size()));
            for (const QString& s : directo[paso].sentencias) std::printf("   %s\n", qPrintable(s.left(200)));
        }
    }
    if (!problemas.isEmpty()) std::printf("\nATENCION:%s\n", qPrintable(problemas));
    for (int ruta = 0; ruta < 2; ++ruta) {
        auto& directo = directoPor[ruta];
        auto& lento = lentoPor[ruta];
        const auto& objetivos = objetivosPor[ruta];
        for (const char* p : pasos) {
            const QString paso = QString::fromLatin1(p);
            const long long n = directo[paso].sentencias.size();
            const auto it = objetivos.find(paso);
            const QByteArray objetivo =
                it == objetivos.end() ? QByteArray("report") : "<=" + QByteArray::number(it->second) + "st";
            const QByteArray nombre =
                (paso + QStringLiteral(" (PostgreSQL %1, 30 ms RTT)").arg(QString::fromLatin1(rutas[ruta]))).toUtf8();
            const QByteArray tam = QByteArray::number(n) + " statements";
            Resultado(nombre.constData(), tam.constData(), Mejor(lento[paso].ms), "same at 0 ms", Mejor(directo[paso].ms),
                      objetivo.constData(), "best of 3 each; statements from the server's log", n);
        }
        const QByteArray nombre = QByteArray(pasos[0]) + " (" + rutas[ruta] + ") at 30 ms RTT";
        Resultado(nombre.constData(), "demo data", Mejor(lento[QString::fromLatin1(pasos[0])].ms), "", 0, arranqueObjetivo[ruta],
                  "best of 3; the time target of start-up");
        if (ruta == 1) {
            const QByteArray f2 = QByteArray(pasos[5]) + " (libpq) at 30 ms RTT";
            Resultado(f2.constData(), "demo data", Mejor(lento[QString::fromLatin1(pasos[5])].ms), "", 0, "<=200ms",
                      "best of 3; the time target of F2");
        }
    }
    return problemas.isEmpty() ? 0 : 3;
}
