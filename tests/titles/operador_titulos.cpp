// An operator in a process of its own, for the tests that need another
// program on the same database file: the real window, driven through its own
// methods, with every question answered as a hurried operator would (Yes).
//
//   operador_titulos <base.db> bucle
//       replaces titles 3, 4 and 5 in turn until killed; one line "grabado <n>"
//       on the standard output after each save that was stored.
//   operador_titulos <base.db> operador <nombre> <semilla> <operaciones> <bitacora>
//       that many random saves, replacements and deletes on a pool of codes
//       shared with another operator, each written to the log (see Operacion).
#include "runtime/operador.h"
#include "runtime/rtentorno.h"
#include "runtime/rtini.h"
#include "runtime/teclas.h"
#include "titles/frmta_titcopiadores.h"
#include "version_titulo.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <ctime>

namespace {

long long ahoraNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

/// Says Yes to every Yes/No question (saving over another operator's change,
/// confirming a delete) and keeps every text shown.
class OperadorApurado : public rt::OperadorGuionado {
public:
    int MsgBox(const QString& texto, int botones, const QString& titulo) override
    {
        const int r = OperadorGuionado::MsgBox(texto, botones, titulo);
        return (botones & 7) == rt::vbYesNo ? static_cast<int>(rt::vbYes) : r;
    }
};

QLineEdit* caja(frmTA_TITCOPIADORES& w, int i)
{
    return w.findChild<QLineEdit*>(QStringLiteral("txtfields%1").arg(i));
}

/// Leaves whatever is on screen, as Esc does (the operator says Yes to abandoning it).
void abandona(frmTA_TITCOPIADORES& w)
{
    if (w.Modificado())
        w.UtilVarn1_click(QStringLiteral("CANCELAR"));
    else
        w.Inicializa();
}

/// Loads the title `codigo` as the operator does: type it and press Enter.
void cargaCodigo(frmTA_TITCOPIADORES& w, const QString& codigo)
{
    caja(w, 0)->setText(codigo);
    w.txtfields_KeyDown(0, rt::vbKeyReturn, 0);
}

/// Saves version `n` of `codigo` through the window (F2); true when it was stored.
bool grabaVersion(frmTA_TITCOPIADORES& w, const QString& codigo, int n, QString* tc)
{
    cargaCodigo(w, codigo);
    // The operator takes a moment to type: the other program may save meanwhile.
    QThread::usleep(QRandomGenerator::global()->bounded(4000));
    const VersionTitulo v = VersionTitulo::De(codigo, n);
    caja(w, 1)->setText(v.descripcion);
    caja(w, 2)->setText(v.desde);
    caja(w, 3)->setText(v.hasta);
    w.MarcaCptes(v.tc);
    if (tc) *tc = w.CptesMarcados();
    w.UtilVarn1_click(QStringLiteral("GRABAR"));
    // A stored title leaves an empty window; one not stored stays on screen.
    const bool ok = w.EstadoTitulo() == frmTA_TITCOPIADORES::Estado::Ninguno;
    if (!ok) abandona(w);
    return ok;
}

/// Deletes `codigo` through the window (F10, confirmed); true when it was deleted.
bool borra(frmTA_TITCOPIADORES& w, const QString& codigo)
{
    cargaCodigo(w, codigo);
    if (!w.EsExistente()) {
        abandona(w);
        return false;
    }
    w.UtilVarn1_click(QStringLiteral("BORRAR"));
    // After a delete the window is empty, as at start-up; a delete that
    // failed, or found nothing, leaves the title on screen.
    const bool ok = w.EstadoTitulo() == frmTA_TITCOPIADORES::Estado::Ninguno;
    abandona(w);
    return ok;
}

QString limpio(QString s)
{
    return s.replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "uso: operador_titulos <base.db> bucle | operador <nombre> <semilla> <operaciones> <bitacora>\n");
        return 2;
    }
    const QString base = QFileInfo(args.at(1)).absoluteFilePath();
    const QString carpeta = QFileInfo(base).absolutePath() + QStringLiteral("/");
    RtEntorno::FijaCarpetaPrograma(carpeta);
    RtIni::FijaCarpetaConfiguracion(carpeta);
    OperadorApurado op;
    rt::fijaOperador(&op);

    frmTA_TITCOPIADORES w;
    if (!w.Form_Load(QStringLiteral("@Server=; @DbName=%1; @Usuario=ADMIN; @Password=;").arg(base))) {
        std::fprintf(stderr, "no se pudo abrir %s\n", qPrintable(base));
        return 1;
    }

    if (args.at(2) == QLatin1String("bucle")) {
        std::printf("listo\n");
        std::fflush(stdout);
        const QStringList codigos{QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
        for (int n = 1;; ++n) {
            if (grabaVersion(w, codigos.at(n % codigos.size()), n, nullptr)) {
                std::printf("grabado %d\n", n);
                std::fflush(stdout);
            }
        }
    }

    if (args.at(2) != QLatin1String("operador") || args.size() < 7) return 2;
    const QString nombre = args.at(3);
    QRandomGenerator azar(args.at(4).toUInt());
    const int operaciones = args.at(5).toInt();
    QFile bitacora(args.at(6));
    if (!bitacora.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    QTextStream out(&bitacora);
    // Codes both operators touch, and a few of this one's own.
    QStringList codigos;
    for (int c = 20; c < 28; ++c) codigos << QString::number(c);
    for (int c = 0; c < 4; ++c) codigos << nombre.right(1) + QString::number(c);
    for (int i = 1; i <= operaciones; ++i) {
        const QString codigo = codigos.at(static_cast<int>(azar.bounded(codigos.size())));
        const bool esBorrado = azar.bounded(4) == 0;
        const size_t antes = op.preguntas.size();
        const long long inicio = ahoraNs();
        QString tc;
        const int version = VersionTitulo::Numero(nombre, i);
        const bool ok = esBorrado ? borra(w, codigo) : grabaVersion(w, codigo, version, &tc);
        const long long fin = ahoraNs();
        QStringList textos;
        for (size_t k = antes; k < op.preguntas.size(); ++k) textos << limpio(op.preguntas[k].texto);
        // operation, code, version, start, end, stored, marks, what the operator was shown
        out << (esBorrado ? "borra" : "graba") << '\t' << codigo << '\t' << version << '\t' << inicio << '\t' << fin << '\t'
            << (ok ? 1 : 0) << '\t' << tc << '\t' << textos.join(QStringLiteral(" | ")) << '\n';
        out.flush();
    }
    return 0;
}
