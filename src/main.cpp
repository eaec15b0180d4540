// Títulos Copiadores: the main window is the program; its load runs the start-up.
#include "access_dialog/frmacceso.h"
#include "lookup/def_qconsulta.h"
#include "lookup/lib_clscons3.h"
#include "reports/rtreporte.h"
#include "runtime/operador_qt.h"
#include "runtime/rtdemo.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "session/cnstuff.h"
#include "titles/frmta_titcopiadores.h"
#include "titles/iconos.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Outputs written to files with no window shown, for scheduled runs:
// --reporte=F.pdf --planilla=F.xlsx --reporte-cuentas-varias=F.pdf
// --planilla-cuentas-varias=F.xlsx (a data sheet may also be F.csv).
const char* const kSalidas[] = {"--reporte=", "--planilla=", "--reporte-cuentas-varias=", "--planilla-cuentas-varias="};

std::vector<std::pair<int, QString>> TomaSalidas(QStringList& argumentos)
{
    std::vector<std::pair<int, QString>> r;
    for (qsizetype i = 0; i < argumentos.size();) {
        bool tomado = false;
        for (int k = 0; k < 4 && !tomado; ++k) {
            const QString clave = QString::fromLatin1(kSalidas[k]);
            if (argumentos[i].startsWith(clave)) {
                r.emplace_back(k, argumentos[i].mid(clave.size()));
                argumentos.removeAt(i);
                tomado = true;
            }
        }
        if (!tomado) ++i;
    }
    return r;
}

// The formats each output is written in; anything else would be a file
// named as one format and holding another.
bool FormatoConocido(int cual, const QString& archivo)
{
    const QString ext = QFileInfo(archivo).suffix().toLower();
    if (cual == 0 || cual == 2) return ext == QLatin1String("pdf");
    return ext == QLatin1String("xlsx") || ext == QLatin1String("csv");
}

// Nobody is at the keyboard: messages go to the error output and every
// question gets its safest answer.
class OperadorConsola : public rt::OperadorGuionado {
public:
    int MsgBox(const QString& texto, int botones, const QString& titulo) override
    {
        // The boxes break lines the Windows way, or with a bare carriage
        // return, which in a terminal writes each line over the last.
        QString lineas = texto;
        lineas.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        std::fprintf(stderr, "%s: %s\n", qPrintable(titulo.trimmed()), qPrintable(lineas));
        return OperadorGuionado::MsgBox(texto, botones, titulo);
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    bool sinVentanas = false;
    for (int i = 1; i < argc; ++i)
        for (const char* s : kSalidas) sinVentanas = sinVentanas || std::strncmp(argv[i], s, std::strlen(s)) == 0;
    if (sinVentanas && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rt::InstalaTraduccionEspanola(app);
    // The boxes and the access dialog may come before the main window shows.
    app.setWindowIcon(iconos::Libro());
    rt::OperadorQt operador;
    OperadorConsola consola;
    rt::fijaOperador(sinVentanas ? static_cast<rt::Operador*>(&consola) : &operador);

    QStringList argumentos = app.arguments().mid(1);
    const auto salidas = TomaSalidas(argumentos);
    for (const auto& [cual, archivo] : salidas) {
        if (FormatoConocido(cual, archivo)) continue;
        std::fprintf(stderr, "No se puede escribir %s: %s\n", qPrintable(archivo),
                     cual == 0 || cual == 2 ? "el reporte se escribe en PDF (.pdf)"
                                            : "la planilla se escribe en XLSX (.xlsx) o CSV (.csv)");
        return 2;
    }
    // Start-up benchmark: measure the bare start, before any connection.
    const bool salirAntesDeConectar = argumentos.removeAll(QStringLiteral("--salir-antes-de-conectar")) > 0;
    // ... and the start to a window ready for typing: leave once the first events ran.
    const bool salirAlEstarListo = argumentos.removeAll(QStringLiteral("--salir-al-estar-listo")) > 0;
    // The desktop menu's start: the connection dialog first, with the demo
    // among the connections, rather than a failed attempt with no data; a
    // launcher's start names the registered connection to choose.
    if (frmAcceso::TomaArgumentoConexion(argumentos)) CNStuffContable::gPideConexion = true;
    // ... or straight into the demo, copied for this user the first time.
    if (argumentos.removeAll(QStringLiteral("--demo")) > 0) {
        QString error;
        const QString demo = RtDemo::Prepara(&error);
        if (demo.isEmpty()) {
            rt::operador().MsgBox(error, rt::vbExclamation, QStringLiteral("Títulos Copiadores"));
            return 1;
        }
        argumentos << QStringLiteral("@Server=;") << QStringLiteral("@DbName=") + demo + u';'
                   << QStringLiteral("@Usuario=") + RtDemo::kUsuario + u';' << QStringLiteral("@Password=;");
    }

    // The report definitions are installed beside the program.
    RtReporte::CarpetaReportes(RtTexto::RutaCarpeta(RtEntorno::CarpetaPrograma()));
    frmTA_TITCOPIADORES ventana;
    CNStuffContable::PreparaConsulta = [] { PreparaConsultas(); };
    frmAcceso::Instala();
    ventana.ConsultarTabla = Def_QConsulta::ConsultaClave;
    operador.fijaPadre(&ventana);
    if (salirAntesDeConectar) return 0;

    if (!ventana.Form_Load(CNStuffContable::LineaComandos(argumentos))) return 1;
    if (!salidas.empty()) {
        int fallidas = 0;
        for (const auto& [cual, archivo] : salidas) {
            QFile::remove(archivo);
            ventana.ArchivoSalida = archivo;
            switch (cual) {
            case 0: ventana.Reporte(); break;
            case 1: ventana.Planilla(); break;
            case 2: ventana.CmdRep_Click(); break;
            default: ventana.CmdVarias_Click(); break;
            }
            if (!QFile::exists(archivo)) ++fallidas;
        }
        return fallidas == 0 ? 0 : 3;
    }
    ventana.show();
    ventana.activateWindow();
    if (salirAlEstarListo) {
        // Ready means on the screen with the caret in the code box; on a real
        // X server that takes the map, the expose and the focus round trips.
        QTimer despertador;
        despertador.start(20);
        QElapsedTimer espera;
        espera.start();
        const QLineEdit* codigo = ventana.findChild<QLineEdit*>(QStringLiteral("txtfields0"));
        const auto listo = [&] {
            return ventana.windowHandle() && ventana.windowHandle()->isExposed() && codigo && codigo->hasFocus() &&
                   ventana.ListoParaEscribir();
        };
        while (!listo() && espera.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        return listo() ? 0 : 2;
    }
    return app.exec();
}
