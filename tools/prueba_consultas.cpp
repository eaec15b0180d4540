// Tries the lookups the titles window never opens, on a database file, as
// user ADMIN: the tree window and the option lookups. Prints what was chosen.
//   prueba_consultas <base.db> familias|ccosto|posiciones [tildes]
//   prueba_consultas <base.db> menu|tildes
//   prueba_consultas <base.db> archivo <ruta>
#include "data/db_dll.h"
#include "lookup/lib_clscons3.h"
#include "runtime/operador_qt.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 3) {
        std::fprintf(stderr,
                     "uso: prueba_consultas <base.db> familias|ccosto|posiciones [tildes] | menu | tildes | archivo <ruta>\n");
        return 2;
    }
    rt::OperadorQt operador;
    rt::fijaOperador(&operador);
    DB_Dll& db = DB();
    db.gCnn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(a.at(1)));
    db.gEsAdmin = true;
    db.gOpenFlag = true;
    db.gUsuario = QStringLiteral("ADMIN");

    Lib_ClsCons3& c = ClsCons3();
    const QString que = a.at(2);
    auto muestra = [&](const QString& valor) {
        std::printf("ValorDevuelto: %s\n", qPrintable(valor));
        if (c.Valores)
            std::printf("Valores: %s\n", qPrintable(c.Valores->join(QStringLiteral(", "))));
        else
            std::printf("Valores: (ninguna)\n");
    };
    if (que == QLatin1String("familias") || que == QLatin1String("ccosto") || que == QLatin1String("posiciones")) {
        QString sql = QStringLiteral("V_TA_FAMILIAS");
        c.CampoDevuelto = QStringLiteral("IDFAMILIA");
        if (que == QLatin1String("ccosto")) {
            sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO");
            c.CampoDevuelto = QStringLiteral("CODIGO");
        } else if (que == QLatin1String("posiciones")) {
            sql = QStringLiteral("SELECT IDPOSICION, DESCRIPCION FROM MA_POSICIONES ORDER BY IDPOSICION");
            c.CampoDevuelto = QStringLiteral("IDPOSICION");
        }
        c.Checks = a.value(3) == QLatin1String("tildes");
        Coleccion ninguna;
        QString clave, campo, where, opcional, defecto;
        bool arbol = true;
        c.ConsultaSearch(sql, ninguna, clave, campo, where, opcional, arbol, defecto);
        muestra(c.ValorDevuelto);
    } else if (que == QLatin1String("menu")) {
        muestra(c.MenuOpciones(QStringLiteral("Moneda"), QStringLiteral("Pesos"), QStringLiteral("Dólares"),
                               QStringLiteral("Euros")));
    } else if (que == QLatin1String("tildes")) {
        muestra(c.CheckOpciones(QStringLiteral("Medios de pago"), nullptr, QStringLiteral("1Efectivo"),
                                QStringLiteral("0Cheques"), QStringLiteral("1Transferencia"),
                                QStringLiteral("0Tarjeta de crédito")));
    } else if (que == QLatin1String("archivo")) {
        muestra(c.ConsultaDesdeArchivo(QStringLiteral("Líneas del archivo"), a.value(3)));
    } else {
        std::fprintf(stderr, "no conozco %s\n", qPrintable(que));
        return 2;
    }
    return 0;
}
