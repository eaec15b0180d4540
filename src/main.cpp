// Títulos Copiadores: the main window is the program; its load runs the start-up.
#include "data/access_dialog/frmacceso.h"
#include "lookup/def_qconsulta.h"
#include "lookup/lib_clscons3.h"
#include "runtime/operador_qt.h"
#include "session/cnstuff.h"
#include "titles/frmta_titcopiadores.h"
#include "titles/iconos.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    rt::InstalaTraduccionEspanola(app);
    // The boxes and the access dialog may come before the main window shows.
    app.setWindowIcon(iconos::Libro());
    rt::OperadorQt operador;
    rt::fijaOperador(&operador);

    QStringList argumentos = app.arguments().mid(1);
    // Start-up benchmark: measure the bare start, before any connection.
    const bool salirAntesDeConectar = argumentos.removeAll(QStringLiteral("--salir-antes-de-conectar")) > 0;
    // ... and the start to a window ready for typing: leave once the first events ran.
    const bool salirAlEstarListo = argumentos.removeAll(QStringLiteral("--salir-al-estar-listo")) > 0;

    frmTA_TITCOPIADORES ventana;
    CNStuffContable::PreparaConsulta = [] { PreparaConsultas(); };
    frmAcceso::Instala();
    ventana.ConsultarTabla = Def_QConsulta::ConsultaClave;
    operador.fijaPadre(&ventana);
    if (salirAntesDeConectar)
        return 0;

    if (!ventana.Form_Load(CNStuffContable::LineaComandos(argumentos)))
        return 1;
    ventana.show();
    ventana.activateWindow();
    if (salirAlEstarListo) {
        QCoreApplication::processEvents();
        return ventana.txtfields[0]->hasFocus() || ventana.txtfields[0]->isEnabled() ? 0 : 2;
    }
    return app.exec();
}
