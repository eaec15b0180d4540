// Start-up to a window ready for typing (mapped, exposed, the caret in the
// code box), on a large database, against the same binary's bare start
// (exiting before it connects). Run it on a real X server:
//   DISPLAY=:94 bench_arranque <bench.db>     (scripts/bench-db.sh builds it)
// Without DISPLAY it falls back to the offscreen platform and says so.
#include "resultado.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool enX()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

double corre(const QString& programa, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), enX() ? QStringLiteral("xcb") : QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(programa, args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        std::fprintf(stderr, "fallo: %s\n", p.readAllStandardError().constData());
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_arranque <bench.db>\n");
        return 2;
    }
    const QString db = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString programa = QCoreApplication::applicationDirPath() + QStringLiteral("/TA_TITCOPIADORES");
    const QStringList sesion{QStringLiteral("@Server=;"), QStringLiteral("@DbName=") + db + QStringLiteral(";"),
                             QStringLiteral("@Usuario=ADMIN;"), QStringLiteral("@Password=;")};
    std::vector<double> desnudo, listo;
    for (int i = 0; i < 7; ++i) {
        desnudo.push_back(corre(programa, QStringList{QStringLiteral("--salir-antes-de-conectar")} + sesion));
        listo.push_back(corre(programa, QStringList{QStringLiteral("--salir-al-estar-listo")} + sesion));
    }
    std::sort(desnudo.begin(), desnudo.end());
    std::sort(listo.begin(), listo.end());
    const double a = desnudo[desnudo.size() / 2], b = listo[listo.size() / 2];
    if (a <= 0 || b <= 0) return 1;
    std::printf("arranque desnudo (mediana): %.1f ms\n", a);
    std::printf("listo para escribir (mediana): %.1f ms\n", b);
    std::printf("plataforma: %s\n", enX() ? "xcb (servidor X real)" : "offscreen (sin DISPLAY: no es la medida pedida)");
    std::printf("proporcion: %.2fx (objetivo < 3x)\n", b / a);
    Resultado(enX() ? "Start-up to ready for typing (X server)" : "Start-up to ready for typing (offscreen)",
              "100,000 accounts, 200 titles, 200 voucher types", b, "bare start, same binary", a, "<3x",
              "medians of 7 launches each");
    return 0;
}
